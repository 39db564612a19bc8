#include "convert/timetable_conversion.h"

#include "convert/timetable_run.h"

namespace trivo {

void sbEditTimeTableClick(Context& ctx) {
  // The editor's names hold the last line and day group converted, as after every run.
  const TimetableRunResult result = RunTimetableConversion(ctx, TimetableRunOptions{});
  if (!result.lastLineName.empty()) ctx.editor.CurrentLineName = result.lastLineName;
  if (!result.lastDayGroupName.empty()) ctx.editor.CurrentDayGroupName = result.lastDayGroupName;
}

}  // namespace trivo

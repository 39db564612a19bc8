#include "convert/timetable_conversion.h"

#include "convert/timetable_run.h"

namespace trivo {

void sbEditTimeTableClick(Context& ctx) {
  RunTimetableConversion(ctx, TimetableRunOptions{});
}

}  // namespace trivo

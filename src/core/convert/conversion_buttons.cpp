#include "convert/conversion_buttons.h"

#include "convert/master_data.h"
#include "convert/timetable_conversion.h"

namespace trivo {

bool PressConversionButton(Context& ctx, int button) {
  switch (button) {
    case 1:
      sbEditProjectClick(ctx);
      return true;
    case 2:
      sbEditStationsClick(ctx);
      return true;
    case 3:
      sbEditLinesClick(ctx);
      return true;
    case 4:
      sbAssignStationsClick(ctx);
      return true;
    case 5:
      sbEditTimeTableClick(ctx);
      return true;
    default:
      return false;
  }
}

}  // namespace trivo

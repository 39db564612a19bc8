#include "project/day_group_table.h"

#include "project/prj_params.h"

namespace trivo {

void BuildDayGroupTable(Context& ctx) {
  Table& dayGroups = ctx.dm1.cdsDayGroups;
  dayGroups.CreateEmpty();
  for (const TDayGroupItem& group : ctx.PrjParams.DayGroups) {
    dayGroups.AppendRecord();
    dayGroups.FieldNamed("Group").SetText(group.Name);
    dayGroups.FieldNamed("Days").SetText(DaysAsDigits(group.Days));
    dayGroups.FieldNamed("Text").SetText(group.Text);
    dayGroups.PostRecord();
  }
}

}  // namespace trivo

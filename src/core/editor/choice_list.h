#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace trivo {

// A drop-down list of the editor's choice panel: its entries and the selected one. Only
// the selected entry is used; nothing can be typed into it.
struct ChoiceList {
  std::vector<std::string> Items;
  int ItemIndex = -1;  // -1: nothing selected

  // The selected entry, or null.
  const std::string* Selected() const {
    if (ItemIndex < 0 || ItemIndex >= static_cast<int>(Items.size())) return nullptr;
    return &Items[static_cast<std::size_t>(ItemIndex)];
  }
  // Selects the first entry with exactly this text; false when there is none.
  bool Select(std::string_view text) {
    for (std::size_t i = 0; i < Items.size(); ++i) {
      if (Items[i] == text) {
        ItemIndex = static_cast<int>(i);
        return true;
      }
    }
    return false;
  }
  // Replaces the entries and selects the first (nothing when there is none).
  void Assign(std::vector<std::string> items) {
    Items = std::move(items);
    ItemIndex = Items.empty() ? -1 : 0;
  }
};

}  // namespace trivo

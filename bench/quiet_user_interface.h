#pragma once

#include <string>

#include "common/user_interface.h"

// A user interface for the benchmarks that shows nothing and answers every question Yes.
class QuietUserInterface : public trivo::UserInterface {
 public:
  void ShowMessage(const std::string&) override {}
  trivo::Answer Confirm(const std::string&, bool) override { return trivo::Answer::Yes; }
  void Log(const std::string&) override {}
  void Beep() override {}
};

#pragma once

#include <stdexcept>
#include <string>

namespace trivo {

// An error that ends the running command. Its text is the German message in
// Windows-1252 bytes; the desktop program shows it in a message box and the command
// line prints it as "[Fehler] <text>". Core code never catches it except where a
// routine handles a failure itself.
class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& text) : std::runtime_error(text) {}
};

}  // namespace trivo

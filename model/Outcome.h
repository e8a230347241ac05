// A success or a failure with a message for the user. Used where the program
// goes further than a bare bool: why a preset was refused, why a send failed.
#pragma once

#include <string>
#include <utility>

namespace padkbd {

class Outcome {
 public:
  static Outcome success() { return Outcome(true, {}); }
  static Outcome failure(std::string message) { return Outcome(false, std::move(message)); }

  bool ok() const { return ok_; }
  explicit operator bool() const { return ok_; }
  const std::string& message() const { return message_; }

 private:
  Outcome(bool ok, std::string message) : ok_(ok), message_(std::move(message)) {}
  bool ok_;
  std::string message_;
};

}  // namespace padkbd

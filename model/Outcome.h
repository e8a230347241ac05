// How the core reports a failure: the reason, for the user. `Outcome` is
// success or a reason; `Result<T>` is a value or a reason. Both test true on
// success, so `if (!io.FindDevice())` reads as before.
#pragma once

#include <optional>
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

template <typename T>
class Result {
 public:
  Result(T value) : value_(std::move(value)) {}
  // A failed outcome passed on as this result's failure.
  Result(const Outcome& failed) : message_(failed.message()) {}
  static Result failure(std::string message) {
    return Result(Outcome::failure(std::move(message)));
  }

  bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }
  const std::string& message() const { return message_; }
  Outcome outcome() const { return ok() ? Outcome::success() : Outcome::failure(message_); }

  // Only on success.
  T& value() { return *value_; }
  const T& value() const { return *value_; }
  T& operator*() { return *value_; }
  const T& operator*() const { return *value_; }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }

 private:
  std::optional<T> value_;
  std::string message_;
};

}  // namespace padkbd

// How the core reports a failure: the reason, for the user. `Outcome` is
// success or a reason; `Result<T>` is a value or a reason. Both test true on
// success, so `if (!io.FindDevice())` reads as before. A failure is of one of
// two kinds: an error, or a stop the user asked for (cancelled), which
// callers tell apart without comparing texts.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace padkbd {

class Outcome {
 public:
  enum class Kind { Ok, Failed, Cancelled };

  static Outcome success() { return Outcome(Kind::Ok, {}); }
  static Outcome failure(std::string message) { return Outcome(Kind::Failed, std::move(message)); }
  static Outcome cancelled(std::string message) {
    return Outcome(Kind::Cancelled, std::move(message));
  }

  bool ok() const { return kind_ == Kind::Ok; }
  explicit operator bool() const { return ok(); }
  bool wasCancelled() const { return kind_ == Kind::Cancelled; }
  Kind kind() const { return kind_; }
  const std::string& message() const { return message_; }

 private:
  Outcome(Kind kind, std::string message) : kind_(kind), message_(std::move(message)) {}
  Kind kind_;
  std::string message_;
};

template <typename T>
class Result {
 public:
  Result(T value) : value_(std::move(value)), failure_(Outcome::success()) {}
  // A failed outcome passed on as this result's failure, of the same kind.
  Result(Outcome failed) : failure_(std::move(failed)) {}
  static Result failure(std::string message) {
    return Result(Outcome::failure(std::move(message)));
  }

  bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }
  bool wasCancelled() const { return failure_.wasCancelled(); }
  const std::string& message() const { return failure_.message(); }
  const Outcome& outcome() const { return failure_; }

  // Only on success: value() throws std::bad_optional_access otherwise, the
  // operators assume it.
  T& value() { return value_.value(); }
  const T& value() const { return value_.value(); }
  T& operator*() { return *value_; }
  const T& operator*() const { return *value_; }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }

 private:
  std::optional<T> value_;
  Outcome failure_;  // success while a value is held
};

}  // namespace padkbd

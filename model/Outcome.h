// How the core reports a failure: what kind it is (a Code, which callers
// decide by) and what to tell the user (a Text of the catalogue, which each
// face words). `Outcome` is success or a failure; `Result<T>` is a value or
// a failure. Both test true on success, so `if (!io.FindDevice())` reads as
// before. A stop the user asked for is the code Cancelled.
#pragma once

#include <optional>
#include <string>
#include <utility>

#include "model/Text.h"

namespace padkbd {

class [[nodiscard]] Outcome {
 public:
  static Outcome success() { return Outcome(Code::Ok, Text()); }
  // A failure of the kind its catalogue entry names.
  static Outcome failure(Text text) {
    const Code code = catalogueEntry(text.id).code;
    return Outcome(code, std::move(text));
  }
  static Outcome failure(Code code, Text text) { return Outcome(code, std::move(text)); }
  // A failure worded elsewhere (a library's message), of kind `code`.
  static Outcome failure(Code code, std::string message) {
    return Outcome(code, Text(TextId::Plain, {std::move(message)}));
  }
  // Not yet given a kind of its own: Code::Other.
  static Outcome failure(std::string message) { return failure(Code::Other, std::move(message)); }
  static Outcome cancelled(Text text) { return Outcome(Code::Cancelled, std::move(text)); }
  static Outcome cancelled(std::string message) {
    return Outcome(Code::Cancelled, Text(TextId::Plain, {std::move(message)}));
  }

  bool ok() const { return code_ == Code::Ok; }
  explicit operator bool() const { return ok(); }
  bool wasCancelled() const { return code_ == Code::Cancelled; }
  Code code() const { return code_; }
  Domain domain() const { return domainOf(code_); }
  // What to tell the user, to be worded by the face.
  const Text& text() const { return text_; }
  // The text in the tool's words (English): for the tool and the log.
  const std::string& message() const { return message_; }

  // The same failure (its code kept) in other words: `id`'s pattern with
  // `values` and then this failure's text as its last value ("no reply (%1)").
  Outcome as(TextId id, std::vector<TextArg> values = {}) const {
    if (ok()) return *this;
    values.emplace_back(text_);
    return Outcome(code_, Text(id, std::move(values)));
  }

  // The same failure, said as `what` failing because of it ("sending failed: …").
  Outcome because(Text what) const {
    if (ok()) return *this;
    return Outcome(code_, Text(TextId::Because, {std::move(what), text_}));
  }

 private:
  Outcome(Code code, Text text)
      : code_(code), text_(std::move(text)), message_(code == Code::Ok ? std::string() : english(text_)) {}
  Code code_;
  Text text_;
  std::string message_;
};

template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : value_(std::move(value)), failure_(Outcome::success()) {}
  // A failed outcome passed on as this result's failure, of the same kind.
  Result(Outcome failed) : failure_(std::move(failed)) {}
  static Result failure(std::string message) {
    return Result(Outcome::failure(std::move(message)));
  }
  static Result failure(Code code, std::string message) {
    return Result(Outcome::failure(code, std::move(message)));
  }
  static Result failure(Text text) { return Result(Outcome::failure(std::move(text))); }

  bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }
  bool wasCancelled() const { return failure_.wasCancelled(); }
  Code code() const { return failure_.code(); }
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

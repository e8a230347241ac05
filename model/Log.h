// Diagnostics: the diagnostic log (one line per entry, stderr by default) and
// standard output (text as formatted, usually ending in a line feed).
// Formats are printf-style and are kept exactly as the protocol and editor
// documents write them, so fmt's sprintf does the formatting.
#pragma once

#include <fmt/printf.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace padkbd::log {

enum class Channel { Diagnostic, Output };

// Receives every entry. The default sink writes diagnostics to stderr (with a
// line feed) and output to stdout (as is).
using Sink = std::function<void(Channel, std::string_view)>;

// Replaces the sink; an empty function restores the default. Returns the old one.
Sink setSink(Sink sink);

void diagLine(std::string_view line);
void outText(std::string_view text);

// Whether anybody shows a channel. Lines of a channel nobody shows are not
// even formatted: the transport writes a dump of every transfer, and a full
// read makes thousands. Both are on by default.
namespace detail {
inline std::atomic<bool> gEnabled[2] = {true, true};
}
inline bool enabled(Channel channel) {
  return detail::gEnabled[static_cast<int>(channel)].load(std::memory_order_relaxed);
}
void setEnabled(Channel channel, bool on);

// Detail: the lines every exchange with the keyboard writes (each transfer as
// bytes and as the transport prints it) and the documents' whole text. A read
// makes over a thousand, so they are written only when detail is asked for
// (the tool's -v, the editor's "Detailed log"). On by default.
namespace detail {
inline std::atomic<bool> gDetailed{true};
}
inline bool detailed() {
  return detail::gDetailed.load(std::memory_order_relaxed);
}
void setDetailed(bool on);

template <typename... Args>
void diag(std::string_view format, const Args&... args) {
  if (!enabled(Channel::Diagnostic)) return;
  if constexpr (sizeof...(Args) == 0) {
    diagLine(format);
  } else {
    diagLine(fmt::sprintf(format, args...));
  }
}

template <typename... Args>
void out(std::string_view format, const Args&... args) {
  if (!enabled(Channel::Output)) return;
  if constexpr (sizeof...(Args) == 0) {
    outText(format);
  } else {
    outText(fmt::sprintf(format, args...));
  }
}

// A diagnostic line, or printed text, of detail.
template <typename... Args>
void detailDiag(std::string_view format, const Args&... args) {
  if (detailed()) diag(format, args...);
}
template <typename... Args>
void detailOut(std::string_view format, const Args&... args) {
  if (detailed()) out(format, args...);
}

// Collects both channels while it lives (tests), turning both and detail on. Not nestable with
// other sinks being set in between; the previous sink comes back on destruction.
class Capture {
 public:
  Capture();
  ~Capture();
  Capture(const Capture&) = delete;
  Capture& operator=(const Capture&) = delete;

  std::vector<std::string> diagnostics() const;
  std::string output() const;
  // Number of diagnostic lines equal to `line`.
  std::size_t count(std::string_view line) const;
  void clear();

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> diagnostics_;
  std::string output_;
  Sink previous_;
};

}  // namespace padkbd::log

#include "model/Log.h"

#include <algorithm>
#include <atomic>
#include <cstdio>

namespace padkbd::log {
namespace {

std::mutex& sinkMutex() {
  static std::mutex m;
  return m;
}

Sink& currentSink() {
  static Sink sink;
  return sink;
}

void defaultSink(Channel channel, std::string_view text) {
  if (channel == Channel::Diagnostic) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fputc('\n', stderr);
  } else {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
  }
}

void emit(Channel channel, std::string_view text) {
  Sink sink;
  {
    std::lock_guard lock(sinkMutex());
    sink = currentSink();
  }
  if (sink) {
    sink(channel, text);
  } else {
    defaultSink(channel, text);
  }
}

}  // namespace

Sink setSink(Sink sink) {
  std::lock_guard lock(sinkMutex());
  Sink old = std::move(currentSink());
  currentSink() = std::move(sink);
  return old;
}

void setEnabled(Channel channel, bool on) {
  detail::gEnabled[static_cast<int>(channel)].store(on, std::memory_order_relaxed);
}

void setDetailed(bool on) {
  detail::gDetailed.store(on, std::memory_order_relaxed);
}

void diagLine(std::string_view line) {
  if (enabled(Channel::Diagnostic)) emit(Channel::Diagnostic, line);
}
void outText(std::string_view text) {
  if (enabled(Channel::Output)) emit(Channel::Output, text);
}

Capture::Capture() {
  setEnabled(Channel::Diagnostic, true);
  setEnabled(Channel::Output, true);
  setDetailed(true);
  previous_ = setSink([this](Channel channel, std::string_view text) {
    std::lock_guard lock(mutex_);
    if (channel == Channel::Diagnostic) {
      diagnostics_.emplace_back(text);
    } else {
      output_.append(text);
    }
  });
}

Capture::~Capture() {
  setSink(std::move(previous_));
}

std::vector<std::string> Capture::diagnostics() const {
  std::lock_guard lock(mutex_);
  return diagnostics_;
}

std::string Capture::output() const {
  std::lock_guard lock(mutex_);
  return output_;
}

std::size_t Capture::count(std::string_view line) const {
  std::lock_guard lock(mutex_);
  return static_cast<std::size_t>(std::count(diagnostics_.begin(), diagnostics_.end(), line));
}

void Capture::clear() {
  std::lock_guard lock(mutex_);
  diagnostics_.clear();
  output_.clear();
}

}  // namespace padkbd::log

#include "cli/Console.h"

#include <fmt/format.h>

namespace padkbd::cli {

Console::Console(std::FILE* err, Verbosity verbosity, bool terminal)
    : err_(err), verbosity_(verbosity), terminal_(terminal) {}

Console::~Console() {
  if (capturing_) {
    if (!pendingOutput_.empty()) diagnostic(pendingOutput_);
    log::setSink(std::move(previous_));
    log::setEnabled(log::Channel::Diagnostic, previousDiagnostics_);
    log::setEnabled(log::Channel::Output, previousOutput_);
  }
  endProgress();
}

void Console::captureLog() {
  if (capturing_) return;
  capturing_ = true;
  previousDiagnostics_ = log::enabled(log::Channel::Diagnostic);
  previousOutput_ = log::enabled(log::Channel::Output);
  log::setEnabled(log::Channel::Diagnostic, verbose());
  log::setEnabled(log::Channel::Output, verbose());
  // -v asks for every exchange's lines too.
  log::setDetailed(verbose());
  previous_ =
      log::setSink([this](log::Channel channel, std::string_view text) { onLog(channel, text); });
}

void Console::onLog(log::Channel channel, std::string_view text) {
  if (channel == log::Channel::Diagnostic) {
    diagnostic(text);
    return;
  }
  // The transport prints pieces of a line ("PipeRef %d: " then the rest);
  // keep them together so each becomes one line here.
  pendingOutput_.append(text);
  std::size_t start = 0;
  for (std::size_t nl; (nl = pendingOutput_.find('\n', start)) != std::string::npos;
       start = nl + 1) {
    diagnostic(std::string_view(pendingOutput_).substr(start, nl - start));
  }
  pendingOutput_.erase(0, start);
}

void Console::line(std::string_view text) {
  clearProgress();
  std::fwrite(text.data(), 1, text.size(), err_);
  std::fputc('\n', err_);
  redrawProgress();
  std::fflush(err_);
}

void Console::error(std::string_view text) {
  line(fmt::format("padkbd: {}", text));
}

void Console::warning(std::string_view text) {
  if (verbosity_ != Verbosity::Quiet) line(fmt::format("padkbd: warning: {}", text));
}

void Console::note(std::string_view text) {
  if (verbosity_ != Verbosity::Quiet) line(text);
}

void Console::diagnostic(std::string_view text) {
  if (verbose()) line(text);
}

void Console::progress(std::string_view what, std::size_t done, std::size_t total) {
  if (!showsProgress()) return;
  progressText_ = fmt::format("{} {}/{}", what, done, total);
  clearProgress();
  redrawProgress();
  std::fflush(err_);
}

void Console::progress(std::string_view text) {
  if (!showsProgress()) return;
  progressText_ = std::string(text);
  clearProgress();
  redrawProgress();
  std::fflush(err_);
}

void Console::endProgress() {
  clearProgress();
  progressText_.clear();
  std::fflush(err_);
}

void Console::clearProgress() {
  if (!progressShown_) return;
  // Carriage return and "erase to end of line": the next text starts clean.
  std::fputs("\r\x1b[K", err_);
  progressShown_ = false;
}

void Console::redrawProgress() {
  if (progressText_.empty() || !showsProgress()) return;
  std::fwrite(progressText_.data(), 1, progressText_.size(), err_);
  progressShown_ = true;
}

}  // namespace padkbd::cli

#include "editor/EditorLog.h"

#include <fmt/format.h>
#include <spdlog/sinks/rotating_file_sink.h>
#include <spdlog/spdlog.h>

#include <QString>
#include <QtGlobal>
#include <cstdio>

#include "model/Log.h"
#include "padkbd/BuildConfig.h"
#include "storage/FileAction.h"
#include "storage/Settings.h"

namespace padkbd::editor {

namespace {

QtMessageHandler gPreviousHandler = nullptr;
bool gVerbose = false;

// Qt's warnings (a missing platform theme, a font) are diagnostics too.
void toLog(QtMsgType type, const QMessageLogContext& /*context*/, const QString& message) {
  static const char* const kinds[] = {"debug", "warning", "critical", "fatal", "info"};
  const auto kind = static_cast<std::size_t>(type);
  log::diag("qt %s: %s", kind < std::size(kinds) ? kinds[kind] : "message", message.toStdString());
  // What ends the program (no display to show the window on) is said where
  // the user started it, too.
  if ((type == QtCriticalMsg || type == QtFatalMsg) && !gVerbose) {
    std::fprintf(stderr, "padkbd-editor: %s\n", qPrintable(message));
  }
}

}  // namespace

std::filesystem::path EditorLog::defaultPath() {
  return xdgDirectory("XDG_STATE_HOME", std::filesystem::path(".local") / "state") / "editor.log";
}

EditorLog::EditorLog(std::filesystem::path path, bool verbose, std::size_t fileSize)
    : path_(std::move(path)) {
  try {
    std::error_code ignored;  // the sink says why when it cannot open the file
    std::filesystem::create_directories(path_.parent_path(), ignored);
    auto sink = std::make_shared<spdlog::sinks::rotating_file_sink_mt>(path_.string(), fileSize,
                                                                       kFiles - 1);
    logger_ = std::make_shared<spdlog::logger>("padkbd-editor", std::move(sink));
    logger_->set_pattern("%Y-%m-%d %H:%M:%S.%e %v");
    // Each line reaches the file at once: a crash keeps what led to it.
    logger_->flush_on(spdlog::level::trace);
  } catch (const std::exception& e) {
    problem_ = fmt::format("the log cannot be written to {}: {}", path_.string(), e.what());
    logger_.reset();
  }
  // The transport's printed lines ("Wrote 15 bytes to bulk endpoint") are
  // diagnostics in a window too.
  log::setSink([logger = logger_, verbose](log::Channel channel, std::string_view text) {
    if (channel == log::Channel::Output) {
      if (verbose) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
      }
      while (!text.empty() && text.back() == '\n') text.remove_suffix(1);
    } else if (verbose) {
      std::fwrite(text.data(), 1, text.size(), stderr);
      std::fputc('\n', stderr);
    }
    if (logger) logger->info("{}", text);
  });
  // Every exchange's lines when asked for: --verbose, or Help → Detailed log last time.
  log::setDetailed(verbose || SettingsFile().detailedLog());
  gVerbose = verbose;
  gPreviousHandler = qInstallMessageHandler(toLog);
  log::diag("padkbd-editor %s started", config::kVersion);
}

EditorLog::~EditorLog() {
  qInstallMessageHandler(gPreviousHandler);
  log::setSink(nullptr);
  if (logger_) logger_->flush();
}

}  // namespace padkbd::editor

// The editor's diagnostics. A program started from a desktop menu has its
// standard error in the user's journal, so the log module's lines and Qt's
// own messages go to a rotating file, $XDG_STATE_HOME/padkbd/editor.log
// (then editor.log.1 ...), and to standard error only when asked for.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>

namespace spdlog {
class logger;
}

namespace padkbd::editor {

class EditorLog {
 public:
  // Three files of at most 1 MiB each are kept.
  static constexpr std::size_t kFileSize = std::size_t{1} << 20;
  static constexpr std::size_t kFiles = 3;

  // $XDG_STATE_HOME/padkbd/editor.log (~/.local/state/padkbd/editor.log).
  static std::filesystem::path defaultPath();

  // From now until destruction every diagnostic line, and every message of
  // Qt's, goes to `path` (and to standard error when `verbose`). A file that
  // cannot be written is told by problem(), and the lines go only where
  // `verbose` sends them.
  EditorLog(std::filesystem::path path, bool verbose, std::size_t fileSize = kFileSize);
  ~EditorLog();
  EditorLog(const EditorLog&) = delete;
  EditorLog& operator=(const EditorLog&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Why nothing is written to the file; empty when it is.
  const std::string& problem() const { return problem_; }

 private:
  std::filesystem::path path_;
  std::string problem_;
  std::shared_ptr<spdlog::logger> logger_;
};

}  // namespace padkbd::editor

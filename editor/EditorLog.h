// The editor's diagnostics. A program started from a desktop menu has its
// standard error in the user's journal, so the log module's lines and Qt's
// own messages go to a rotating file, $XDG_STATE_HOME/padkbd/editor.log
// (then editor.1.log ...), and to standard error only when asked for.
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
  // A start, a read and a send write at most this much; the detailed log
  // (every exchange's lines) about 500 KB.
  static constexpr std::size_t kStartSize = 16 * 1024;
  static constexpr std::size_t kDetailedStartSize = 512 * 1024;
  // Six files of at most 2 MiB each are kept: the last 20 starts, even detailed.
  static constexpr std::size_t kFileSize = std::size_t{2} << 20;
  static constexpr std::size_t kFiles = 6;
  static_assert((kFiles - 1) * kFileSize >= 20 * kDetailedStartSize);

  // $XDG_STATE_HOME/padkbd/editor.log (~/.local/state/padkbd/editor.log).
  static std::filesystem::path defaultPath();

  // From now until destruction every diagnostic line, and every message of
  // Qt's, goes to `path` (and to standard error when `verbose`). A file that
  // cannot be written is told by problem(), and the lines go only where
  // `verbose` sends them. Every exchange's lines are among them with
  // `verbose` or when the settings ask for a detailed log.
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

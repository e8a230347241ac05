// Preset files: the shipped default preset, the working copy "temp" and the
// user's preset documents, all XML property lists holding a preset dictionary.
// Every write is atomic (write beside, then rename); a preset is checked
// before it can replace anything.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/Outcome.h"
#include "model/Records.h"
#include "storage/Files.h"
#include "storage/PresetCheck.h"

namespace padkbd {

// padkbd's folder under an XDG base directory: $VARIABLE/padkbd when the
// variable holds an absolute path, else ~/FALLBACK/padkbd.
std::filesystem::path xdgDirectory(const char* variable, const std::filesystem::path& fallback);

// The default preset as built into the program (the XML text of
// resources/default.plist at build time).
std::string_view builtinDefaultPresetXml();

class FileAction {
 public:
  FileAction(std::filesystem::path resourceDir, std::filesystem::path workingCopy);

  // $XDG_DATA_HOME/padkbd/temp.plist, or ~/.local/share/padkbd/temp.plist.
  static std::filesystem::path defaultWorkingCopyPath();
  // The shipped resources for a program at `executable`: resources/ in the
  // build tree, or share/padkbd/ beside an installed bin/.
  static std::filesystem::path findResourceDir(const std::filesystem::path& executable);

  const std::filesystem::path& resourceDir() const;
  const std::filesystem::path& workingCopyPath() const;

  // The file "<name>.<type>" of the resource directory, if it exists.
  std::optional<std::filesystem::path> pathForResource(std::string_view name,
                                                       std::string_view type) const;

  // Writes the preset over the working copy, atomically.
  Outcome WriteButtonValuesToTempWithData(const ButtonValueList& buttons, const PadValue& global);

  // Checked whole-preset reads. The default preset never fails: when the
  // shipped file is missing or refused, the copy built into the program is
  // used and the reason logged.
  Preset defaultPreset() const;
  PresetRead readTempPreset();

  // Load: checks the document and only then writes it, as XML, over the
  // working copy; gives the preset it holds. Neither Load nor Save reads the
  // working copy back: another editor window may write it at any time.
  PresetRead importDocument(const std::filesystem::path& document);
  // Save, second half: writes the preset into the document, atomically, as
  // the working copy holds it (an unusable preset is refused).
  Outcome exportPreset(const Preset& preset, const std::filesystem::path& document);

  // The string lists of the "basic" resource, by key (empty when unreadable).
  std::map<std::string, std::vector<std::string>> readChoiceLists() const;

  // Makes sure the working copy exists: the first time it is needed it is
  // seeded from the shipped "temp" resource (its folder created).
  Outcome ensureWorkingCopy();

 private:
  std::filesystem::path resourceDir_;
  std::filesystem::path workingCopy_;
};

}  // namespace padkbd

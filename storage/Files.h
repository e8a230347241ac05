// Whole files in and out: reads capped at a preset's size limit, and the one
// atomic write every file padkbd writes goes through.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "model/Outcome.h"
#include "model/Records.h"
#include "storage/PresetCheck.h"

namespace padkbd {

class PlistNode;

// A whole file's bytes, or why they cannot be had.
using FileBytes = Result<std::string>;

// Reads a whole regular file of at most kMaxPresetFileBytes. Opening does not
// block (a FIFO chosen by mistake is refused, not waited on).
FileBytes readFileLimited(const std::filesystem::path& path);
// The root of a property-list file, unchecked; no node when unreadable.
PlistNode readPlistFile(const std::filesystem::path& path);

// Reads and checks a preset file.
PresetRead readPresetFile(const std::filesystem::path& path);
// The preset as XML property-list text.
std::string presetToXml(const ButtonValueList& buttons, const PadValue& global);
// Writes the preset as an XML property list, atomically.
Outcome writePresetFile(const std::filesystem::path& path, const ButtonValueList& buttons,
                        const PadValue& global);

// Writes `bytes` to `path` atomically: a sibling temporary file of a name of
// its own (registered with tempfiles, so a signal removes it) is written,
// flushed to disk and renamed over `path`. On failure the old file is whole
// and the message says what went wrong. A symlink at `path` is replaced, not
// followed.
Outcome writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);

}  // namespace padkbd

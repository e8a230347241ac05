// The labels of the choice lists (the shipped list file's "Channel 10",
// "Memory 1", "Pad 6", "Note Switch", "7 Volume") in the window's language.
// The file keeps them as written and documents keep list positions, so only
// what is shown changes.
#pragma once

#include <QString>
#include <string>


namespace padkbd::editor {

QString listLabel(const std::string& label);

}  // namespace padkbd::editor

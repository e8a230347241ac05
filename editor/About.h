// Help → About padkbd: the version, the libraries it runs with, and the
// folders its settings, data, log and history live in, so that a problem
// report can say all of it.
#pragma once

#include <QString>

namespace padkbd::editor {

QString aboutText();
// The folder of the editor's log (and the history).
QString logFolder();

}  // namespace padkbd::editor

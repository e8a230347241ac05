// The window's elements are found by their outlet names (their objectName
// in Main.ui). Main.ui is compiled into the program, so a missing element is
// a programming error, not something a user can cause: it stops the program
// at once, naming the element.
#pragma once

#include <QString>
#include <QWidget>
#include <QtGlobal>

namespace padkbd::editor {

template <typename T>
T* findOutlet(const QWidget* view, const char* name) {
  T* element = view->findChild<T*>(QString::fromLatin1(name));
  if (element == nullptr) qFatal("The editor window has no element \"%s\".", name);
  return element;
}

}  // namespace padkbd::editor

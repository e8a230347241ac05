// What the screenshot tool's parts share: the folder the pictures go to,
// whether every one was taken, and how a picture is taken.
#pragma once

#include <QDir>
#include <QString>
#include <functional>

class QWidget;

namespace screenshots {

extern QDir folder;
extern bool ok;
// Writes the widget's picture as `name`.
void save(QWidget* widget, const QString& name);
// Grabs the modal dialog that `act` opens, then rejects it.
void saveModal(const QString& name, const std::function<void()>& act);
// The Library pane, then a set of three slots sent, each picture's name
// beginning with `prefix`.
void libraryIn(const QString& prefix);

}  // namespace screenshots

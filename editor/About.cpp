#include "editor/About.h"

#include <QCoreApplication>
#include <QDir>

#include "editor/EditorLog.h"
#include "keyboard/Reach.h"
#include "link/midiport/PortModule.h"
#include "padkbd/BuildConfig.h"
#include "storage/FileAction.h"
#include "storage/Settings.h"

namespace padkbd::editor {

namespace {

QString shown(const std::filesystem::path& path) {
  return QDir::toNativeSeparators(QString::fromStdString(path.string()));
}

}  // namespace

QString logFolder() {
  return shown(EditorLog::defaultPath().parent_path());
}

QString aboutText() {
  // Loads the MIDI-port module; without it there is no RtMidi to name.
  const Result<std::string> rtmidi = portmodule::rtmidiVersion();
  return QCoreApplication::translate(
             "About",
             "padkbd %1\nThe editor of the USB-MIDI pad keyboard's settings.\n\n"
             "Qt %2 · libusb %3 · libplist %4 · RtMidi %5\n\n"
             "Settings: %6\nData: %7\nLog and history: %8")
      .arg(QString::fromLatin1(config::kVersion), QString::fromLatin1(qVersion()),
           QString::fromStdString(libusbVersion()), QStringLiteral(PADKBD_LIBPLIST_VERSION),
           rtmidi ? QString::fromStdString(*rtmidi) : QStringLiteral("—"),
           shown(SettingsFile::defaultPath()),
           shown(FileAction::defaultWorkingCopyPath().parent_path()), logFolder());
}

}  // namespace padkbd::editor

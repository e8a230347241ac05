// padkbd-editor: the composition root. Creates the USB backend (or the
// simulated controller), the preset files, the device worker (which owns the
// transport) and the editor window, then runs the event loop until the
// window is closed.
#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>
#include <memory>

#include "editor/DeviceWorker.h"
#include "editor/MainWindowController.h"
#include "padkbd/BuildConfig.h"
#include "sim/SimulatedController.h"
#include "storage/FileAction.h"
#include "storage/Settings.h"
#include "storage/TempFiles.h"
#include "usb/LibusbBackend.h"

int main(int argc, char** argv) {
  QCoreApplication::setApplicationName(QStringLiteral("padkbd-editor"));
  QCoreApplication::setApplicationVersion(QString::fromLatin1(padkbd::config::kVersion));
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Editor for the settings of the USB-MIDI pad keyboard."));
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  const QCommandLineOption simulate(
      QStringLiteral("simulate"),
      QStringLiteral("Work with a simulated keyboard instead of USB (no hardware needed)."));
  parser.addOption(simulate);

  // Help and version need no display, so they are answered before the window system starts.
  for (int i = 1; i < argc; ++i) {
    const QString arg = QString::fromLocal8Bit(argv[i]);
    if (help.names().contains(arg.mid(arg.startsWith(QLatin1String("--")) ? 2 : 1))) {
      QString text = parser.helpText();
      text.replace(QStringLiteral("<executable_name>"), QStringLiteral("padkbd-editor"));
      std::fputs(qPrintable(text), stdout);
      return 0;
    }
    if (arg == QLatin1String("--version") || arg == QLatin1String("-v")) {
      std::printf("padkbd-editor %s\n", padkbd::config::kVersion);
      return 0;
    }
  }

  // Ctrl+C, a logout or a kill while a file is written leaves no temporary file.
  padkbd::tempfiles::removeOnSignals();
  QApplication app(argc, argv);
  parser.process(app);

  // The keyboard chosen in the settings (padkbd use, or the Keyboard dialog),
  // else the built-in one; a damaged settings file is shown in the window.
  const padkbd::SettingsFile settings;
  const padkbd::ResolvedKeyboard keyboard = padkbd::resolveKeyboard(settings.read(), {});
  if (!keyboard.warning.empty()) {
    std::fprintf(stderr, "padkbd-editor: %s\n", keyboard.warning.c_str());
  }
  std::unique_ptr<padkbd::UsbBackend> backend;
  if (parser.isSet(simulate)) {
    backend = std::make_unique<padkbd::SimulatedController>(keyboard.id);
  } else {
    backend = std::make_unique<padkbd::LibusbBackend>();
  }
  padkbd::FileAction fileAction(
      padkbd::FileAction::findResourceDir(QCoreApplication::applicationFilePath().toStdString()),
      padkbd::FileAction::defaultWorkingCopyPath());
  // USB is spoken on the worker's thread only, so the window never waits.
  padkbd::editor::DeviceWorker worker(*backend, keyboard.id, fileAction.resourceDir());

  padkbd::editor::MainWindowController window(worker, fileAction, keyboard, settings);
  window.show();
  return QApplication::exec();
}

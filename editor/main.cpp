// padkbd-editor: the composition root. Creates the USB backend (or the
// simulated controller), the transport, the preset files, PadAction and the
// editor window, then runs the event loop until the window is closed.
#include <QApplication>
#include <QCommandLineParser>
#include <memory>

#include "editor/MainWindowController.h"
#include "padkbd/BuildConfig.h"
#include "protocol/PadAction.h"
#include "sim/SimulatedController.h"
#include "storage/FileAction.h"
#include "usb/InterfaceAction.h"
#include "usb/LibusbBackend.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("padkbd-editor"));
  QApplication::setApplicationVersion(QString::fromLatin1(padkbd::config::kVersion));

  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Editor for the settings of the USB-MIDI pad keyboard."));
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption simulate(
      QStringLiteral("simulate"),
      QStringLiteral("Work with a simulated keyboard instead of USB (no hardware needed)."));
  parser.addOption(simulate);
  parser.process(app);

  std::unique_ptr<padkbd::UsbBackend> backend;
  if (parser.isSet(simulate)) {
    backend = std::make_unique<padkbd::SimulatedController>();
  } else {
    backend = std::make_unique<padkbd::LibusbBackend>();
  }
  padkbd::InterfaceAction interfaceAction(*backend);
  padkbd::FileAction fileAction(
      padkbd::FileAction::findResourceDir(QCoreApplication::applicationFilePath().toStdString()),
      padkbd::FileAction::defaultWorkingCopyPath());
  padkbd::PadAction padAction(interfaceAction, fileAction);

  padkbd::editor::MainWindowController window(padAction);
  window.show();
  return QApplication::exec();
}

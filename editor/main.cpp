// padkbd-editor: the composition root. Creates the way to the keyboard (raw
// USB, a MIDI port or the simulated keyboard, chosen by the same options as
// the tool's), the preset files, the history, the device worker (which runs
// the keyboard's workflow) and the editor window, then runs the event loop
// until the window is closed.
#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>

#include "editor/DeviceWorker.h"
#include "editor/EditorLog.h"
#include "editor/Language.h"
#include "editor/MainWindowController.h"
#include "history/History.h"
#include "keyboard/Options.h"
#include "model/Log.h"
#include "padkbd/BuildConfig.h"
#include "sim/SimulatedController.h"
#include "storage/FileAction.h"
#include "storage/Settings.h"
#include "storage/TempFiles.h"

namespace {

// --lang LANGUAGE (or --lang=LANGUAGE) from the command line, else the
// settings file's; read before the options are described, in that language.
// Whether it came from the command line goes to `fromCommandLine`.
QString languageFrom(int argc, char** argv, const padkbd::SettingsFile& settings,
                     bool& fromCommandLine) {
  fromCommandLine = true;
  for (int i = 1; i < argc; ++i) {
    const QString arg = QString::fromLocal8Bit(argv[i]);
    if (arg == QLatin1String("--lang") && i + 1 < argc) return QString::fromLocal8Bit(argv[i + 1]);
    if (arg.startsWith(QLatin1String("--lang="))) return arg.mid(7);
  }
  fromCommandLine = false;
  return QString::fromStdString(settings.language());
}

// A language asked for on the command line that has no translation is told
// there; one from the settings file goes to the log.
void chooseLanguage(const QString& language, bool fromCommandLine) {
  QString why;
  if (padkbd::editor::useLanguage(language, &why)) return;
  if (fromCommandLine) {
    std::fprintf(stderr, "padkbd-editor: %s\n", qPrintable(why));
  } else {
    padkbd::log::diag("settings: %s", why.toStdString());
  }
}

// A refused option: one line on standard error, status 2, as the tool.
int usageError(const padkbd::Outcome& why) {
  std::fprintf(stderr, "padkbd-editor: %s\n", why.message().c_str());
  return 2;
}

bool hasArgument(int argc, char** argv, const char* name) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], name) == 0) return true;
  }
  return false;
}

// The options, for --help (before the window system starts) and for parsing.
void describeOptions(QCommandLineParser& parser) {
  parser.setApplicationDescription(
      QCoreApplication::translate("main", "Editor for the settings of the USB-MIDI pad keyboard."));
  parser.addHelpOption();
  parser.addVersionOption();
  // The keyboard's options, as the tool takes them.
  for (const padkbd::KeyboardOption& option : padkbd::keyboardOptions()) {
    const QString help = QCoreApplication::translate(padkbd::kTextContext,
                                                     padkbd::catalogueEntry(option.help).pattern);
    const QString name = QString::fromLatin1(option.name).mid(2);
    if (*option.value == '\0') {
      parser.addOption({name, help});
    } else {
      parser.addOption({name, help, QString::fromLatin1(option.value)});
    }
  }
  parser.addOption(
      {QStringLiteral("lang"),
       QCoreApplication::translate(
           "main",
           "The window's language: en, zh_CN, or source (as built); the desktop's by default."),
       QCoreApplication::translate("main", "language")});
  parser.addOption(
      {QStringLiteral("verbose"),
       QCoreApplication::translate("main",
                                   "Write the diagnostic lines to standard error too, every "
                                   "message to and from the keyboard included (they always go "
                                   "to the editor's log file).")});
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication::setApplicationName(QStringLiteral("padkbd-editor"));
  QCoreApplication::setApplicationVersion(QString::fromLatin1(padkbd::config::kVersion));
  const padkbd::SettingsFile settings;
  bool languageOnCommandLine = false;
  const QString language = languageFrom(argc, argv, settings, languageOnCommandLine);

  // Help and version need no display, so they are answered before the window system starts.
  for (int i = 1; i < argc; ++i) {
    const QString arg = QString::fromLocal8Bit(argv[i]);
    if (arg == QLatin1String("--version") || arg == QLatin1String("-v")) {
      std::printf("padkbd-editor %s\n", padkbd::config::kVersion);
      return 0;
    }
    if (arg == QLatin1String("--help") || arg == QLatin1String("-h") ||
        arg == QLatin1String("--help-all")) {
      QCoreApplication core(argc, argv);
      chooseLanguage(language, languageOnCommandLine);
      QCommandLineParser parser;
      describeOptions(parser);
      // The usage line names the program, not the path it was started by.
      QString help = parser.helpText();
      const QString started = QCoreApplication::arguments().constFirst();
      if (const auto at = help.indexOf(started); at >= 0)
        help.replace(at, started.size(), QStringLiteral("padkbd-editor"));
      std::fputs(qPrintable(help), stdout);
      return 0;
    }
  }

  // Ctrl+C, a logout or a kill while a file is written leaves no temporary file.
  padkbd::tempfiles::removeOnSignals();
  // From here on diagnostics (Qt's too) go to the log, not to the journal.
  const padkbd::editor::EditorLog log(padkbd::editor::EditorLog::defaultPath(),
                                      hasArgument(argc, argv, "--verbose"));
  QApplication app(argc, argv);
  // The menu entry's id ties the window to its entry and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.padkbd.PadkbdEditor"));
  // --simulate=FILE as the tool takes it: the parser sees --simulate.
  padkbd::KeyboardArgs given;
  QStringList words;
  {
    std::vector<std::string> arguments;
    for (const QString& word : QCoreApplication::arguments())
      arguments.push_back(word.toStdString());
    const padkbd::Result<std::vector<std::string>> taken =
        padkbd::takeSimulateState(arguments, given.stateFile);
    if (!taken) return usageError(taken.outcome());
    for (const std::string& word : *taken) words << QString::fromStdString(word);
  }
  QCommandLineParser parser;
  describeOptions(parser);
  parser.process(words);
  const auto value = [&parser](const char* name) {
    return parser.value(QString::fromLatin1(name)).toStdString();
  };
  given.simulate = parser.isSet(QStringLiteral("simulate"));
  given.device = value("device");
  given.manufacturer = value("manufacturer");
  given.port = value("port");
  given.midiApi = value("midi-api");
  const padkbd::Result<padkbd::KeyboardChoice> choice = padkbd::keyboardChoice(given);
  if (!choice) return usageError(choice.outcome());

  // The keyboard chosen on the command line, else in the settings (padkbd
  // use, or the Keyboard dialog), else the built-in one; a damaged settings
  // file is shown in the window.
  const padkbd::ResolvedKeyboard keyboard =
      padkbd::resolveKeyboard(settings.read(), choice->commandLine);
  if (!keyboard.warning.empty()) padkbd::log::diag("settings: %s", keyboard.warning);
  // The way to the keyboard lists the devices too (the worker tells it
  // which keyboard is in force, the Keyboard dialog's choice included).
  padkbd::Reach reach(choice->reach, keyboard.id);
  padkbd::FileAction fileAction(
      padkbd::FileAction::findResourceDir(QCoreApplication::applicationFilePath().toStdString()),
      padkbd::FileAction::defaultWorkingCopyPath());
  // Opened on first use, which is on the worker's thread: the window never
  // waits for the database either.
  padkbd::History history(padkbd::History::defaultPath(), settings.historyKeep());
  // USB is spoken on the worker's thread only, so the window never waits.
  padkbd::editor::DeviceWorker worker(reach, fileAction.resourceDir(), history);
  if (padkbd::SimulatedController* simulated = reach.simulated()) {
    // Ctrl with the mouse on the surface plays the simulated keyboard.
    worker.setStriker([&sim = *simulated](int index, padkbd::SimulatedController::Touch touch,
                                          int amount) { sim.touch(index, touch, amount); });
  }

  padkbd::editor::MainWindowController window(worker, fileAction, keyboard, settings, nullptr,
                                              padkbd::editor::MainWindowController::Build::OnShow);
  window.show();
  // What the window needs only once it is built, done while the frame is
  // on its way to the screen: looking the icon up in the icon theme, and
  // the translation (the contents are built, in it, once the loop runs).
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.padkbd.PadkbdEditor")));
  chooseLanguage(language, languageOnCommandLine);
  return QApplication::exec();
}

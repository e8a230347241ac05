#include "editor/KeyboardActions.h"

#include <QCoreApplication>
#include <QStringList>
#include <QWidget>

#include "editor/StatusTexts.h"
#include "editor/ViewController.h"
#include "model/Log.h"
#include "protocol/PadAction.h"

namespace padkbd::editor {

namespace {

QString q(const std::string& text) {
  return QString::fromStdString(text);
}

// What a read replaced, after the fixed text, and the first few of them
// (a keyboard sending rubbish could fill every setting) under the names the
// window gives the controls, for the tooltip.
QString replacedCount(std::size_t count) {
  return count == 1
             ? QStringLiteral(" (1 setting from the keyboard was outside its list and set to the "
                              "first entry)")
             : QStringLiteral(" (%1 settings from the keyboard were outside their lists and set "
                              "to the first entry)")
                   .arg(count);
}

QString replacementNotes(const ButtonAction::Replacements& replaced, const EditSession& session) {
  constexpr std::size_t kShown = 12;
  QStringList lines{QStringLiteral("Set to the first entry of their lists:")};
  for (std::size_t n = 0; n < replaced.size() && n < kShown; ++n) {
    const ButtonAction::Replacement& r = replaced[n];
    const QString where = r.control == ButtonAction::ExchangeError::kGlobalBlock
                              ? QStringLiteral("Global settings")
                              : q(session.controlName(r.control));
    lines << QStringLiteral("%1: %2 byte %3")
                 .arg(where, q(r.setting))
                 .arg(r.byte, 2, 16, QLatin1Char('0'));
  }
  if (replaced.size() > kShown) {
    lines << QStringLiteral("and %1 more").arg(replaced.size() - kShown);
  }
  return lines.join(QLatin1Char('\n'));
}

}  // namespace

KeyboardActions::KeyboardActions(ViewController& view, PadAction& padAction,
                                 SettingsFile settings)
    : QObject(&view), view_(view), padAction_(padAction), settings_(std::move(settings)) {}

std::unique_ptr<EditSession> KeyboardActions::readAtStart() {
  view_.setStatus(kLoading);
  const bool read = padAction_.ReadPadValueFromDevice();
  const CurrentPreset& current = padAction_.currentPreset();
  const std::optional<std::string> version = read ? padAction_.deviceVersion() : std::nullopt;
  auto session = std::make_unique<EditSession>(
      padAction_.fileAction(), Preset{current.buttonValueArray, current.currentPadValue},
      read ? Origin{Origin::Kind::Keyboard, version.value_or("")} : Origin{}, version);
  // The fixed texts stay as they are; what else there is to know follows
  // them (replacements) or goes into the tooltip (the details).
  QStringList notes;
  if (!read && !padAction_.lastError().empty()) notes << q(padAction_.lastError());
  const ButtonAction::Replacements& replaced = padAction_.lastReplacements();
  if (read && !replaced.empty()) notes << replacementNotes(replaced, *session);
  if (!view_.settingsWarning.isEmpty()) notes << view_.settingsWarning;
  view_.setStatus((read ? kReadSucceeded : kConnectFailed) +
                      (read && !replaced.empty() ? replacedCount(replaced.size()) : QString()),
                  notes.join(QStringLiteral("\n\n")));
  return session;
}

void KeyboardActions::read(EditSession& session) {
  view_.setStatus(kLoading);
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  // A failed read changes nothing that is shown.
  if (!padAction_.ReadPadValueFromDevice()) {
    view_.setStatus(kConnectFailed, q(padAction_.lastError()));
    return;
  }
  const CurrentPreset& read = padAction_.currentPreset();
  session.useKeyboardPreset(Preset{read.buttonValueArray, read.currentPadValue},
                            padAction_.deviceVersion().value_or(""));
  const auto& replaced = padAction_.lastReplacements();
  view_.setStatus(kReadSucceeded + (replaced.empty() ? QString() : replacedCount(replaced.size())),
                  replaced.empty() ? QString() : replacementNotes(replaced, session));
}

bool KeyboardActions::confirmSend(const EditSession& session) {
  const DialogSeams& dialogs = view_.dialogs;
  if (!dialogs.confirmSend || !settings_.confirmsSend()) return true;
  const int slot = session.global()->mem + 1;
  const std::vector<std::string> changes = session.changesOnKeyboard();
  QString text;
  if (!session.knowsKeyboard()) {
    text = QStringLiteral("Memory slot %1 gets every setting shown. What the keyboard holds now "
                          "is not known: it was not read.")
               .arg(slot);
  } else if (changes.empty()) {
    text = QStringLiteral("Nothing changes in memory slot %1: it gets what the keyboard last "
                          "read or was sent.")
               .arg(slot);
  } else {
    text = QStringLiteral("%1 %2 in memory slot %3.")
               .arg(changes.size())
               .arg(changes.size() == 1 ? QStringLiteral("setting will change")
                                        : QStringLiteral("settings will change"))
               .arg(slot);
  }
  QStringList details;
  for (const std::string& line : changes) details << q(line);
  bool dontAskAgain = false;
  const bool send = dialogs.confirmSend(view_.view()->window(), text,
                                        details.join(QLatin1Char('\n')), dontAskAgain);
  if (send && dontAskAgain) {
    if (Outcome stored = settings_.storeConfirmsSend(false); !stored) {
      log::diag("send: %s", stored.message());
    }
  }
  return send;
}

void KeyboardActions::send(EditSession& session) {
  if (!confirmSend(session)) return;
  // A new message window for each send; one still open gives its view back first.
  if (messageWindow_) {
    messageWindow_->returnView();
    messageWindow_->close();
  }
  auto* window = new MessageController(view_.messageView, view_.view()->window());
  messageWindow_ = window;
  window->open();
  // The fixed texts say what happened; the detail line and the tooltip say why.
  auto report = [this, window](const QString& text, const std::string& why = {}) {
    view_.setStatus(text, q(why));
    if (messageWindow_ != window) return;
    window->setMessage(text);
    window->setDetail(q(why));
  };
  // The keyboard gets a copy: what is sent cannot change while it goes out.
  if (Outcome taken = padAction_.usePreset(session.copyOfPreset()); !taken) {
    report(kConnectFailed, taken.message());
    return;
  }
  if (!padAction_.OpenInterface()) {
    report(kConnectFailed, padAction_.lastError());
    return;
  }
  report(kSending);
  // Let the window draw "发送中……" before the write holds the thread.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  if (!padAction_.WritePadValueToDevice()) {
    report(kConnectFailed, padAction_.lastError());
    return;
  }
  session.sentToKeyboard();
  report(kSendSucceeded);
}

}  // namespace padkbd::editor

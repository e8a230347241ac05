#include "editor/KeyboardActions.h"

#include "editor/KeyboardAdvice.h"

#include <fmt/format.h>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStringList>
#include <QWidget>
#include <algorithm>
#include <utility>

#include "editor/DocumentActions.h"
#include "editor/KeyboardController.h"
#include "editor/ListLabels.h"
#include "editor/Outlets.h"
#include "editor/StatusTexts.h"
#include "editor/ViewController.h"
#include "editor/Words.h"
#include "model/Log.h"

namespace padkbd::editor {

namespace {

QString q(const std::string& text) {
  return QString::fromStdString(text);
}

// What a read replaced, after the fixed text, and the first few of them
// (a keyboard sending rubbish could fill every setting) under the names the
// window gives the controls, for the tooltip.
QString replacedCount(std::size_t count) {
  return count == 1 ? KeyboardActions::tr(
                          " (1 setting from the keyboard was outside its list and set to the "
                          "first entry)")
                    : KeyboardActions::tr(
                          " (%1 settings from the keyboard were outside their lists and set "
                          "to the first entry)")
                          .arg(count);
}

QString replacementNotes(const ButtonAction::Replacements& replaced, const EditSession& session) {
  constexpr std::size_t kShown = 12;
  QStringList lines{KeyboardActions::tr("Set to the first entry of their lists:")};
  for (std::size_t n = 0; n < replaced.size() && n < kShown; ++n) {
    const ButtonAction::Replacement& r = replaced[n];
    const QString where = r.control == ButtonAction::kGlobalBlock
                              ? KeyboardActions::tr("Global settings")
                              : listLabel(session.controlName(r.control));
    lines << KeyboardActions::tr("%1: %2 byte %3")
                 .arg(where, q(r.setting))
                 .arg(r.byte, 2, 16, QLatin1Char('0'));
  }
  if (replaced.size() > kShown) {
    lines << KeyboardActions::tr("and %1 more").arg(replaced.size() - kShown);
  }
  return lines.join(QLatin1Char('\n'));
}

}  // namespace

KeyboardActions::KeyboardActions(ViewController& view, DeviceWorker& worker, SettingsFile settings)
    : QObject(&view),
      view_(view),
      worker_(worker),
      settings_(std::move(settings)),
      panel_(findOutlet<QWidget>(view.view(), "deviceProgress")),
      text_(findOutlet<QLabel>(view.view(), "progressText")),
      bar_(findOutlet<QProgressBar>(view.view(), "progressBar")),
      cancel_(findOutlet<QPushButton>(view.view(), "cancelButton")),
      state_(findOutlet<QLabel>(view.view(), "keyboardState")) {
  connect(cancel_, &QPushButton::clicked, this, &KeyboardActions::cancel);
  connect(&worker_, &DeviceWorker::progress, this, &KeyboardActions::showProgress);
  connect(&worker_, &DeviceWorker::presenceChanged, this, &KeyboardActions::presenceChanged);
  showPresence(worker_.present());
}

void KeyboardActions::showPresence(bool present) {
  state_->setText(present ? tr("● Keyboard connected") : tr("○ No keyboard"));
}

void KeyboardActions::cancel() {
  worker_.cancel();
  cancel_->setEnabled(false);
  text_->setText(tr("Cancelling…"));
}

void KeyboardActions::begin(Work work) {
  text_->setText(work == Work::Reading ? tr("Looking for the keyboard…")
                                       : tr("Sending to memory slot %1…").arg(slot_));
  bar_->setRange(0, 0);  // busy until the first step is known
  cancel_->setEnabled(true);
  panel_->show();
  view_.setDeviceBusy(work == Work::Reading ? ViewController::DeviceBusy::Reading
                                            : ViewController::DeviceBusy::Sending);
}

void KeyboardActions::end() {
  panel_->hide();
  view_.setDeviceBusy(ViewController::DeviceBusy::No);
}

void KeyboardActions::showProgress(const PadAction::Progress& progress) {
  using Stage = PadAction::Progress::Stage;
  if (progress.stage == Stage::Sending && writingStarts_) {
    std::exchange(writingStarts_, nullptr)();
  }
  if (panel_->isHidden() || !cancel_->isEnabled()) return;
  switch (progress.stage) {
    case Stage::Handshake:
      text_->setText(
          tr("Waiting for the keyboard, attempt %1 of %2").arg(progress.done).arg(progress.total));
      bar_->setRange(0, 0);
      break;
    case Stage::Reading:
      text_->setText(tr("Reading from the keyboard… %1/%2").arg(progress.done).arg(progress.total));
      bar_->setRange(0, progress.total);
      bar_->setValue(progress.done);
      break;
    case Stage::Sending:
      text_->setText(
          tr("Sending to memory slot %1… %2/%3").arg(slot_).arg(progress.done).arg(progress.total));
      bar_->setRange(0, progress.total);
      bar_->setValue(progress.done);
      break;
  }
  showProgressInFront();
}

// The message window in front of the main window shows what its bottom line shows.
void KeyboardActions::showProgressInFront() {
  if (messageWindow_ && messageWindow_->running()) {
    messageWindow_->setProgress(text_->text(), bar_->value(), bar_->maximum());
  }
}

void KeyboardActions::showRead(EditSession& session, const DeviceWorker::Report& result,
                               bool atStart) {
  QStringList notes;
  const Outcome& outcome = result.outcome;
  if (outcome) {
    if (atStart) {
      session.startWith(result.preset, result.firmware);
    } else {
      session.useKeyboardPreset(result.preset, result.firmware);
    }
    if (!result.replaced.empty()) notes << replacementNotes(result.replaced, session);
  } else {
    notes << whyItFailed(result);
  }
  // A damaged settings file is told once more, with the start-up's outcome.
  if (atStart && !view_.settingsWarning.isEmpty()) notes << view_.settingsWarning;
  notes << historyNotes(result);
  // A failed or cancelled read changes nothing that is shown.
  const QString text =
      outcome ? Status::readSucceeded() +
                    (result.replaced.empty() ? QString() : replacedCount(result.replaced.size()))
      : outcome.wasCancelled() ? tr("Reading cancelled; nothing changed.")
                               : Status::connectFailed();
  view_.setStatus(text, notesWith(notes));
  if (outcome) view_.showAll();
}

void KeyboardActions::tellHistory(const QString& note) {
  if (!note.isEmpty()) historyNotes_ << note;
}

QString KeyboardActions::notesWith(QStringList notes) {
  // Why the history could not be asked before a send, the send's own note
  // often says again.
  for (const QString& note : std::exchange(historyNotes_, {})) {
    const auto saysIt = [&note](const QString& other) { return other.contains(note); };
    if (std::none_of(notes.begin(), notes.end(), saysIt)) notes << sentence(note);
  }
  notes.removeAll(QString());
  return notes.join(QStringLiteral("\n\n"));
}

void KeyboardActions::readAction() {
  if (view_.session().inBulk() || view_.deviceBusy() != ViewController::DeviceBusy::No ||
      !view_.documents().mayDropEdits(tr("Reading from the keyboard"))) {
    return;
  }
  read(view_.session());
}

void KeyboardActions::sendAction() {
  if (view_.session().inBulk() || view_.deviceBusy() != ViewController::DeviceBusy::No) return;
  send(view_.session());
  emit view_.editStateChanged();
}

void KeyboardActions::showGainsAction() {
  // Each opening starts from the default gains (a new dialog starts there).
  if (gainDialog_) {
    gainDialog_->viewDidLoad();
  } else {
    gainDialog_ = new GainController(*this, view_.session(), view_.view()->window());
  }
  gainDialog_->show();
  gainDialog_->raise();
  gainDialog_->activateWindow();
}

void KeyboardActions::readAtStart(EditSession& session) {
  startRead(session, true);
}

void KeyboardActions::read(EditSession& session) {
  startRead(session, false);
}

void KeyboardActions::startRead(EditSession& session, bool atStart) {
  view_.setStatus(Status::loading());
  begin(Work::Reading);
  worker_.read(this, [this, &session, atStart](DeviceWorker::Report result) {
    end();
    showRead(session, result, atStart);
    emit historyChanged();
  });
}

void KeyboardActions::askThenSend(std::function<Preset()> take, std::function<void(Preset)> go) {
  const DialogSeams& dialogs = view_.dialogs;
  if (!dialogs.confirmSend || !settings_.confirmsSend()) return go(take());
  if (asking_) return;
  asking_ = true;
  worker_.slotStates(
      this, [this, take = std::move(take), go = std::move(go)](DeviceWorker::HistoryAnswer answer) {
        asking_ = false;
        tellHistory(words(answer.note));
        tellHistory(words(answer.outcome));
        // The window may have started other work meanwhile.
        if (view_.deviceBusy() != ViewController::DeviceBusy::No) return;
        Preset preset = take();
        const int slot = std::clamp(preset.global->mem, 0, kSlotCount - 1);
        if (confirmSend(preset, answer.states[static_cast<std::size_t>(slot)]))
          go(std::move(preset));
      });
}

bool KeyboardActions::confirmSend(const Preset& preset, const SlotState& slot) {
  const SendPreview preview = previewSend(slot, preset, view_.session().lists());
  QStringList details;
  for (const Text& line : preview.changes) details << words(line);
  bool dontAskAgain = false;
  const bool send = view_.dialogs.confirmSend(view_.view()->window(), words(previewText(preview)),
                                              details.join(QLatin1Char('\n')), dontAskAgain);
  if (send && dontAskAgain) {
    if (Outcome stored = settings_.storeConfirmsSend(false); !stored) {
      log::diag("send: %s", stored.message());
    }
  }
  return send;
}

void KeyboardActions::send(EditSession& session) {
  askThenSend([&session] { return session.copyOfPreset(); },
              [this, &session](Preset preset) {
                startSend(std::move(preset), session.sendSource(), &session);
              });
}

void KeyboardActions::sendAgain(const HistoryEntry& entry) {
  if (view_.deviceBusy() != ViewController::DeviceBusy::No) return;
  Result<Preset> held = presetOf(entry);
  if (!held) {
    if (view_.dialogs.showProblem) {
      view_.dialogs.showProblem(view_.view()->window(), tr("The preset was not sent"),
                                sentence(held.outcome()));
    }
    return;
  }
  // Into the slot it went to, whatever its memory slot setting says.
  held->global->mem = std::clamp(entry.slot, 1, kSlotCount) - 1;
  askThenSend([preset = *held] { return padkbd::copyOf(preset); },
              [this, source = fmt::format("history entry {}", entry.id)](Preset preset) {
                startSend(std::move(preset), source, nullptr);
              });
}

void KeyboardActions::startSend(Preset preset, std::string source, EditSession* session) {
  // A new message window for each send; one still open gives its view back first.
  if (messageWindow_) {
    messageWindow_->returnView();
    messageWindow_->close();
  }
  auto* window = new MessageController(view_.messageView, view_.view()->window());
  messageWindow_ = window;
  connect(window, &MessageController::cancelRequested, this, &KeyboardActions::cancel);
  window->open();
  // The fixed texts say what happened; the detail line and the tooltip say why.
  auto report = [this, window](const QString& text, const QString& why = {}) {
    view_.setStatus(text, why);
    if (messageWindow_ != window) return;
    window->setMessage(text);
    window->setDetail(why);
  };
  // "发送中……" once the keyboard answered and writing starts; until then the
  // window says what it waits for.
  window->setDetail(tr("Looking for the keyboard…"));
  writingStarts_ = [report] { report(Status::sending()); };
  slot_ = preset.global->mem + 1;
  begin(Work::Sending);
  window->setProgress(text_->text(), 0, 0);
  // The keyboard gets a copy: what is sent cannot change while it goes out.
  Preset sent = padkbd::copyOf(preset);
  worker_.send(std::move(preset), std::move(source), this,
               [this, window, session, report, sent](DeviceWorker::Report result) {
                 writingStarts_ = nullptr;
                 end();
                 if (messageWindow_ == window) window->finished();
                 const QString history = historyNotes(result);
                 if (result.outcome) {
                   if (session) session->sentToKeyboard(sent);
                   // The fixed text first; where the settings went after it.
                   report(Status::sendSucceeded() + tr(" Written to memory slot %1.").arg(slot_),
                          notesWith({history}));
                 } else {
                   if (result.written > 0 && session) session->sendInterrupted();
                   // The fixed text first; how much reached the slot after it.
                   QString text = result.outcome.wasCancelled() ? tr("Sending cancelled.")
                                                                : Status::connectFailed();
                   if (result.written > 0) {
                     text += tr(" %1 of %2 settings reached memory slot %3, which now "
                                "holds a mix of old and new settings.")
                                 .arg(result.written)
                                 .arg(PadAction::kFullExchange)
                                 .arg(slot_);
                   }
                   report(text, notesWith({whyItFailed(result), history}));
                 }
                 emit view_.editStateChanged();
                 emit historyChanged();
               });
}

void KeyboardActions::sendGains(
    const std::vector<std::int32_t>& gains,
    std::function<void(bool sent, const QString& text, const QString& why)> done) {
  begin(Work::Sending);
  text_->setText(tr("Sending the gains…"));
  worker_.sendGains(gains, this, [this, done = std::move(done)](DeviceWorker::Report result) {
    end();
    const bool sent = result.outcome.ok();
    const QString text = sent                            ? Status::sendSucceeded()
                         : result.outcome.wasCancelled() ? tr("Sending cancelled.")
                                                         : Status::connectFailed();
    done(sent, text, whyItFailed(result));
  });
}

void KeyboardActions::presenceChanged(bool present) {
  showPresence(present);
  if (!present || busy() || !view_.hasSession()) return;
  EditSession& session = view_.session();
  if (session.inBulk()) return;
  // A keyboard plugged in is read at once when that drops nothing of the
  // user's; over edits or a loaded document it asks first.
  const bool nothingToLose = !session.modified() && session.origin().kind != Origin::Kind::Document;
  if (nothingToLose ||
      (view_.dialogs.askReadArrived && view_.dialogs.askReadArrived(view_.view()->window()))) {
    read(session);
  }
}

}  // namespace padkbd::editor

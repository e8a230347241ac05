// The Set view's Send Set: the plan checked and confirmed, the slots written
// one after another with one progress and one Cancel, and what came of it.
#include <QDockWidget>
#include <QPushButton>
#include <algorithm>

#include "editor/KeyboardActions.h"
#include "editor/KeyboardAdvice.h"
#include "editor/LibraryPane.h"
#include "editor/MessageController.h"
#include "editor/SetView.h"
#include "editor/ViewController.h"
#include "editor/Words.h"
#include "session/EditSession.h"

namespace padkbd::editor {

void SetView::sendAction() {
  if (set_.filled.empty()) {
    setStatus(tr("The set is empty: drop presets from the library onto its rows."));
    return;
  }
  if (sending_ || view_.deviceBusy() != ViewController::DeviceBusy::No) {
    setStatus(tr("The keyboard is busy; send the set when it is done."));
    return;
  }
  sending_ = true;  // until asked, or sent
  send_->setEnabled(false);
  worker_.slotStates(this, [this](DeviceWorker::HistoryAnswer answer) {
    sending_ = false;
    if (answer.note) setStatus(sentence(*answer.note));
    confirmAndSend(answer.states);
    send_->setEnabled(!sending_);
  });
}

void SetView::confirmAndSend(const SlotStates& states) {
  const DialogSeams& dialogs = view_.dialogs;
  QWidget* window = dock_->window();
  Result<std::vector<SetSlotPlan>> plan =
      planSet(library_.library(), set_, states, view_.session().lists());
  if (!plan) {
    setStatus(sentence(plan.outcome()));
    return;
  }
  // A preset changed or gone since the set named it stops everything, before anything is sent.
  if (!planReady(*plan)) {
    QStringList why;
    for (const SetSlotPlan& slot : *plan) {
      if (slot.problem)
        why << tr("Memory %1: %2").arg(slot.named.slot).arg(sentence(*slot.problem));
    }
    if (dialogs.showProblem) {
      dialogs.showProblem(window, tr("The set was not sent"),
                          tr("Nothing was sent: the set names presets that changed or are gone "
                             "since it was made.\n\n%1")
                              .arg(why.join(QLatin1Char('\n'))));
    }
    setStatus(tr("Nothing was sent."));
    return;
  }
  std::vector<int> skip;
  QStringList written;
  for (const SetSlotPlan& slot : *plan) {
    if (slot.written) {
      skip.push_back(slot.named.slot);
      written << tr("Memory %1").arg(slot.named.slot);
    }
  }
  if (!skip.empty() && skip.size() < plan->size() && dialogs.askSkipWritten) {
    const std::optional<bool> skipThem = dialogs.askSkipWritten(
        window, tr("%1 already hold their presets of this set, written whole. Skip them?")
                    .arg(written.join(QStringLiteral(", "))));
    if (!skipThem) return;
    if (!*skipThem) skip.clear();
  } else {
    skip.clear();
  }
  QStringList details;
  int count = 0;
  for (const SetSlotPlan& slot : *plan) {
    if (std::find(skip.begin(), skip.end(), slot.named.slot) != skip.end()) continue;
    ++count;
    details << words(previewText(slot.preview));
    for (const Text& change : slot.preview.changes)
      details << QStringLiteral("    ") + words(change);
  }
  bool dontAskAgain = false;
  if (dialogs.confirmSend &&
      !dialogs.confirmSend(window, tr("Send %1 to %n memory slots?", nullptr, count).arg(setName()),
                           details.join(QLatin1Char('\n')), dontAskAgain)) {
    return;
  }
  sending_ = true;
  view_.setDeviceBusy(ViewController::DeviceBusy::Sending);
  if (message_) message_->close();
  message_ = new MessageController(view_.messageView, window);
  connect(message_, &MessageController::cancelRequested, &worker_, &DeviceWorker::cancel);
  message_->open();
  message_->setMessage(tr("Sending the set…"));
  message_->setProgress(tr("Looking for the keyboard…"), 0, 0);
  worker_.sendSet(std::move(*plan), skip, file_ ? file_->filename().string() : std::string(), this,
                  [this, skip](DeviceWorker::Report report) { sent(report, skip); });
}

void SetView::showSetProgress(const SetProgress& progress) {
  if (!message_ || !message_->running() || progress.total <= 0) return;
  message_->setProgress(words(progressText(progress)),
                        (progress.index - 1) * progress.total + progress.done,
                        progress.count * progress.total);
}

void SetView::sent(const DeviceWorker::Report& report, const std::vector<int>& skipped) {
  sending_ = false;
  view_.setDeviceBusy(ViewController::DeviceBusy::No);
  const SetSendResult& result = report.set;
  const auto named = [this](const std::vector<int>& numbers) {
    QStringList names;
    for (const int n : numbers) names << tr("Memory %1").arg(n);
    return names.join(QStringLiteral(", "));
  };
  QString text;
  if (report.outcome) {
    text = tr("The set was sent: %1.").arg(named(result.written));
  } else {
    text = report.outcome.wasCancelled() ? tr("Sending the set was cancelled.")
                                         : tr("Sending the set failed.");
    if (result.stoppedAt) {
      text += tr(" Memory %1 got %2 of %3 settings and holds a mix of old and new.")
                  .arg(*result.stoppedAt)
                  .arg(result.stoppedWritten)
                  .arg(PadAction::kFullExchange);
    }
    if (!result.written.empty()) {
      text += tr(" Written whole: %1; sending the set again offers to skip them.")
                  .arg(named(result.written));
    }
  }
  if (!skipped.empty()) text += tr(" Skipped: %1.").arg(named(skipped));
  QStringList why{report.outcome ? QString() : whyItFailed(report), historyNotes(report)};
  why.removeAll(QString());
  if (message_) {
    message_->finished();
    message_->setMessage(text);
    message_->setDetail(why.join(QLatin1Char('\n')));
  }
  setStatus(text);
  view_.setStatus(text, why.join(QLatin1Char('\n')));
  if (result.stoppedAt || !result.written.empty()) view_.session().sendInterrupted();
  emit view_.keyboard().historyChanged();
}

}  // namespace padkbd::editor

#include "editor/PlayController.h"

#include <QAction>
#include <QDateTime>
#include <QDockWidget>
#include <QFile>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <set>

#include "editor/ListLabels.h"
#include "editor/ViewController.h"
#include "editor/Words.h"
#include "model/Playing.h"
#include "storage/Files.h"

namespace padkbd::editor {

namespace {

// What a lit control shows of the message: a relative step, else the
// velocity or value.
QString valueText(const Heard& heard) {
  if (heard.step) return QString::asprintf("%+d", *heard.step);
  return QString::number(heard.message.data2);
}

// A press and its release share this: the kind (note or controller), the
// channel and the number.
int keyOf(const usbmidi::ChannelMessage& message) {
  const int kind = message.type() == 0x80 ? 0x90 : message.type();
  return (kind | message.channel()) << 8 | message.data1;
}

QString lineOf(const DeviceWorker::Played& played) {
  return QDateTime::fromMSecsSinceEpoch(played.at).toString(QStringLiteral("HH:mm:ss.zzz")) +
         QStringLiteral("  ") + played.text;
}

QPushButton* button(QWidget* parent, const QString& text, const char* name, bool checkable) {
  auto* made = new QPushButton(text, parent);
  made->setObjectName(QString::fromLatin1(name));
  made->setCheckable(checkable);
  made->setAutoDefault(false);
  return made;
}

}  // namespace

PlayController::PlayController(QMainWindow* window, ViewController& view, DeviceWorker& worker,
                               QAction* monitorAction, QAction* chooseAction)
    : QObject(window),
      view_(view),
      worker_(worker),
      monitorAction_(monitorAction),
      chooseAction_(chooseAction) {
  clock_.start();
  flashTimer_.setSingleShot(true);
  connect(&flashTimer_, &QTimer::timeout, this, &PlayController::unlightExpired);
  buildDock(window);
  connect(monitorAction_, &QAction::toggled, this, [this](bool on) {
    dock_->setVisible(on);
    // Over raw USB listening takes the keyboard from the system: only Listen starts it.
    if (on && worker_.takesKeyboard()) return showNote();
    if (on || !chooseAction_->isChecked()) listen_->setChecked(on);
  });
  // Closing the pane by its own button unchecks the menu's action.
  connect(dock_, &QDockWidget::visibilityChanged, this,
          [this] { monitorAction_->setChecked(!dock_->isHidden()); });
  connect(chooseAction_, &QAction::toggled, this, &PlayController::chooseToggled);
  connect(&view_, &ViewController::editStateChanged, this, [this] {
    if (listening()) handPreset();
    showLit();  // the bank may have changed what the white selectors stand for
  });
  view_.escape = [this] {
    if (!chooseAction_->isChecked()) return false;
    chooseAction_->setChecked(false);
    return true;
  };
  for (QAbstractButton* element : view_.taggedElements()) element->installEventFilter(this);
  if (worker_.canStrike()) {
    if (auto* surface = window->findChild<QWidget*>(QStringLiteral("surface"))) {
      surface->setToolTip(
          tr("Click a pad, knob or button to edit it; with Ctrl held the mouse plays it on "
             "the simulated keyboard, and the wheel turns a knob"));
    }
  }
}

bool PlayController::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if ((type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
       type != QEvent::MouseButtonRelease && type != QEvent::Wheel) ||
      !worker_.canStrike() || !view_.hasSession()) {
    return false;
  }
  using Touch = DeviceWorker::Touch;
  const std::int32_t index = controlOf(view_.session(), watched);
  const bool knob = playing::kindOf(index) == playing::Kind::Knob;
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() != Qt::LeftButton || !(mouse->modifiers() & Qt::ControlModifier)) {
        return false;
      }
      // A knob pressed turns ten steps; the rest sound until let go.
      if (knob) {
        play(index, Touch::Turn, 10);
        return true;
      }
      heldDown_ = watched;
      heldDownIndex_ = index;
      play(index, Touch::Press);
      return true;
    }
    case QEvent::MouseButtonRelease:
      if (heldDown_ != watched) {
        // The release of a knob's Ctrl press is no click either.
        return knob && (static_cast<QMouseEvent*>(event)->modifiers() & Qt::ControlModifier);
      }
      heldDown_ = nullptr;
      play(heldDownIndex_, Touch::Release);
      return true;
    case QEvent::Wheel: {
      const auto* wheel = static_cast<QWheelEvent*>(event);
      if (!knob || !(wheel->modifiers() & Qt::ControlModifier)) return false;
      const int delta = wheel->angleDelta().y();
      // A notch a step; a fine wheel's smaller turns a step each too.
      const int steps = delta / 120 != 0 ? delta / 120 : (delta > 0) - (delta < 0);
      if (steps != 0) play(index, Touch::Turn, steps);
      return true;
    }
    default:
      return false;
  }
}

void PlayController::play(std::int32_t index, DeviceWorker::Touch touch, int amount) {
  listen_->setChecked(true);  // the simulated keyboard takes nothing from anyone
  worker_.strike(index, touch, amount);
}

void PlayController::buildDock(QMainWindow* window) {
  dock_ = new QDockWidget(tr("Monitor"), window);
  dock_->setObjectName(QStringLiteral("monitorDock"));
  dock_->setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea);
  auto* pane = new QWidget(dock_);
  auto* layout = new QVBoxLayout(pane);
  layout->setContentsMargins(10, 4, 10, 8);
  auto* row = new QHBoxLayout();
  listen_ = button(pane, tr("Listen"), "monitorListen", true);
  listen_->setToolTip(tr("Hear what the keyboard sends while it is played"));
  pause_ = button(pane, tr("Pause"), "monitorPause", true);
  pause_->setToolTip(tr("Hold the list still; what comes meanwhile is added on resuming"));
  auto* clear = button(pane, tr("Clear"), "monitorClear", false);
  auto* save = button(pane, tr("Save…"), "monitorSave", false);
  note_ = new QLabel(pane);
  note_->setObjectName(QStringLiteral("monitorNote"));
  note_->setForegroundRole(QPalette::PlaceholderText);
  for (QWidget* part : std::initializer_list<QWidget*>{listen_, pause_, clear, save}) {
    row->addWidget(part);
  }
  row->addSpacing(8);
  row->addWidget(note_, 1);
  layout->addLayout(row);
  list_ = new QListWidget(pane);
  list_->setObjectName(QStringLiteral("monitorList"));
  list_->setUniformItemSizes(true);
  list_->setAlternatingRowColors(true);
  list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  layout->addWidget(list_);
  dock_->setWidget(pane);
  window->addDockWidget(Qt::BottomDockWidgetArea, dock_);
  dock_->hide();
  connect(listen_, &QPushButton::toggled, this, &PlayController::listenToggled);
  connect(pause_, &QPushButton::toggled, this, [this](bool paused) {
    if (paused) return;
    list(held_);
    held_.clear();
  });
  connect(clear, &QPushButton::clicked, this, [this] {
    list_->clear();
    held_.clear();
  });
  connect(save, &QPushButton::clicked, this, &PlayController::saveAction);
  listenToggled(false);
}

bool PlayController::listening() const {
  return listen_->isChecked();
}

QStringList PlayController::lines() const {
  QStringList all;
  for (int n = 0; n < list_->count(); ++n) all << list_->item(n)->text();
  return all;
}

void PlayController::listenToggled(bool on) {
  if (on) {
    handPreset();
    worker_.setListening(
        true, this, [this](std::vector<DeviceWorker::Played> batch) { heard(std::move(batch)); },
        [this](const QString& why) {
          listen_->setChecked(false);
          view_.setStatus(why);
        });
  } else {
    worker_.setListening(false, this, {}, {});
    chooseAction_->setChecked(false);
    down_.clear();
    flash_.clear();
    showLit();
  }
  showNote();
}

void PlayController::showNote() {
  const bool takes = worker_.takesKeyboard();
  note_->setText(
      !listening()
          ? (takes ? tr("Listening takes the keyboard from other programs: press Listen to start.")
                   : tr("Not listening."))
      : takes ? tr("Listening takes the keyboard from other programs until you stop.")
              : tr("Listening: play the keyboard."));
}

void PlayController::chooseToggled(bool armed) {
  if (armed) {
    listen_->setChecked(true);
    view_.setStatus(view_.session().inBulk()
                        ? tr("Play pads on the keyboard to choose them; Esc stops.")
                        : tr("Play a control on the keyboard to choose it; Esc stops."));
  } else if (dock_->isHidden()) {
    listen_->setChecked(false);
  }
}

void PlayController::heard(std::vector<DeviceWorker::Played> batch) {
  for (const DeviceWorker::Played& played : batch) {
    light(played.heard);
    if (chooseAction_->isChecked()) choose(played);
  }
  showLit();
  if (!pause_->isChecked()) {
    list(batch);
    return;
  }
  held_.insert(held_.end(), batch.begin(), batch.end());
  if (held_.size() > kMonitorLines) held_.erase(held_.begin(), held_.end() - kMonitorLines);
}

void PlayController::list(const std::vector<DeviceWorker::Played>& played) {
  const QColor grey = list_->palette().color(QPalette::PlaceholderText);
  // Of a flood, only the lines that stay.
  const std::size_t skip = played.size() > kMonitorLines ? played.size() - kMonitorLines : 0;
  for (std::size_t n = skip; n < played.size(); ++n) {
    auto* item = new QListWidgetItem(lineOf(played[n]), list_);
    if (played[n].heard.controls.empty()) item->setForeground(grey);
  }
  for (int extra = list_->count() - kMonitorLines; extra > 0; --extra) delete list_->takeItem(0);
  list_->scrollToBottom();
}

void PlayController::choose(const DeviceWorker::Played& played) {
  const Heard& heard = played.heard;
  // A read replaces the preset: nothing is chosen in it meanwhile.
  if (heard.touch == Touch::Release || view_.deviceBusy() == ViewController::DeviceBusy::Reading) {
    return;
  }
  if (heard.controls.empty()) {
    view_.setStatus(tr("Not chosen: %1").arg(played.text));
    return;
  }
  const std::int32_t index = heard.controls.front();
  // Pressure and the parts of a pad's messages are not a strike; a knob only moves.
  if (heard.touch == Touch::Move && playing::kindOf(index) != playing::Kind::Knob) return;
  const EditSession& session = view_.session();
  const QString name = listLabel(session.controlName(index));
  if (session.inBulk()) {
    if (!isPadControl(index)) {
      view_.setStatus(tr("%1 is not a pad: bulk mode chooses pads only.").arg(name));
      return;
    }
    view_.chooseControl(index);
    view_.setStatus(session.inBulkSelection(index) ? tr("%1 chosen.").arg(name)
                                                   : tr("%1 no longer chosen.").arg(name));
    return;
  }
  view_.chooseControl(index);
  QStringList others;
  for (std::size_t n = 1; n < heard.controls.size(); ++n) {
    others << listLabel(session.controlName(heard.controls[n]));
  }
  view_.setStatus(
      others.isEmpty()
          ? tr("%1 chosen by playing it.").arg(name)
          : tr("%1 chosen by playing it; %2 send the same.").arg(name, others.join(", ")));
  chooseAction_->setChecked(false);
}

void PlayController::light(const Heard& heard) {
  if (heard.touch == Touch::Release) {
    down_.erase(keyOf(heard.message));  // a strike still shows for its moment
    return;
  }
  if (heard.touch == Touch::Press) down_[keyOf(heard.message)] = heard.controls;
  const qint64 until = clock_.elapsed() + kFlashMs;
  for (const std::int32_t index : heard.controls) {
    flash_[index] = until;
    value_[index] = valueText(heard);
  }
  if (!flash_.empty() && !flashTimer_.isActive()) flashTimer_.start(kFlashMs);
}

void PlayController::unlightExpired() {
  const qint64 now = clock_.elapsed();
  qint64 next = -1;
  for (auto at = flash_.begin(); at != flash_.end();) {
    if (at->second <= now) {
      at = flash_.erase(at);
      continue;
    }
    next = next < 0 ? at->second : std::min(next, at->second);
    ++at;
  }
  if (next >= 0) flashTimer_.start(static_cast<int>(next - now));
  showLit();
}

void PlayController::showLit() {
  if (!view_.hasSession()) return;
  const EditSession& session = view_.session();
  std::set<std::int32_t> down;
  for (const auto& [key, controls] : down_) down.insert(controls.begin(), controls.end());
  for (QAbstractButton* element : view_.taggedElements()) {
    const std::int32_t index = controlOf(session, element);
    const bool lit = down.count(index) > 0 || flash_.count(index) > 0;
    const auto value = value_.find(index);
    setLit(element, lit, lit && value != value_.end() ? value->second : QString());
  }
}

void PlayController::handPreset() {
  if (!view_.hasSession()) return;
  const EditSession& session = view_.session();
  std::vector<std::string> names;
  for (std::int32_t index = 0; index < kControlCount; ++index) {
    names.push_back(listLabel(session.controlName(index)).toStdString());
  }
  worker_.setPlayPreset(session.copyOfPreset(), std::move(names));
}

void PlayController::saveAction() {
  DialogSeams& dialogs = view_.dialogs;
  QWidget* window = dock_->window();
  const QString path = dialogs.saveTextPath ? dialogs.saveTextPath(window) : QString();
  if (path.isEmpty()) return;
  const QStringList all = lines();
  const QByteArray text =
      all.isEmpty() ? QByteArray() : (all.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
  const Outcome written = writeFileAtomically(QFile::encodeName(path).toStdString(),
                                              std::string_view(text.constData(), text.size()));
  if (!written) {
    if (dialogs.showProblem) {
      dialogs.showProblem(window, tr("The monitor's lines were not saved"), words(written));
    }
    return;
  }
  view_.setStatus(tr("%n line(s) saved in %1.", nullptr, static_cast<int>(all.size())).arg(path));
}

}  // namespace padkbd::editor

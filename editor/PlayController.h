// Playing the keyboard with the window open: the device worker listens, the
// surface lights each control as it is played, the Monitor pane lists every
// message, and "Choose by playing" makes the next control struck current.
//
// Listening is on while the Listen button is: opening the pane or arming
// "Choose by playing" turns it on, closing the pane (unarmed) or disarming
// (the pane closed) turns it off. Through raw USB that takes the keyboard
// from other programs meanwhile, which the pane says.
//
// The simulated keyboard is played on the surface with Ctrl held: a control
// pressed with the mouse is held until the button is let go; the wheel turns
// a knob.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <map>
#include <vector>

#include "editor/DeviceWorker.h"

class QAbstractButton;
class QAction;
class QDockWidget;
class QLabel;
class QListWidget;
class QMainWindow;
class QPushButton;

namespace padkbd::editor {

class ViewController;

class PlayController : public QObject {
  Q_OBJECT

 public:
  // The monitor keeps this many lines, dropping the oldest.
  static constexpr int kMonitorLines = 2000;
  // How long a control that moved (a knob, pressure) or was struck stays lit.
  static constexpr int kFlashMs = 250;

  PlayController(QMainWindow* window, ViewController& view, DeviceWorker& worker,
                 QAction* monitorAction, QAction* chooseAction);

  QDockWidget* dock() const { return dock_; }
  bool listening() const;
  // The monitor's lines, oldest first.
  QStringList lines() const;

 public slots:
  void saveAction();

 protected:
  // The surface's elements played with Ctrl held.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void play(std::int32_t index, DeviceWorker::Touch touch, int amount = 0);
  void buildDock(QMainWindow* window);
  void listenToggled(bool on);
  // What listening does now, under the buttons.
  void showNote();
  void chooseToggled(bool armed);
  void heard(std::vector<DeviceWorker::Played> batch);
  void list(const std::vector<DeviceWorker::Played>& played);
  void choose(const DeviceWorker::Played& played);
  void light(const Heard& heard);
  void unlightExpired();
  void showLit();
  void handPreset();

  ViewController& view_;
  DeviceWorker& worker_;
  QAction* monitorAction_;
  QAction* chooseAction_;
  QDockWidget* dock_ = nullptr;
  QListWidget* list_ = nullptr;
  QPushButton* listen_ = nullptr;
  QPushButton* pause_ = nullptr;
  QLabel* note_ = nullptr;
  std::vector<DeviceWorker::Played> held_;  // heard while paused
  // Lit controls: held down (by the note or controller that pressed them, so
  // its release lets go of them whatever the preset says now), and lit for
  // a moment (until, on clock_).
  std::map<int, std::vector<std::int32_t>> down_;
  std::map<std::int32_t, qint64> flash_;
  std::map<std::int32_t, QString> value_;
  QElapsedTimer clock_;
  QPointer<QObject> heldDown_;  // the element held down with Ctrl, and its control then
  std::int32_t heldDownIndex_ = -1;
  QTimer flashTimer_;
};

}  // namespace padkbd::editor

// The gain dialog: eight sliders (tags 1 to 8) with their "%d/127" labels,
// and OK, Apply and Default. Apply sends the eight gains to the keyboard;
// while they go out, Cancel (and Esc) stops them. The outcome line tells the
// last Apply until the sliders no longer show what it sent.
#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <vector>

class QLabel;
class QPushButton;
class QSlider;

namespace padkbd {
class EditSession;
}

namespace padkbd::editor {

class KeyboardActions;

class GainController : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kGainCount = 8;

  // The gains live in `session`; Apply sends them through `keyboard`.
  GainController(KeyboardActions& keyboard, EditSession& session, QWidget* parent = nullptr);

  void viewDidLoad();
  void setDefault();
  void showValueWithTag(int tag, int value);
  // What the last Apply reported.
  QString status() const;

  int defaultNumber = 64;
  std::array<QSlider*, kGainCount> sliders{};
  std::array<QLabel*, kGainCount> labels{};

 public slots:
  void doOKAction();
  void doApplyAction();
  void doDefaultAction();
  void changeAction(QObject* slider);
  // Esc: stops a send under way, else closes.
  void reject() override;

 private:
  // Sends the gains on the device worker; `close` closes the dialog if they
  // went out (a failed send keeps it open, so its outcome is seen).
  void apply(bool close);

  KeyboardActions& keyboard_;
  EditSession& session_;
  QLabel* status_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

}  // namespace padkbd::editor

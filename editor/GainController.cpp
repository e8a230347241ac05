#include "editor/GainController.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "editor/KeyboardActions.h"
#include "editor/StatusTexts.h"
#include "model/Log.h"
#include "session/EditSession.h"

namespace padkbd::editor {

GainController::GainController(KeyboardActions& keyboard, EditSession& session, QWidget* parent)
    : QDialog(parent), keyboard_(keyboard), session_(session) {
  setObjectName(QStringLiteral("gainDialog"));
  setWindowTitle(tr("Gains"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(18, 16, 18, 14);
  layout->setSpacing(12);
  auto* title = new QLabel(tr("Gain of each of the eight inputs (0 to 127)"), this);
  title->setStyleSheet(QStringLiteral("font-weight: 600;"));
  layout->addWidget(title);

  auto* grid = new QGridLayout();
  grid->setHorizontalSpacing(18);
  grid->setVerticalSpacing(6);
  for (int n = 0; n < kGainCount; ++n) {
    const int tag = n + 1;
    auto* slider = new QSlider(Qt::Vertical, this);
    slider->setObjectName(QStringLiteral("slider%1").arg(tag));
    slider->setProperty("tag", tag);
    slider->setRange(0, ButtonAction::kGainMaximum);
    slider->setMinimumHeight(170);
    slider->setTickPosition(QSlider::TicksBothSides);
    slider->setTickInterval(16);
    connect(slider, &QSlider::valueChanged, this, [this, slider] { changeAction(slider); });
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("label%1").arg(tag));
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(56);
    auto* name = new QLabel(tr("Gain %1").arg(tag), this);
    name->setAlignment(Qt::AlignCenter);
    grid->addWidget(name, 0, n, Qt::AlignHCenter);
    grid->addWidget(slider, 1, n, Qt::AlignHCenter);
    grid->addWidget(label, 2, n, Qt::AlignHCenter);
    sliders[static_cast<std::size_t>(n)] = slider;
    labels[static_cast<std::size_t>(n)] = label;
  }
  layout->addLayout(grid);

  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("gainStatus"));
  status_->setMinimumHeight(22);
  layout->addWidget(status_);

  auto* buttons = new QHBoxLayout();
  auto* defaultButton = new QPushButton(tr("Default"), this);
  defaultButton->setObjectName(QStringLiteral("gainDefaultButton"));
  auto* applyButton = new QPushButton(tr("Apply"), this);
  applyButton->setObjectName(QStringLiteral("gainApplyButton"));
  auto* okButton = new QPushButton(tr("OK"), this);
  okButton->setObjectName(QStringLiteral("gainOKButton"));
  cancel_ = new QPushButton(tr("Cancel"), this);
  cancel_->setObjectName(QStringLiteral("gainCancelButton"));
  cancel_->hide();
  for (QPushButton* b : {defaultButton, applyButton, okButton, cancel_}) b->setAutoDefault(false);
  okButton->setDefault(true);
  buttons->addWidget(defaultButton);
  buttons->addStretch(1);
  buttons->addWidget(cancel_);
  buttons->addWidget(applyButton);
  buttons->addWidget(okButton);
  layout->addLayout(buttons);
  connect(defaultButton, &QPushButton::clicked, this, &GainController::doDefaultAction);
  connect(applyButton, &QPushButton::clicked, this, &GainController::doApplyAction);
  connect(okButton, &QPushButton::clicked, this, &GainController::doOKAction);
  connect(cancel_, &QPushButton::clicked, this, &GainController::reject);

  viewDidLoad();
}

void GainController::viewDidLoad() {
  defaultNumber = EditSession::kDefaultGain;
  setDefault();
}

void GainController::setDefault() {
  // The sliders no longer show what the last Apply sent.
  status_->clear();
  status_->setToolTip(QString());
  session_.resetGains();
  log::diag("gainArray count %lu", static_cast<unsigned long>(session_.gains().size()));
  for (QSlider* slider : sliders) {
    const QSignalBlocker quiet(slider);
    slider->setValue(defaultNumber);
  }
  for (int tag = 1; tag <= kGainCount; ++tag) showValueWithTag(tag, defaultNumber);
  log::diag("setDefault");
}

void GainController::showValueWithTag(int tag, int value) {
  if (tag < 1 || tag > kGainCount) return;
  labels[static_cast<std::size_t>(tag - 1)]->setText(QString::asprintf("%d/127", value));
}

void GainController::changeAction(QObject* slider) {
  auto* s = qobject_cast<QSlider*>(slider);
  if (s == nullptr) return;
  bool ok = false;
  const int tag = s->property("tag").toInt(&ok);
  if (!ok || tag < 1 || tag > kGainCount) return;
  session_.setGain(tag - 1, s->value());
  showValueWithTag(tag, s->value());
  status_->clear();
  status_->setToolTip(QString());
}

QString GainController::status() const {
  return status_->text();
}

void GainController::apply(bool close) {
  // One exchange at a time: the keyboard is busy until this one ends.
  if (keyboard_.busy()) return;
  // What is sent stays on the sliders until the outcome is told.
  QList<QWidget*> buttons;
  for (QWidget* button : findChildren<QPushButton*>()) buttons << button;
  for (QWidget* slider : sliders) buttons << slider;
  buttons.removeOne(cancel_);
  for (QWidget* button : buttons) button->setEnabled(false);
  cancel_->setEnabled(true);
  cancel_->show();
  status_->setText(Status::sending());
  status_->setToolTip(QString());
  QPointer<GainController> self(this);
  keyboard_.sendGains(session_.gains(),
                      [self, buttons, close](bool sent, const QString& text, const QString& why) {
                        if (!self) return;
                        self->cancel_->hide();
                        for (QWidget* button : buttons) button->setEnabled(true);
                        if (!sent) log::diag("gains: %s", why.toStdString());
                        self->status_->setText(text);
                        self->status_->setToolTip(why);
                        if (sent && close) self->accept();
                      });
}

void GainController::doOKAction() {
  log::diag("OK");
  apply(true);
}

void GainController::doApplyAction() {
  log::diag("Apply");
  apply(false);
}

void GainController::doDefaultAction() {
  log::diag("Default");
  setDefault();
}

void GainController::reject() {
  if (cancel_->isHidden()) return QDialog::reject();
  cancel_->setEnabled(false);
  keyboard_.cancel();
}

}  // namespace padkbd::editor

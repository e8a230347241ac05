#include "editor/MessageController.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace padkbd::editor {

MessageController::MessageController(QWidget* messageView, QWidget* parent)
    : QDialog(parent),
      view_(messageView),
      home_(messageView ? messageView->parentWidget() : nullptr) {
  setObjectName(QStringLiteral("messageWindow"));
  setWindowTitle(QStringLiteral("padkbd"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowModality(Qt::ApplicationModal);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(12, 12, 12, 12);
  if (view_) {
    layout->addWidget(view_);
    view_->show();
    messageField = view_->findChild<QLabel*>(QStringLiteral("messageField"));
  }
  if (messageField) messageField->clear();
  detail_ = new QLabel(this);
  detail_->setObjectName(QStringLiteral("messageDetail"));
  detail_->setAlignment(Qt::AlignCenter);
  detail_->setWordWrap(true);
  detail_->setForegroundRole(QPalette::PlaceholderText);
  detail_->hide();
  layout->addWidget(detail_);
  progressText_ = new QLabel(this);
  progressText_->setObjectName(QStringLiteral("messageProgressText"));
  progressText_->setAlignment(Qt::AlignCenter);
  progressBar_ = new QProgressBar(this);
  progressBar_->setObjectName(QStringLiteral("messageProgressBar"));
  progressBar_->setTextVisible(false);
  layout->addWidget(progressText_);
  layout->addWidget(progressBar_);
  auto* buttons = new QDialogButtonBox(this);
  cancel_ = buttons->addButton(QDialogButtonBox::Cancel);
  cancel_->setObjectName(QStringLiteral("messageCancelButton"));
  close_ = buttons->addButton(QDialogButtonBox::Close);
  close_->setObjectName(QStringLiteral("messageCloseButton"));
  for (QPushButton* button : {cancel_, close_}) button->setAutoDefault(false);
  connect(buttons, &QDialogButtonBox::rejected, this, &MessageController::reject);
  layout->addWidget(buttons);
  finished();
}

void MessageController::setProgress(const QString& text, int done, int total) {
  progressText_->setText(text);
  progressBar_->setRange(0, total);
  progressBar_->setValue(done);
  progressText_->show();
  progressBar_->show();
  close_->hide();
  cancel_->show();
}

void MessageController::finished() {
  progressText_->hide();
  progressBar_->hide();
  cancel_->hide();
  cancel_->setEnabled(true);
  close_->show();
}

bool MessageController::running() const {
  return !cancel_->isHidden();
}

// Esc and Cancel stop the send while it runs; the window stays to tell how
// it ended.
void MessageController::reject() {
  if (!running()) return QDialog::reject();
  if (!cancel_->isEnabled()) return;
  cancel_->setEnabled(false);
  progressText_->setText(tr("Cancelling…"));
  emit cancelRequested();
}

MessageController::~MessageController() {
  returnView();
}

void MessageController::setMessage(const QString& text) {
  if (messageField) messageField->setText(text);
}

QString MessageController::text() const {
  return messageField ? messageField->text() : QString();
}

void MessageController::setDetail(const QString& detail) {
  detail_->setText(detail);
  detail_->setVisible(!detail.isEmpty());
}

QString MessageController::detail() const {
  return detail_->text();
}

void MessageController::returnView() {
  if (!view_ || !home_) return;
  view_->hide();
  view_->setParent(home_);
  view_ = nullptr;
}

}  // namespace padkbd::editor

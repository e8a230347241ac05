#include "editor/MessageController.h"

#include <QDialogButtonBox>
#include <QLabel>
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
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  buttons->button(QDialogButtonBox::Close)->setAutoDefault(false);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
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

// The small modal window a send reports in. It borrows the layout's
// "messageView" while it is open and gives it back when it closes.
#pragma once

#include <QDialog>
#include <QPointer>

class QLabel;

namespace padkbd::editor {

class MessageController : public QDialog {
  Q_OBJECT

 public:
  MessageController(QWidget* messageView, QWidget* parent);
  ~MessageController() override;

  // Shows the text at once; the window keeps no other copy of it.
  void setMessage(const QString& text);
  QString text() const;
  // A smaller line under the text: why it failed, for example.
  void setDetail(const QString& detail);
  QString detail() const;
  // Puts messageView back where the layout had it.
  void returnView();

  QPointer<QLabel> messageField;

 private:
  QLabel* detail_ = nullptr;
  QPointer<QWidget> view_;
  QPointer<QWidget> home_;
};

}  // namespace padkbd::editor

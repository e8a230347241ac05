// The small modal window a send reports in. It borrows the layout's
// "messageView" while it is open and gives it back when it closes. While the
// send runs it shows how far it has come and offers Cancel, which Esc
// presses too; once it has ended, Close.
#pragma once

#include <QDialog>
#include <QPointer>

class QLabel;
class QProgressBar;
class QPushButton;

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
  // The work under way: `text` and `done` of `total` steps (0 of 0: not
  // known yet); Cancel is offered until finished() or a cancel.
  void setProgress(const QString& text, int done, int total);
  void finished();
  bool running() const;

 signals:
  void cancelRequested();

 public:
  void reject() override;

  QPointer<QLabel> messageField;

 private:
  QLabel* detail_ = nullptr;
  QLabel* progressText_ = nullptr;
  QProgressBar* progressBar_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPushButton* close_ = nullptr;
  QPointer<QWidget> view_;
  QPointer<QWidget> home_;
};

}  // namespace padkbd::editor

// The editor window: loads the layout "Main", builds the controller surface,
// and hands the view to its ViewController. Closing the window quits.
#pragma once

#include <QMainWindow>
#include <memory>

namespace Ui {
class MainWindow;
}

namespace padkbd {
class PadAction;
}

namespace padkbd::editor {

class ViewController;

class MainWindowController : public QMainWindow {
  Q_OBJECT

 public:
  // Loads the view, which reads the controller once (or the default preset).
  explicit MainWindowController(PadAction& padAction, QWidget* parent = nullptr);
  ~MainWindowController() override;

  ViewController& viewController() const { return *viewController_; }

 public slots:
  void closeApplication();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void windowDidLoad();

  std::unique_ptr<Ui::MainWindow> ui_;
  ViewController* viewController_ = nullptr;
};

}  // namespace padkbd::editor

// An editor window over the simulated controller, with its working copy and
// settings file in a temporary folder: the whole program as main.cpp composes
// it, minus USB.
#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "editor/MainWindowController.h"
#include "editor/ViewController.h"
#include "protocol/PadAction.h"
#include "sim/SimulatedController.h"
#include "storage/FileAction.h"
#include "storage/Settings.h"
#include "tests/support/TempDir.h"
#include "usb/InterfaceAction.h"

namespace padkbd::test {

class EditorHarness {
 public:
  // `prepare` sets the controller up (faults, settings) before the start-up
  // read; the settings file it may write is SettingsFile()'s default path.
  explicit EditorHarness(const std::function<void(SimulatedController&)>& prepare = {});
  ~EditorHarness();

  SimulatedController& sim() { return sim_; }
  PadAction& padAction() { return *padAction_; }
  FileAction& files() { return *files_; }
  editor::MainWindowController& window() { return *window_; }
  editor::ViewController& vc() { return window_->viewController(); }
  const TempDir& dir() const { return dir_; }

  QAbstractButton* element(int tag) { return vc().viewWithTag(tag); }
  // Names of the elements tagged 1 to 72 that show "selected".
  QStringList selectedTags();
  // The record at control index i of the preset being edited.
  ButtonValuePtr record(int index) { return vc().session().control(index); }
  // Copies of every record of the current preset, to compare later.
  std::vector<ButtonValue> snapshot();

 private:
  TempDir dir_;
  ScopedEnv xdg_;
  ScopedEnv xdgConfig_;
  SimulatedController sim_;
  ResolvedKeyboard keyboard_;
  std::unique_ptr<InterfaceAction> io_;
  std::unique_ptr<FileAction> files_;
  std::unique_ptr<PadAction> padAction_;
  std::unique_ptr<editor::MainWindowController> window_;
};

// Chooses an item of a menu as the user does: the menu shows it and sends activated.
void activate(QComboBox* menu, int position);
// The items of a menu, in order.
QStringList itemsOf(const QComboBox* menu);
// The items of a choice list, as a QStringList.
QStringList toQStringList(const std::vector<std::string>& list);

}  // namespace padkbd::test

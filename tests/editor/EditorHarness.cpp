#include "tests/editor/EditorHarness.h"

#include "editor/SelectorSurface.h"

namespace padkbd::test {

EditorHarness::EditorHarness(const std::function<void(SimulatedController&)>& prepare)
    : xdg_("XDG_DATA_HOME", (dir_.path() / "data").string()),
      xdgConfig_("XDG_CONFIG_HOME", (dir_.path() / "config").string()) {
  if (prepare) prepare(sim_);
  keyboard_ = resolveKeyboard(SettingsFile().read(), {});
  io_ = std::make_unique<InterfaceAction>(sim_, keyboard_.id);
  files_ =
      std::make_unique<FileAction>(PADKBD_TEST_RESOURCE_DIR, FileAction::defaultWorkingCopyPath());
  padAction_ = std::make_unique<PadAction>(*io_, *files_);
  window_ = std::make_unique<editor::MainWindowController>(*padAction_, keyboard_);
  // Questions a test does not ask about get the answer that lets it go on.
  vc().dialogs.askUnsaved = [](QWidget*, const QString&) {
    return editor::DialogSeams::Unsaved::Discard;
  };
  vc().dialogs.confirmSend = [](QWidget*, const QString&, const QString&, bool&) { return true; };
}

EditorHarness::~EditorHarness() {
  window_.reset();
}

QStringList EditorHarness::selectedTags() {
  QStringList tags;
  for (QAbstractButton* element : vc().taggedElements()) {
    if (editor::imageOf(element) == QLatin1String("selected")) {
      tags << element->property("tag").toString();
    }
  }
  return tags;
}

QStringList itemsOf(const QComboBox* menu) {
  QStringList items;
  for (int i = 0; i < menu->count(); ++i) items << menu->itemText(i);
  return items;
}

QStringList toQStringList(const std::vector<std::string>& list) {
  QStringList items;
  for (const auto& item : list) items << QString::fromStdString(item);
  return items;
}

std::vector<ButtonValue> EditorHarness::snapshot() {
  std::vector<ButtonValue> all;
  for (const auto& r : vc().session().preset().buttons) all.push_back(*r);
  return all;
}

void activate(QComboBox* menu, int position) {
  menu->setCurrentIndex(position);
  emit menu->activated(position);
}

}  // namespace padkbd::test

// The screenshots of the library: the Library pane and the Set view.
#include <QTest>

#include "editor/LibraryPane.h"
#include "editor/MessageController.h"
#include "editor/SetView.h"
#include "storage/Files.h"
#include "tests/editor/EditorHarness.h"
#include "tools/Screenshots.h"

namespace screenshots {

using padkbd::test::EditorHarness;

// The Library pane with a few presets of a musician's (tags, a favourite, two
// the same), then a set of three slots sent to the simulated keyboard.
void libraryIn(const QString& prefix) {
  const auto name = [&prefix](const char* what) { return prefix + QString::fromLatin1(what); };
  EditorHarness editor;
  auto& pane = editor.window().library();
  const std::filesystem::path folder = padkbd::Library::defaultFolder();
  std::filesystem::create_directories(folder);
  const std::tuple<const char*, int, int, int> presets[] = {{"intro", 127, 40, 0},
                                                            {"drums", 0, 90, 127},
                                                            {"ballad", 100, 0, 110},
                                                            {"encore", 127, 127, 0},
                                                            {"studio", 20, 127, 60}};
  int n = 0;
  for (const auto& [file, red, green, blue] : presets) {
    padkbd::Preset preset = padkbd::copyOf(editor.files().defaultPreset());
    for (int pad = padkbd::kFirstPadControl; pad <= padkbd::kLastPadControl; ++pad) {
      auto& record = *preset.buttons[static_cast<std::size_t>(pad)];
      const int shade = (pad * 7 + n * 13) % 40;  // each row a little different
      record.CR = std::max(0, red - shade), record.CG = std::max(0, green - shade);
      record.CB = std::max(0, blue - shade);
    }
    ++n;
    ok &= padkbd::writeFileAtomically(folder / (std::string(file) + ".padkbd"),
                                      padkbd::presetToXml(preset.buttons, *preset.global))
              .ok();
  }
  std::filesystem::copy_file(folder / "ballad.padkbd", folder / "ballad-copy.padkbd");
  padkbd::test::writeAll(folder / "notes.txt", "not a preset");
  pane.look();
  ok &= QTest::qWaitFor([&] { return pane.idle(); }, 20000);
  for (const auto& [file, tags] :
       {std::pair{"intro", "live"}, {"drums", "live"}, {"encore", "live"}, {"studio", "studio"}}) {
    padkbd::MarkChange change;
    change.addTags = {tags};
    change.favourite = std::string(file) == "intro";
    const auto found = pane.library().find(file);
    ok &= found && pane.library().mark(found->id, change).ok();
  }
  pane.look();
  ok &= QTest::qWaitFor([&] { return pane.idle(); }, 20000);
  pane.toggleAction()->trigger();
  save(&editor.window(), name("library.png"));
  auto& set = editor.window().setView();
  set.toggleAction()->trigger();
  for (const auto& [slot, file] : {std::pair{1, "intro"}, {3, "drums"}, {5, "encore"}}) {
    ok &= set.fill(slot, QString::fromLatin1(file));
  }
  editor.waitForKeyboard();
  save(&editor.window(), name("set.png"));
  set.sendAction();
  const auto message = [&] {
    return editor.window().findChild<padkbd::editor::MessageController*>();
  };
  ok &= QTest::qWaitFor([&] { return message() && !message()->running(); }, 30000);
  if (message()) {
    save(message(), name("set-message.png"));
    message()->close();
  }
  QTest::qWait(300);
  save(&editor.window(), name("set-sent.png"));
}

}  // namespace screenshots

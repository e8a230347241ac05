// The editor window, part two: bulk change, send, gains, Default/Load/Save,
// the Keyboard dialog.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "editor/GainController.h"
#include "editor/KeyboardController.h"
#include "editor/Language.h"
#include "editor/MessageController.h"
#include "editor/SelectorSurface.h"
#include "model/Log.h"
#include "storage/Settings.h"
#include "tests/editor/EditorHarness.h"

using padkbd::ButtonValue;
using padkbd::PadValue;
using padkbd::SimulatedController;
using padkbd::test::activate;
using padkbd::test::EditorHarness;
using padkbd::test::itemsOf;
using padkbd::test::toQStringList;
namespace fs = std::filesystem;

namespace {

const QString kSendSucceeded = QStringLiteral("成功发送到设备!");
const QString kConnectFailed = QStringLiteral("连接到设备失败.");

std::string readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

QList<QWidget*> bulkDisabled(padkbd::editor::ViewController& vc) {
  return {vc.globalC,       vc.globalO,    vc.globalPVC, vc.globalKA,
          vc.globalVC,      vc.val,        vc.channel,   vc.CCnum,
          vc.min,           vc.max,        vc.mem,       vc.sendToKeyboardButton,
          vc.DefaultButton, vc.LoadButton, vc.SaveButton};
}

padkbd::editor::KeyboardController* openKeyboard(EditorHarness& editor) {
  editor.window().findChild<QAction*>(QStringLiteral("actionKeyboard"))->trigger();
  editor.waitForKeyboard();  // the bus is listed on the device worker
  return editor.window().keyboardDialog();
}

QString stateOf(padkbd::editor::KeyboardController* dialog, int row) {
  return dialog->deviceList->topLevelItem(row)->text(3);
}

// What a send that stopped part-way adds to its fixed text.
QString mixIn(int written, int slot) {
  return QStringLiteral(
             " %1 of 598 settings reached memory slot %2, which now holds a mix of old "
             "and new settings.")
      .arg(written)
      .arg(slot);
}

padkbd::editor::GainController* openGains(EditorHarness& editor) {
  QTest::mouseClick(editor.vc().gainsButton, Qt::LeftButton);
  return editor.window().findChild<padkbd::editor::GainController*>();
}

}  // namespace

class ActionsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    padkbd::log::setSink([](padkbd::log::Channel, std::string_view) {});
  }

  void bulkChangePass() {
    EditorHarness editor;
    auto& vc = editor.vc();
    QTest::mouseClick(editor.element(30), Qt::LeftButton);
    const auto before = editor.snapshot();

    QTest::mouseClick(vc.BulkButton, Qt::LeftButton);
    QVERIFY(vc.session().inBulk());
    QCOMPARE(vc.session().current()->buttonID, padkbd::EditSession::kBulkRecordId);
    QCOMPARE(vc.controlName->text(), QStringLiteral("批量参数"));
    QCOMPARE(vc.BulkButton->text(), QStringLiteral("退出批量模式"));
    QVERIFY(editor.selectedTags().isEmpty());
    for (QWidget* element : bulkDisabled(vc))
      QVERIFY2(!element->isEnabled(), qPrintable(element->objectName()));
    for (QWidget* element : QList<QWidget*>{vc.mode, vc.modeOption, vc.cr, vc.cg, vc.cb,
                                            vc.BulkButton, vc.bankSwitch, editor.element(9)}) {
      QVERIFY2(element->isEnabled(), qPrintable(element->objectName()));
    }
    // The first pass starts from mode 0 (no options) and colour 100/100/100.
    QCOMPARE(itemsOf(vc.mode), toQStringList(vc.pu.padModeArray));
    QCOMPARE(vc.mode->currentIndex(), 0);
    QCOMPARE(vc.modeOption->count(), 0);
    QCOMPARE(vc.cr->currentIndex(), 100);
    QCOMPARE(vc.cg->currentIndex(), 100);
    QCOMPARE(vc.cb->currentIndex(), 100);

    // The same pad twice: out again, unlit.
    QTest::mouseClick(editor.element(9), Qt::LeftButton);
    QCOMPARE(editor.selectedTags(), QStringList{"9"});
    QTest::mouseClick(editor.element(9), Qt::LeftButton);
    QVERIFY(vc.session().bulkSelection().empty());
    QVERIFY(editor.selectedTags().isEmpty());

    for (int tag : {10, 21, 56}) QTest::mouseClick(editor.element(tag), Qt::LeftButton);
    // Other controls take no pad mode or colour: their black buttons and the
    // white buttons are ignored, and the bulk record stays current.
    QTest::mouseClick(editor.element(60), Qt::LeftButton);
    QTest::mouseClick(editor.element(2), Qt::LeftButton);
    QCOMPARE(vc.session().bulkSelection().size(), std::size_t{3});
    QCOMPARE(editor.selectedTags(), (QStringList{"10", "21", "56"}));
    QCOMPARE(vc.session().current()->buttonID, padkbd::EditSession::kBulkRecordId);
    QVERIFY(vc.session().padLists());
    QTest::mouseClick(vc.bankSwitch, Qt::LeftButton);  // the bulk record stays current
    QCOMPARE(vc.session().current()->buttonID, padkbd::EditSession::kBulkRecordId);
    QCOMPARE(vc.controlName->text(), QStringLiteral("批量参数"));

    activate(vc.mode, 1);
    QCOMPARE(itemsOf(vc.modeOption),
             (QStringList{"Absolute", "Rleative #1", "Rleative #2", "Rleative #3"}));
    activate(vc.modeOption, 2);
    activate(vc.cr, 10);
    activate(vc.cg, 20);
    activate(vc.cb, 30);
    QVERIFY(editor.snapshot() == before);  // nothing copied before leaving

    QTest::mouseClick(vc.BulkButton, Qt::LeftButton);
    QVERIFY(!vc.session().inBulk());
    QCOMPARE(vc.BulkButton->text(), QStringLiteral("批量改变红色/绿色/蓝色"));
    for (QWidget* element : bulkDisabled(vc)) QVERIFY(element->isEnabled());
    const auto after = editor.snapshot();
    for (int i = 0; i < 64; ++i) {
      ButtonValue expected = before[static_cast<std::size_t>(i)];
      if (i == 9 || i == 20 || i == 55) {
        expected.mode = 1;
        expected.modeOption = 2;
        expected.CR = 10;
        expected.CG = 20;
        expected.CB = 30;
      }
      QCOMPARE(after[static_cast<std::size_t>(i)], expected);
    }
    // No control is current afterwards: edits go nowhere until the next pick.
    QVERIFY(!vc.session().current());
    QCOMPARE(vc.controlName->text(), QString());
    activate(vc.val, 77);
    QVERIFY(editor.snapshot() == after);
    QCOMPARE(editor.selectedTags(), (QStringList{"10", "21", "56"}));

    // Entering again: an empty selection, the previous pass's values shown.
    QTest::mouseClick(vc.BulkButton, Qt::LeftButton);
    QVERIFY(vc.session().bulkSelection().empty());
    QVERIFY(editor.selectedTags().isEmpty());
    QCOMPARE(vc.mode->currentIndex(), 1);
    QCOMPARE(vc.modeOption->currentIndex(), 2);
    QCOMPARE(vc.cr->currentIndex(), 10);
    QCOMPARE(vc.cb->currentIndex(), 30);
    // Leaving with nothing chosen copies nothing.
    QTest::mouseClick(vc.BulkButton, Qt::LeftButton);
    QVERIFY(editor.snapshot() == after);
  }

  // Bulk mode counts its pads; All pads, a row's header and Shift-click choose
  // several at once; Cancel and Esc leave it without changing a pad.
  void bulkChoosesManyAndCancels() {
    EditorHarness editor;
    auto& vc = editor.vc();
    auto& window = editor.window();
    const auto before = editor.snapshot();
    auto* header = window.findChild<QAbstractButton*>(QStringLiteral("rowHeader2"));
    QVERIFY(!header->isVisibleTo(&window) && !vc.bulkCount->isVisibleTo(&window));
    QTest::mouseClick(vc.BulkButton, Qt::LeftButton);
    QVERIFY(header->isVisibleTo(&window) && vc.bulkCancelButton->isVisibleTo(&window));
    QCOMPARE(vc.bulkCount->text(), QStringLiteral("Pads chosen: 0"));
    QTest::mouseClick(header, Qt::LeftButton);  // Pad 9 to 16
    QCOMPARE(editor.selectedTags(), (QStringList{"17", "18", "19", "20", "21", "22", "23", "24"}));
    QTest::mouseClick(vc.bulkAllButton, Qt::LeftButton);  // the rest too
    QCOMPARE(vc.bulkCount->text(), QStringLiteral("Pads chosen: 48"));
    QCOMPARE(editor.selectedTags().size(), 48);
    QTest::mouseClick(vc.bulkAllButton, Qt::LeftButton);  // all chosen already: none
    QVERIFY(editor.selectedTags().isEmpty());
    QTest::mouseClick(header, Qt::LeftButton);
    QTest::mouseClick(editor.element(9), Qt::LeftButton);
    QTest::mouseClick(editor.element(12), Qt::LeftButton, Qt::ShiftModifier);  // Pad 1 to 4
    QCOMPARE(vc.bulkCount->text(), QStringLiteral("Pads chosen: 12"));
    activate(vc.cr, 5);
    QTest::mouseClick(vc.bulkCancelButton, Qt::LeftButton);
    QVERIFY(!vc.session().inBulk() && !vc.session().canUndo());
    QVERIFY(editor.snapshot() == before);
    QVERIFY(!header->isVisibleTo(&window) && !vc.bulkCount->isVisibleTo(&window));
    QCOMPARE(vc.BulkButton->text(), QStringLiteral("批量改变红色/绿色/蓝色"));

    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::mouseClick(vc.BulkButton, Qt::LeftButton);
    QTest::mouseClick(editor.element(9), Qt::LeftButton);
    activate(vc.cr, 5);
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(!vc.session().inBulk());
    QVERIFY(editor.snapshot() == before);
  }

  // The swatch opens the colour dialog: the colour chosen maps onto 0-127 in
  // one undo step. Numbers read as notes too, and a pad in a note mode shows
  // its note on the surface.
  void colourPickerAndNoteNames() {
    EditorHarness editor;
    auto& vc = editor.vc();
    QColor offered;
    vc.dialogs.pickColour = [&](QWidget*, const QColor& initial) {
      offered = initial;
      return QColor(255, 128, 0);
    };
    QTest::mouseClick(editor.element(14), Qt::LeftButton);  // Pad 6
    const auto pad6 = editor.record(13);
    const QColor was = padkbd::editor::padColour(pad6->CR, pad6->CG, pad6->CB);
    QTest::mouseClick(vc.colourSwatch, Qt::LeftButton);
    QCOMPARE(offered, was);
    QCOMPARE((std::array{pad6->CR, pad6->CG, pad6->CB}), (std::array{127, 64, 0}));
    QCOMPARE(vc.cg->currentIndex(), 64);
    QCOMPARE(*padkbd::editor::lightOf(editor.element(14)), QColor(255, 129, 0));
    vc.undoAction();
    QCOMPARE(padkbd::editor::padColour(pad6->CR, pad6->CG, pad6->CB), was);
    offered = QColor();
    QTest::mouseClick(editor.element(1), Qt::LeftButton);  // a knob has no colour
    QTest::mouseClick(vc.colourSwatch, Qt::LeftButton);
    QVERIFY(!offered.isValid());

    QCOMPARE(vc.CCnum->itemText(0), QStringLiteral("0 C-2 · Bank Select"));
    QCOMPARE(vc.CCnum->itemText(60), QStringLiteral("60 C3"));
    QCOMPARE(vc.CCnum->itemText(127), QStringLiteral("127 G8 · Poly On"));
    QTest::mouseClick(editor.element(14), Qt::LeftButton);
    activate(vc.mode, 0);  // Note
    activate(vc.CCnum, 61);
    QCOMPARE(editor.element(14)->property("note").toString(), QStringLiteral("C#3"));
    activate(vc.mode, 1);  // CC
    QCOMPARE(editor.element(14)->property("note").toString(), QString());
  }

  // Each element that stands for a pad shows the pad's colour in the current
  // preset: after the start-up read, a colour edit, the bulk copy and Default.
  void padLightsFollowThePreset() {
    using padkbd::editor::lightOf;
    using padkbd::editor::padColour;
    EditorHarness editor;
    auto& vc = editor.vc();
    auto colourOf = [&](int index) {
      const auto record = editor.record(index);
      return padColour(record->CR, record->CG, record->CB);
    };
    auto checkLights = [&](const QString& when) {
      for (int tag = 1; tag <= 64; ++tag) {
        const auto light = lightOf(editor.element(tag));
        const bool standsForPad =
            (tag >= 9 && tag <= 56) || (vc.session().secondBank() && tag <= 8);
        const QString what = QStringLiteral("%1, tag %2").arg(when).arg(tag);
        QVERIFY2(light.has_value() == standsForPad, qPrintable(what));
        if (!standsForPad) continue;
        const int index = tag <= 8 ? tag + 7 : tag - 1;
        QVERIFY2(*light == colourOf(index), qPrintable(what));
      }
    };

    // The simulated keyboard's pads are a rainbow: lit, and not all alike.
    checkLights(QStringLiteral("start-up"));
    QSet<QRgb> colours;
    for (int tag = 9; tag <= 56; ++tag) {
      const auto light = lightOf(editor.element(tag));
      QVERIFY(light->isValid());
      colours.insert(light->rgb());
    }
    QVERIFY(colours.size() >= 6);
    QAbstractButton* pad5 = editor.element(13);

    // 0-127 scales to 0-255 and back, to the nearest at both ends and the
    // middle, and a component survives the way there and back; -1 or out of
    // range is unlit, black is a colour.
    using padkbd::editor::toChannel;
    using padkbd::editor::toComponent;
    QCOMPARE(padColour(127, 0, 64), QColor(255, 0, 129));
    QCOMPARE(toComponent(0), 0);
    QCOMPARE(toComponent(128), 64);
    QCOMPARE(toComponent(255), 127);
    for (int c = 0; c <= 127; ++c) QCOMPARE(toComponent(toChannel(c)), c);
    QVERIFY(padColour(0, 0, 0).isValid());
    for (auto [r, g, b] : {std::array{-1, 0, 0}, std::array{0, 128, 0}, std::array{0, 0, -2}})
      QVERIFY(!padColour(r, g, b).isValid());

    // A colour edit through the menus relights that pad only.
    QTest::mouseClick(pad5, Qt::LeftButton);
    const QColor pad6 = *lightOf(editor.element(14));
    activate(vc.cr, 0);
    activate(vc.cg, 127);
    QCOMPARE(*lightOf(pad5), padColour(0, 127, editor.record(12)->CB));
    activate(vc.cb, 0);
    QCOMPARE(*lightOf(pad5), QColor(0, 255, 0));
    QCOMPARE(*lightOf(editor.element(14)), pad6);
    QVERIFY(padkbd::editor::imageOf(pad5) == QStringLiteral("selected"));

    // The second bank: the top row stands for Pad 1-8 and lights with them;
    // an edit through it shows on both elements of the pad.
    QTest::mouseClick(vc.bankSwitch, Qt::LeftButton);
    checkLights(QStringLiteral("second bank"));
    QTest::mouseClick(editor.element(2), Qt::LeftButton);
    activate(vc.cr, 127);
    QCOMPARE(*lightOf(editor.element(2)), *lightOf(editor.element(10)));
    QCOMPARE(lightOf(editor.element(2))->red(), 255);
    QTest::mouseClick(vc.bankSwitch, Qt::LeftButton);
    checkLights(QStringLiteral("first bank"));

    // Bulk mode: the chosen pads light in the bulk colour once it is left.
    const QColor pad7 = *lightOf(editor.element(15));
    QTest::mouseClick(vc.BulkButton, Qt::LeftButton);
    for (int tag : {13, 20, 56}) QTest::mouseClick(editor.element(tag), Qt::LeftButton);
    activate(vc.cr, 0);
    activate(vc.cg, 0);
    activate(vc.cb, 127);
    QCOMPARE(*lightOf(pad5), QColor(0, 255, 0));  // nothing copied yet
    QTest::mouseClick(vc.BulkButton, Qt::LeftButton);
    for (int tag : {13, 20, 56}) QCOMPARE(*lightOf(editor.element(tag)), QColor(0, 0, 255));
    QCOMPARE(*lightOf(editor.element(15)), pad7);
    checkLights(QStringLiteral("after bulk"));

    // Default replaces the preset: the lights show the shipped colours.
    QTest::mouseClick(vc.DefaultButton, Qt::LeftButton);
    QCOMPARE(editor.record(12)->CR, editor.files().defaultPreset().buttons[12]->CR);
    checkLights(QStringLiteral("after Default"));
    QVERIFY(*lightOf(pad5) != QColor(0, 0, 255));
  }

  void sendWritesTheChosenSlot() {
    EditorHarness editor;
    auto& vc = editor.vc();
    QTest::mouseClick(editor.element(21), Qt::LeftButton);  // control 20
    activate(vc.val, 99);
    activate(vc.cg, 3);
    activate(vc.mem, 4);
    activate(vc.globalC, 11);
    const ButtonValue edited = *editor.record(20);
    const ButtonValue unchangedInSlot0 = editor.sim().controlInSlot(0, 20);

    // The message window is open, and says so, while the send is under way.
    bool windowOpenDuringSend = false;
    int lastDone = 0;
    QObject::connect(&editor.worker(), &padkbd::editor::DeviceWorker::progress, &vc,
                     [&](const padkbd::PadAction::Progress& progress) {
                       if (progress.stage != padkbd::PadAction::Progress::Stage::Sending) return;
                       windowOpenDuringSend |=
                           vc.messageWindow() && vc.messageWindow()->isVisible() &&
                           vc.messageWindow()->text() == QStringLiteral("发送中……");
                       lastDone = progress.done;
                     });
    QSignalSpy status(vc.message, &QLineEdit::textChanged);
    QTest::mouseClick(vc.sendToKeyboardButton, Qt::LeftButton);
    QVERIFY(editor.waitForKeyboard());

    QVERIFY(windowOpenDuringSend);
    QCOMPARE(lastDone, padkbd::PadAction::kFullExchange);
    QCOMPARE(status.size(), 2);
    QCOMPARE(status.at(0).at(0).toString(), QStringLiteral("发送中……"));
    QCOMPARE(vc.message->text(), kSendSucceeded);
    QVERIFY(vc.messageWindow());
    QCOMPARE(vc.messageWindow()->text(), kSendSucceeded);
    QCOMPARE(editor.sim().controlInSlot(4, 20), edited);
    QCOMPARE(editor.sim().globalsInSlot(4).globalMIDIChannel, 11);
    QCOMPARE(editor.sim().controlInSlot(0, 20), unchangedInSlot0);
    QVERIFY(editor.sim().protocolErrors().empty());
    QVERIFY(!editor.sim().isInterfaceOpen());

    // A second send opens a new message window; the first one's view came back.
    QPointer<padkbd::editor::MessageController> first = vc.messageWindow();
    vc.sendToKeyboardAction();
    QVERIFY(editor.waitForKeyboard());
    QVERIFY(vc.messageWindow() && vc.messageWindow() != first);
    QCOMPARE(vc.messageWindow()->text(), kSendSucceeded);
    vc.messageWindow()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!vc.messageWindow());
    QVERIFY(vc.messageView->parentWidget() != nullptr);
    QVERIFY(vc.messageView->window() == &editor.window());
  }

  void sendReportsFailure() {
    {  // No controller at all.
      EditorHarness editor([](SimulatedController& sim) { sim.faults().absent = true; });
      auto& vc = editor.vc();
      QTest::mouseClick(vc.sendToKeyboardButton, Qt::LeftButton);
      QVERIFY(editor.waitForKeyboard());
      QCOMPARE(vc.message->text(), kConnectFailed);
      QCOMPARE(vc.messageWindow()->text(), kConnectFailed);
      QVERIFY(!vc.messageWindow()->detail().isEmpty());  // and why
      QCOMPARE(editor.sim().writeCount(), 0);
    }
    {  // The write fails half-way: how much reached the slot is told, and
       // what the keyboard holds is no longer taken as known.
      EditorHarness editor;
      auto& vc = editor.vc();
      editor.sim().resetCounters();
      editor.sim().changeFaults([](auto& faults) { faults.writeFailureAfter = 200; });
      QTest::mouseClick(vc.sendToKeyboardButton, Qt::LeftButton);
      QVERIFY(editor.waitForKeyboard());
      const QString told = kConnectFailed + mixIn(editor.sim().writeCount(), 1);
      QVERIFY(editor.sim().writeCount() > 100);
      QCOMPARE(vc.message->text(), told);
      QCOMPARE(vc.messageWindow()->text(), told);
      QVERIFY(!editor.sim().isInterfaceOpen());
      QVERIFY(!vc.session().knowsKeyboard());
    }
    {  // Unplugged after start-up.
      EditorHarness editor;
      auto& vc = editor.vc();
      editor.sim().resetCounters();
      editor.sim().changeFaults([](auto& faults) { faults.unplugAfter = 0; });
      QTest::mouseClick(vc.sendToKeyboardButton, Qt::LeftButton);
      QVERIFY(editor.waitForKeyboard());
      QCOMPARE(vc.message->text(), kConnectFailed);
      QCOMPARE(vc.messageWindow()->text(), kConnectFailed);
      QCOMPARE(editor.keyboardState(), QStringLiteral("○ No keyboard"));
    }
  }

  void upgradeFirmwareDoesNothing() {
    EditorHarness editor;
    const auto before = editor.snapshot();
    const std::size_t transfers = editor.sim().transferCount();
    editor.vc().upgradeFirmwareAction();
    QVERIFY(editor.snapshot() == before);
    QCOMPARE(editor.sim().transferCount(), transfers);
  }

  void gainDialog() {
    EditorHarness editor;
    padkbd::log::Capture log;
    auto* gains = openGains(editor);
    QVERIFY(gains);
    QVERIFY(gains->isVisible());
    QCOMPARE(log.count("gainArray count 8"), std::size_t{1});
    QCOMPARE(log.count("setDefault"), std::size_t{1});
    QCOMPARE(editor.vc().session().gains(), std::vector<std::int32_t>(8, 64));
    for (int n = 0; n < 8; ++n) {
      QSlider* slider = gains->findChild<QSlider*>(QStringLiteral("slider%1").arg(n + 1));
      QVERIFY(slider);
      QCOMPARE(slider->property("tag").toInt(), n + 1);
      QCOMPARE(slider->minimum(), 0);
      QCOMPARE(slider->maximum(), 127);
      QCOMPARE(slider->value(), 64);
      QCOMPARE(gains->findChild<QLabel*>(QStringLiteral("label%1").arg(n + 1))->text(),
               QStringLiteral("64/127"));
    }

    gains->sliders[2]->setValue(100);
    QCOMPARE(editor.vc().session().gains()[2], 100);
    QCOMPARE(gains->labels[2]->text(), QStringLiteral("100/127"));
    for (int n : {0, 1, 3, 4, 5, 6, 7}) {
      QCOMPARE(editor.vc().session().gains()[static_cast<std::size_t>(n)], 64);
      QCOMPARE(gains->labels[static_cast<std::size_t>(n)]->text(), QStringLiteral("64/127"));
    }
    gains->showValueWithTag(0, 5);
    gains->showValueWithTag(9, 5);
    for (QLabel* label : gains->labels) QVERIFY(label->text() != QStringLiteral("5/127"));

    // Apply sends the eight gains as eight messages and keeps the dialog open.
    gains->sliders[7]->setValue(0);
    const int writesBefore = editor.sim().writeCount();
    QTest::mouseClick(gains->findChild<QPushButton*>(QStringLiteral("gainApplyButton")),
                      Qt::LeftButton);
    QVERIFY(editor.waitForKeyboard());
    QCOMPARE(log.count("Apply"), std::size_t{1});
    QCOMPARE(editor.sim().writeCount() - writesBefore, 8);
    const std::array<std::uint8_t, 8> sent = editor.sim().gains();
    const std::array<std::uint8_t, 8> expected = {64, 64, 100, 64, 64, 64, 64, 0};
    QVERIFY(sent == expected);
    QCOMPARE(gains->status(), kSendSucceeded);
    QVERIFY(gains->isVisible());
    QVERIFY(!editor.sim().isInterfaceOpen());
    QVERIFY(editor.sim().protocolErrors().empty());

    // Default puts everything back to 64.
    QTest::mouseClick(gains->findChild<QPushButton*>(QStringLiteral("gainDefaultButton")),
                      Qt::LeftButton);
    QCOMPARE(log.count("Default"), std::size_t{1});
    QCOMPARE(log.count("setDefault"), std::size_t{2});
    QCOMPARE(editor.vc().session().gains(), std::vector<std::int32_t>(8, 64));
    for (int n = 0; n < 8; ++n) {
      QCOMPARE(gains->sliders[static_cast<std::size_t>(n)]->value(), 64);
      QCOMPARE(gains->labels[static_cast<std::size_t>(n)]->text(), QStringLiteral("64/127"));
    }

    // OK applies and closes.
    gains->sliders[0]->setValue(1);
    QTest::mouseClick(gains->findChild<QPushButton*>(QStringLiteral("gainOKButton")),
                      Qt::LeftButton);
    QVERIFY(gains->isVisible());  // until the gains went out
    QVERIFY(editor.waitForKeyboard());
    QCOMPARE(log.count("OK"), std::size_t{1});
    QCOMPARE(editor.sim().gains()[0], std::uint8_t{1});
    QVERIFY(!gains->isVisible());
    // Each opening starts again from the default gains.
    QCOMPARE(openGains(editor), gains);
    QCOMPARE(gains->sliders[0]->value(), 64);
    QCOMPARE(editor.vc().session().gains(), std::vector<std::int32_t>(8, 64));
  }

  void gainsWithoutController() {
    EditorHarness editor([](SimulatedController& sim) { sim.faults().absent = true; });
    auto* gains = openGains(editor);
    gains->sliders[4]->setValue(30);
    gains->doApplyAction();
    QVERIFY(editor.waitForKeyboard());
    QCOMPARE(gains->status(), kConnectFailed);
    QCOMPARE(editor.vc().session().gains()[4], 30);
    QCOMPARE(gains->labels[4]->text(), QStringLiteral("30/127"));
    gains->doOKAction();  // fails the same way and stays open to say so
    QVERIFY(editor.waitForKeyboard());
    QVERIFY(gains->isVisible());
    QCOMPARE(editor.vc().session().gains()[4], 30);
  }

  // The Keyboard dialog refuses malformed ids, stores a choice and makes the
  // next send look for that keyboard.
  void keyboardDialogChoosesTheKeyboard() {
    EditorHarness editor;
    auto& vc = editor.vc();
    auto& worker = editor.worker();
    const padkbd::KeyboardId builtIn = padkbd::builtInKeyboard();
    const padkbd::SettingsFile settings;
    auto* dialog = openKeyboard(editor);
    QCOMPARE(stateOf(dialog, 0), QStringLiteral("in use, can be opened"));
    auto use = [&](const char* ids, const char* bytes) {
      dialog->usbIdsEdit->setText(QString::fromLatin1(ids));
      dialog->manufacturerEdit->setText(QString::fromLatin1(bytes));
      QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("keyboardUseButton")),
                        Qt::LeftButton);
      QVERIFY(editor.waitForKeyboard());
    };
    // Malformed: named, nothing stored, the transport unchanged.
    for (auto [ids, bytes, named] : {std::array{"1209 7a01", "7d 00 01", "1209 7a01"},
                                     std::array{"1209:7a01", "7d 80 01", "7d 80 01"}}) {
      use(ids, bytes);
      QVERIFY(dialog->status().contains(QString::fromLatin1(named)));
      QVERIFY(!fs::exists(settings.path()) && worker.keyboard() == builtIn && worker.present());
    }
    // Another keyboard, not plugged in: stored, in force, and the send finds nothing.
    use(" 1209:7A01 ", "7d:00:01");
    const padkbd::KeyboardId other{{0x1209, 0x7a01}, {0x7d, 0x00, 0x01}};
    QCOMPARE(settings.read().keyboard, (padkbd::KeyboardSettings{other.usb, other.manufacturer}));
    QVERIFY(worker.keyboard() == other && !worker.present());
    QVERIFY(dialog->status().contains(QStringLiteral("not connected")));
    QCOMPARE(editor.keyboardState(), QStringLiteral("○ No keyboard"));
    QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("usbInForce"))->text(),
             QStringLiteral("1209:7a01  (settings file)"));
    vc.sendToKeyboardAction();
    QVERIFY(editor.waitForKeyboard());
    QCOMPARE(vc.message->text(), kConnectFailed);
    QCOMPARE(editor.sim().writeCount(), 0);
    vc.messageWindow()->close();
    // The listed keyboard, picked again, is found.
    dialog->deviceList->setCurrentItem(nullptr);
    dialog->deviceList->setCurrentItem(dialog->deviceList->topLevelItem(0));
    use(qPrintable(dialog->usbIdsEdit->text()),
        padkbd::formatManufacturerId(builtIn.manufacturer).c_str());
    QVERIFY(worker.keyboard() == builtIn && worker.present());
    QCOMPARE(editor.keyboardState(), QStringLiteral("● Keyboard connected"));
    // A MIDI port picked from the list is stored with the ids; emptied, raw USB again.
    dialog->listPorts = [](const std::function<void(padkbd::MidiPortListing)>& done) {
      done({padkbd::UsbStatus::Success, "", "JACK", {{"kbd:MIDI 1", true, true}}});
    };
    dialog->refresh();
    dialog->portList->setCurrentItem(dialog->portList->topLevelItem(0));
    use(qPrintable(dialog->usbIdsEdit->text()), qPrintable(dialog->manufacturerEdit->text()));
    QCOMPARE(settings.read().keyboard.port, std::optional<std::string>("kbd:MIDI 1"));
    QCOMPARE(worker.keyboard().port, std::string("kbd:MIDI 1"));
    QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("portInForce"))->text(),
             QStringLiteral("“kbd:MIDI 1”  (settings file)"));
    dialog->portEdit->clear();
    use(qPrintable(dialog->usbIdsEdit->text()), qPrintable(dialog->manufacturerEdit->text()));
    QVERIFY(!settings.read().keyboard.port && worker.keyboard() == builtIn);
  }

  // A device this user may not open shows its udev rule; a bus that cannot
  // be listed says why.
  void keyboardDialogExplainsTheBus() {
    EditorHarness editor([](SimulatedController& sim) { sim.faults().refuseAccess = true; });
    auto* dialog = openKeyboard(editor);
    QCOMPARE(stateOf(dialog, 0), QStringLiteral("in use, this user may not open it"));
    const QString rule = QString::fromStdString(padkbd::udevRule(padkbd::builtInKeyboard().usb));
    const QString install = QStringLiteral("echo '%1' | sudo tee /etc/udev/").arg(rule);
    const QStringList commands = dialog->udevCommands->toPlainText().split(QLatin1Char('\n'));
    QVERIFY(dialog->udevCommands->isVisibleTo(dialog));
    QVERIFY(commands.first().startsWith(install));
    QCOMPARE(commands.last(), QStringLiteral("sudo udevadm control --reload"));

    dialog->listDevices = [](const std::function<void(padkbd::MidiDeviceListing)>& done) {
      done(padkbd::MidiDeviceListing{padkbd::UsbStatus::NotSupported, "no USB here", {}});
    };
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("deviceRefreshButton")),
                      Qt::LeftButton);
    QCOMPARE(dialog->deviceList->topLevelItemCount(), 0);
    QVERIFY(dialog->deviceNote->text().contains(QStringLiteral("no USB here")));
    QVERIFY(!dialog->udevCommands->isVisibleTo(dialog));
  }

  void saveThenLoadGivesTheSamePreset() {
    EditorHarness editor;
    auto& vc = editor.vc();
    const fs::path document = editor.dir() / "mine.padkbd";
    int saveAsked = 0;
    vc.dialogs.saveDocumentPath = [&](QWidget*) {
      ++saveAsked;
      return QString::fromStdString(document.string());
    };
    vc.dialogs.openDocumentPath = [&](QWidget*) {
      return QString::fromStdString(document.string());
    };
    QStringList problems;
    vc.dialogs.showProblem = [&](QWidget*, const QString&, const QString& text) {
      problems << text;
    };

    QTest::mouseClick(editor.element(21), Qt::LeftButton);  // control 20
    activate(vc.val, 42);
    activate(vc.mode, 1);
    activate(vc.globalO, 2);
    activate(vc.mem, 5);
    const auto saved = editor.snapshot();
    const PadValue savedGlobal = *vc.session().global();
    QTest::mouseClick(vc.SaveButton, Qt::LeftButton);
    QCOMPARE(saveAsked, 1);
    QVERIFY(fs::exists(document));

    // Default replaces everything; the current control follows to the new list.
    QTest::mouseClick(vc.DefaultButton, Qt::LeftButton);
    QVERIFY(editor.snapshot() != saved);
    QVERIFY(vc.session().current() == editor.record(20));
    QCOMPARE(vc.val->currentIndex(), editor.record(20)->value);
    QCOMPARE(vc.firmware->text(), QStringLiteral("01.02"));  // what the keyboard said
    QVERIFY(vc.session().global() != nullptr);

    const auto oldRecord = vc.session().current();
    QTest::mouseClick(vc.LoadButton, Qt::LeftButton);
    QVERIFY(problems.isEmpty());
    QVERIFY(editor.snapshot() == saved);
    PadValue loaded = *vc.session().global();
    QCOMPARE(loaded.globalOctaveTransposition, savedGlobal.globalOctaveTransposition);
    QCOMPARE(loaded.mem, 5);
    QCOMPARE(vc.globalO->currentIndex(), 2);
    QCOMPARE(vc.mem->currentIndex(), 5);
    QCOMPARE(vc.firmware->text(), QStringLiteral("01.02"));
    // The edit after a load reaches the new record, which is what a send takes.
    QVERIFY(vc.session().current() != oldRecord);
    QVERIFY(vc.session().current() == editor.record(20));
    QCOMPARE(vc.val->currentIndex(), 42);
    activate(vc.val, 7);
    QCOMPARE(editor.record(20)->value, 7);
    QCOMPARE(oldRecord->value, editor.files().defaultPreset().buttons[20]->value);

    // Saving twice to the same path replaces the file whole.
    QTest::mouseClick(vc.SaveButton, Qt::LeftButton);
    QTest::mouseClick(vc.DefaultButton, Qt::LeftButton);
    QTest::mouseClick(vc.LoadButton, Qt::LeftButton);
    QCOMPARE(editor.record(20)->value, 7);
  }

  void cancelAndRefusalChangeNothing() {
    EditorHarness editor([](SimulatedController& sim) { sim.faults().absent = true; });
    auto& vc = editor.vc();
    QCOMPARE(vc.firmware->text(), QStringLiteral("未连接"));
    QStringList problems;
    vc.dialogs.showProblem = [&](QWidget*, const QString&, const QString& text) {
      problems << text;
    };
    const fs::path workingCopy = editor.files().workingCopyPath();

    // Save cancelled: the working copy holds the preset, no document appears.
    QTest::mouseClick(editor.element(33), Qt::LeftButton);
    activate(vc.CCnum, 12);
    vc.dialogs.saveDocumentPath = [](QWidget*) { return QString(); };
    QTest::mouseClick(vc.SaveButton, Qt::LeftButton);
    QVERIFY(fs::exists(workingCopy));
    const std::string copy = readAll(workingCopy);
    QVERIFY(copy.find("<integer>12</integer>") != std::string::npos ||
            copy.find("<string>12</string>") != std::string::npos);

    // Load cancelled: nothing changes, the working copy included.
    const auto before = editor.snapshot();
    const auto list = vc.session().preset().buttons;
    vc.dialogs.openDocumentPath = [](QWidget*) { return QString(); };
    QTest::mouseClick(vc.LoadButton, Qt::LeftButton);
    QVERIFY(editor.snapshot() == before);
    QCOMPARE(readAll(workingCopy), copy);

    // A damaged document: refused with its reason, nothing replaced.
    const fs::path damaged = editor.dir() / "damaged.padkbd";
    std::ofstream(damaged) << "<?xml version=\"1.0\"?><plist><dict><key>ButtonArray</key>";
    vc.dialogs.openDocumentPath = [&](QWidget*) {
      return QString::fromStdString(damaged.string());
    };
    QTest::mouseClick(vc.LoadButton, Qt::LeftButton);
    QCOMPARE(problems.size(), 1);
    QVERIFY(!problems.first().isEmpty());
    QVERIFY(vc.session().preset().buttons == list);
    QVERIFY(editor.snapshot() == before);
    QCOMPARE(readAll(workingCopy), copy);
    QVERIFY(vc.session().current() == editor.record(32));

    // Default without a keyboard: the firmware field still says so.
    QTest::mouseClick(vc.DefaultButton, Qt::LeftButton);
    QCOMPARE(vc.firmware->text(), QStringLiteral("未连接"));

    // Bulk mode keeps the bulk record current through a replacement.
    vc.bulkChange();
    vc.changeToDefaultAction();
    QCOMPARE(vc.session().current()->buttonID, padkbd::EditSession::kBulkRecordId);
  }

  // The title names where the preset shown comes from, after every kind of
  // event; the status field is left to its own texts.
  void titleSaysWhatIsShown() {
    EditorHarness editor;
    auto& vc = editor.vc();
    const auto title = [&] { return editor.window().windowTitle(); };
    const fs::path document = editor.dir() / "live set.padkbd";
    vc.dialogs.saveDocumentPath = [&](QWidget*) {
      return QString::fromStdString(document.string());
    };
    vc.dialogs.openDocumentPath = vc.dialogs.saveDocumentPath;
    QCOMPARE(title(), QStringLiteral("from the keyboard (firmware 01.02)[*] — padkbd"));
    vc.changeToDefaultAction();
    QCOMPARE(title(), QStringLiteral("default preset[*] — padkbd"));
    QCOMPARE(vc.message->text(), QStringLiteral("从设备读取参数成功!"));
    vc.saveAction();
    QCOMPARE(title(), QStringLiteral("live set.padkbd[*] — padkbd"));
    vc.changeToDefaultAction();
    vc.loadAction();
    QCOMPARE(title(), QStringLiteral("live set.padkbd[*] — padkbd"));
    activate(vc.mem, 2);
    vc.sendToKeyboardAction();
    QVERIFY(editor.waitForKeyboard());
    QCOMPARE(title(), QStringLiteral("sent to memory slot 3[*] — padkbd"));
    vc.readFromKeyboardAction();
    QVERIFY(editor.waitForKeyboard());
    QCOMPARE(title(), QStringLiteral("from the keyboard (firmware 01.02)[*] — padkbd"));
    vc.undoAction();
    QCOMPARE(title(), QStringLiteral("sent to memory slot 3[*] — padkbd"));
  }

  // The Edit menu undoes what the menus changed; the title says what is shown
  // and marks unsaved changes; Copy and Paste carry a control's settings.
  void editMenuTitleAndClipboard() {
    EditorHarness editor;
    auto& vc = editor.vc();
    auto& window = editor.window();
    const auto action = [&](const char* name) {
      return window.findChild<QAction*>(QString::fromLatin1(name));
    };
    QCOMPARE(window.windowTitle(),
             QStringLiteral("from the keyboard (firmware 01.02)[*] — padkbd"));
    QVERIFY(!window.isWindowModified());
    QVERIFY(!action("actionUndo")->isEnabled());

    QTest::mouseClick(editor.element(14), Qt::LeftButton);  // Pad 6
    const int red = editor.record(13)->CR;
    activate(vc.cr, 5);
    QVERIFY(window.isWindowModified());
    QCOMPARE(action("actionUndo")->text(), QStringLiteral("&Undo Pad 6 colour"));
    action("actionUndo")->trigger();
    QCOMPARE(editor.record(13)->CR, red);
    QCOMPARE(vc.cr->currentIndex(), red);
    QVERIFY(!window.isWindowModified());
    QCOMPARE(action("actionRedo")->text(), QStringLiteral("&Redo Pad 6 colour"));
    action("actionRedo")->trigger();
    QCOMPARE(vc.cr->currentIndex(), 5);

    action("actionCopy")->trigger();
    QTest::mouseClick(editor.element(15), Qt::LeftButton);  // Pad 7
    QVERIFY(action("actionPaste")->isEnabled());
    action("actionPaste")->trigger();
    QCOMPARE(editor.record(14)->CR, 5);
    QCOMPARE(vc.cr->currentIndex(), 5);
    QCOMPARE(action("actionUndo")->text(), QStringLiteral("&Undo paste onto Pad 7"));
    QTest::mouseClick(editor.element(1), Qt::LeftButton);  // a knob takes no pad's settings
    QVERIFY(!action("actionPaste")->isEnabled());

    action("actionSend")->trigger();
    QVERIFY(editor.waitForKeyboard());
    QCOMPARE(editor.sim().controlInSlot(0, 14).CR, 5);
    QCOMPARE(window.windowTitle(), QStringLiteral("sent to memory slot 1[*] — padkbd"));
    QVERIFY(!window.isWindowModified());
  }

  // Load, Default, a read and closing the window ask before edits are lost.
  void unsavedEditsAreAskedAbout() {
    EditorHarness editor;
    auto& vc = editor.vc();
    using Unsaved = padkbd::editor::DialogSeams::Unsaved;
    QStringList asked;
    Unsaved answer = Unsaved::Cancel;
    vc.dialogs.askUnsaved = [&](QWidget*, const QString& text) {
      asked << text;
      return answer;
    };
    int opened = 0;
    vc.dialogs.openDocumentPath = [&](QWidget*) {
      ++opened;
      return QString();
    };
    const fs::path document = editor.dir() / "kept.padkbd";
    vc.dialogs.saveDocumentPath = [&](QWidget*) {
      return QString::fromStdString(document.string());
    };

    QTest::mouseClick(vc.DefaultButton, Qt::LeftButton);  // nothing edited: nothing asked
    QVERIFY(asked.isEmpty());
    QTest::mouseClick(editor.element(30), Qt::LeftButton);
    activate(vc.val, 3);
    const auto edited = editor.snapshot();
    QTest::mouseClick(vc.LoadButton, Qt::LeftButton);
    QTest::mouseClick(vc.DefaultButton, Qt::LeftButton);
    editor.window().findChild<QAction*>(QStringLiteral("actionRead"))->trigger();
    QCOMPARE(asked.size(), 3);
    QVERIFY(asked.first().startsWith(QStringLiteral("Loading a preset")));
    QCOMPARE(opened, 0);
    QVERIFY(editor.snapshot() == edited);

    editor.window().show();
    QVERIFY(!editor.window().close());  // cancelled
    QVERIFY(editor.window().isVisible());
    answer = Unsaved::Save;  // saved first, then closed
    QVERIFY(editor.window().close());
    QCOMPARE(padkbd::readPresetFile(document).preset.buttons[29]->value, 3);
  }

  void sendIsConfirmedWithWhatWillChange() {
    EditorHarness editor;
    auto& vc = editor.vc();
    int asked = 0;
    QString text;
    QStringList details;
    bool send = false;
    bool dontAskAgain = false;
    vc.dialogs.confirmSend = [&](QWidget*, const QString& t, const QString& d, bool& again) {
      ++asked;
      text = t;
      details = d.split(QLatin1Char('\n'));
      again = dontAskAgain;
      return send;
    };
    QTest::mouseClick(editor.element(14), Qt::LeftButton);  // Pad 6
    activate(vc.cr, 5);
    activate(vc.channel, 3);
    activate(vc.mem, 2);
    const int writes = editor.sim().writeCount();
    QTest::mouseClick(vc.sendToKeyboardButton, Qt::LeftButton);
    QCOMPARE(text, QStringLiteral("2 settings will change in memory slot 3."));
    QCOMPARE(details.size(), 2);
    QVERIFY(details.first().startsWith(QStringLiteral("control 13 (Pad 6): channel")));
    QCOMPARE(editor.sim().writeCount(), writes);  // cancelled: nothing sent
    QVERIFY(!vc.messageWindow());

    send = dontAskAgain = true;
    QTest::mouseClick(vc.sendToKeyboardButton, Qt::LeftButton);
    QVERIFY(editor.waitForKeyboard());
    QCOMPARE(editor.sim().controlInSlot(2, 13).CR, 5);
    QVERIFY(!padkbd::SettingsFile().confirmsSend());
    QTest::mouseClick(vc.sendToKeyboardButton, Qt::LeftButton);
    QVERIFY(editor.waitForKeyboard());
    QCOMPARE(asked, 2);  // not asked again

    EditorHarness offline([](SimulatedController& sim) { sim.faults().absent = true; });
    offline.vc().dialogs.confirmSend = vc.dialogs.confirmSend;
    QTest::mouseClick(offline.vc().sendToKeyboardButton, Qt::LeftButton);
    QVERIFY(text.contains(QStringLiteral("not known")));
  }

  // Cancel: a read leaves what is shown as it was, a send says how much
  // reached the slot, a silent keyboard stops being waited for.
  void deviceWorkCanBeCancelled() {
    EditorHarness editor;
    auto& vc = editor.vc();
    auto& window = editor.window();
    using Stage = padkbd::PadAction::Progress::Stage;
    padkbd::PadAction::Progress last;
    QObject::connect(&editor.worker(), &padkbd::editor::DeviceWorker::progress, &vc,
                     [&](const padkbd::PadAction::Progress& progress) { last = progress; });
    auto* cancel = window.findChild<QPushButton*>(QStringLiteral("cancelButton"));
    const auto cancelAt = [&](Stage stage, int done) {
      QTRY_VERIFY(last.stage == stage && last.done >= done);
      QTest::mouseClick(cancel, Qt::LeftButton);
      QVERIFY(editor.waitForKeyboard());
    };
    editor.sim().changeFaults([](auto& faults) { faults.pace = std::chrono::microseconds(300); });

    // Edits of the first controls read: a cancelled read leaves them too.
    QTest::mouseClick(editor.element(14), Qt::LeftButton);  // Pad 6
    activate(vc.cr, 5);
    QTest::mouseClick(editor.element(1), Qt::LeftButton);  // Knob 1, control 0
    activate(vc.val, vc.val->currentIndex() ^ 1);
    const auto edited = editor.snapshot();
    window.findChild<QAction*>(QStringLiteral("actionRead"))->trigger();
    QVERIFY(!vc.val->isEnabled() &&
            !window.findChild<QAction*>(QStringLiteral("actionUndo"))->isEnabled());
    cancelAt(Stage::Reading, 100);
    QVERIFY(editor.snapshot() == edited);
    QCOMPARE(vc.message->text(), QStringLiteral("Reading cancelled; nothing changed."));
    QVERIFY(window.isWindowModified() && vc.val->isEnabled());

    editor.sim().resetCounters();
    QTest::mouseClick(vc.sendToKeyboardButton, Qt::LeftButton);
    cancelAt(Stage::Sending, 100);
    const int written = editor.sim().writeCount();
    QVERIFY(written >= 100 && written < 598);
    QCOMPARE(vc.message->text(), QStringLiteral("Sending cancelled.") + mixIn(written, 1));
    QCOMPARE(vc.messageWindow()->text(), vc.message->text());
    QVERIFY(!editor.sim().isInterfaceOpen());

    // A keyboard that never answers: Cancel ends the first handshake's wait.
    editor.sim().resetCounters();
    editor.sim().changeFaults([](auto& faults) {
      faults.noReplyAfter = 0;
      faults.waitOnSilence = true;
    });
    window.findChild<QAction*>(QStringLiteral("actionRead"))->trigger();
    QTRY_COMPARE(editor.progressText(), QStringLiteral("Waiting for the keyboard, attempt 1 of 5"));
    cancelAt(Stage::Handshake, 1);
    QVERIFY(editor.sim().handshakeCount() <= 2);
    QCOMPARE(vc.message->text(), QStringLiteral("Reading cancelled; nothing changed."));
    QVERIFY(editor.snapshot() == edited);
  }

  // The keyboard comes and goes: the window says so, reads a keyboard that
  // arrives while nothing of the user's would be lost, asks over edits,
  // ends a read cut short by an unplug, and sends after a replug.
  void keyboardComesAndGoes() {
    EditorHarness editor([](SimulatedController& sim) { sim.faults().absent = true; });
    auto& vc = editor.vc();
    int asked = 0;
    vc.dialogs.askReadArrived = [&](QWidget*) {
      ++asked;
      return false;
    };
    const QString connected = QStringLiteral("● Keyboard connected");
    const QString none = QStringLiteral("○ No keyboard");
    QCOMPARE(editor.keyboardState(), none);
    editor.sim().changeFaults([](auto& faults) { faults.absent = false; });
    QTRY_COMPARE(vc.firmware->text(), QStringLiteral("01.02"));  // read at once
    QCOMPARE(editor.keyboardState(), connected);
    QCOMPARE(vc.message->text(), QStringLiteral("从设备读取参数成功!"));

    // Unplugged in the middle of a read: a clear failure, nothing stale shown;
    // plugged in again, it is read at once (nothing was edited).
    const int unplugAt = static_cast<int>(editor.sim().transferCount()) + 300;
    editor.sim().changeFaults([unplugAt](auto& faults) {
      faults.pace = std::chrono::microseconds(200);
      faults.unplugAfter = unplugAt;
    });
    const auto shown = editor.snapshot();
    vc.readFromKeyboardAction();
    QVERIFY(editor.waitForKeyboard());
    QCOMPARE(vc.message->text(), kConnectFailed);
    QCOMPARE(editor.keyboardState(), none);
    QVERIFY(editor.snapshot() == shown);
    QCOMPARE(vc.firmware->text(), QStringLiteral("01.02"));
    editor.sim().replug();
    QTRY_COMPARE(vc.message->text(), QStringLiteral("从设备读取参数成功!"));
    QCOMPARE(asked, 0);

    // In bulk mode nothing is read, and nothing asked.
    vc.bulkChange();
    editor.sim().changeFaults([](auto& faults) { faults.absent = true; });
    QTRY_COMPARE(editor.keyboardState(), none);
    editor.sim().changeFaults([](auto& faults) { faults.absent = false; });
    QTRY_COMPARE(editor.keyboardState(), connected);
    QVERIFY(!editor.worker().busy());
    vc.bulkChange();

    // Over edits it asks; kept edits are sent to the keyboard after the replug.
    QTest::mouseClick(editor.element(14), Qt::LeftButton);  // Pad 6
    activate(vc.cr, 5);
    editor.sim().changeFaults([](auto& faults) { faults.absent = true; });
    QTRY_COMPARE(editor.keyboardState(), none);
    editor.sim().changeFaults([](auto& faults) { faults.absent = false; });
    QTRY_COMPARE(asked, 1);
    QCOMPARE(editor.record(13)->CR, 5);
    QTest::mouseClick(vc.sendToKeyboardButton, Qt::LeftButton);
    QVERIFY(editor.waitForKeyboard());
    QCOMPARE(vc.message->text(), kSendSucceeded);
    QCOMPARE(editor.sim().controlInSlot(0, 13).CR, 5);

    // Where the platform tells nothing of devices coming, they are looked for.
    EditorHarness polled([](SimulatedController& sim) {
      sim.faults().absent = true;
      sim.faults().noHotplug = true;
    });
    QCOMPARE(polled.keyboardState(), none);
    polled.sim().changeFaults([](auto& faults) { faults.absent = false; });
    QTRY_COMPARE(polled.keyboardState(), connected);
  }

  // The shipped translations are used by every window: English for the
  // window, the message window and the gain dialog, Chinese for the
  // Keyboard dialog (whose source texts are English).
  void translationsReachEveryWindow() {
    struct SourceTexts {
      ~SourceTexts() { padkbd::editor::useLanguage(QString()); }
    } restore;
    QVERIFY(!padkbd::editor::useLanguage(QStringLiteral("xx")));
    QVERIFY(padkbd::editor::useLanguage(QStringLiteral("en")));
    EditorHarness editor;
    auto& vc = editor.vc();
    QCOMPARE(vc.message->text(), QStringLiteral("Settings read from the keyboard."));
    QCOMPARE(vc.BulkButton->text(), QStringLiteral("Bulk change…"));
    vc.sendToKeyboardAction();
    QVERIFY(editor.waitForKeyboard());
    QCOMPARE(vc.messageWindow()->text(), QStringLiteral("Sent to the keyboard."));
    vc.messageWindow()->close();
    auto* gains = openGains(editor);
    gains->doApplyAction();
    QVERIFY(editor.waitForKeyboard());
    QCOMPARE(gains->status(), QStringLiteral("Sent to the keyboard."));
    QVERIFY(padkbd::editor::useLanguage(QStringLiteral("zh_CN")));
    QCOMPARE(openKeyboard(editor)->windowTitle(), QStringLiteral("键盘"));
    QVERIFY(padkbd::editor::useLanguage(QString()));  // the source texts again
    QCOMPARE(padkbd::editor::KeyboardController::tr("Keyboard"), QStringLiteral("Keyboard"));
  }

  void platformDialogsAsTheUserSeesThem() {
    EditorHarness editor;
    auto& vc = editor.vc();
    const padkbd::editor::DialogSeams platform = padkbd::editor::platformDialogs();
    vc.dialogs = platform;
    const fs::path document = editor.dir() / "Untitle.padkbd";
    // The first file dialog opens in the folder the settings remember.
    const fs::path remembered = editor.dir() / "sets";
    fs::create_directories(remembered);
    QVERIFY(padkbd::SettingsFile().storeLastFolder(remembered.string()));
    QString startedIn;

    // The save dialog: its message, the suggested name and type; confirming it saves.
    QString title;
    QStringList filters;
    QString suffix;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      title = dialog->windowTitle();
      startedIn = dialog->directory().absolutePath();
      filters = dialog->nameFilters();
      suffix = dialog->defaultSuffix();
      dialog->setDirectory(QString::fromStdString(editor.dir().path().string()));
      dialog->selectFile(QStringLiteral("Untitle.padkbd"));
      QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
      static_cast<QDialog*>(dialog)->accept();
    });
    vc.saveAction();
    QCOMPARE(title, QStringLiteral("Choose the path to save the document"));
    QCOMPARE(startedIn, QString::fromStdString(remembered.string()));
    QVERIFY(filters.first().contains(QStringLiteral("*.padkbd")));
    QCOMPARE(suffix, QStringLiteral("padkbd"));
    QVERIFY(fs::exists(document));

    // The open dialog opens where the save was made; cancelled, nothing happens.
    const QString folder = QString::fromStdString(editor.dir().path().string());
    QCOMPARE(QString::fromStdString(padkbd::SettingsFile().lastFolder()), folder);
    const auto before = editor.snapshot();
    QString openedIn;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      mode = dialog->fileMode();
      openedIn = dialog->directory().absolutePath();
      dialog->reject();
    });
    vc.loadAction();
    QCOMPARE(mode, QFileDialog::ExistingFile);
    QCOMPARE(openedIn, folder);
    QVERIFY(editor.snapshot() == before);

    // A refused document: a message box names the reason.
    const fs::path damaged = editor.dir() / "short.padkbd";
    std::ofstream(damaged) << "not a preset";
    vc.dialogs.openDocumentPath = [&](QWidget*) {
      return QString::fromStdString(damaged.string());
    };
    QString boxText;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      QVERIFY(box);
      boxText = box->text();
      box->accept();
    });
    vc.loadAction();
    QVERIFY(boxText.contains(QStringLiteral("short.padkbd")));
    QVERIFY(editor.snapshot() == before);
  }

  void failedWorkingCopyWriteStopsTheSave() {
    EditorHarness editor;
    auto& vc = editor.vc();
    // The working copy's folder is a regular file, so no write can succeed.
    const fs::path folder = editor.files().workingCopyPath().parent_path();
    fs::remove_all(folder);
    fs::create_directories(folder.parent_path());
    std::ofstream(folder) << "in the way";
    int saveAsked = 0;
    vc.dialogs.saveDocumentPath = [&](QWidget*) {
      ++saveAsked;
      return QString::fromStdString((editor.dir() / "never.padkbd").string());
    };
    QStringList problems;
    vc.dialogs.showProblem = [&](QWidget*, const QString&, const QString& text) {
      problems << text;
    };
    QTest::mouseClick(vc.SaveButton, Qt::LeftButton);
    QCOMPARE(problems.size(), 1);
    QCOMPARE(saveAsked, 0);
    QVERIFY(!fs::exists(editor.dir() / "never.padkbd"));
  }
};

QTEST_MAIN(ActionsTest)
#include "ActionsTest.moc"

// The editor window from the keyboard alone, and as assistive technology
// reads it.
#include <QAccessible>
#include <QWheelEvent>

#include "editor/SelectorSurface.h"
#include "tests/editor/EditorHarness.h"

using namespace padkbd;
using namespace padkbd::test;
using padkbd::editor::focusedElement;

namespace {

QAccessibleInterface* accessible(QWidget* element) {
  return QAccessible::queryAccessibleInterface(element);
}

// Name and description as a screen reader has them.
QStringList spoken(QWidget* element) {
  return {accessible(element)->text(QAccessible::Name),
          accessible(element)->text(QAccessible::Description)};
}

}  // namespace

class AccessTest : public QObject {
  Q_OBJECT

 private slots:
  // A click puts the focus on the surface, even from a pop-up; the arrows
  // then move the current control as clicks would, over rows and columns
  // as on the keyboard, stopping at the edges; Space (Return and Enter: the
  // same case) switches the bank. Nothing is edited, nothing can be undone. (What a click shows:
  // WindowTest::selectorsChooseTheControl.)
  void arrowsMoveTheCurrentControl() {
    EditorHarness editor({}, EditorHarness::Start::Shown);
    auto& vc = editor.vc();
    editor.menu("globalC")->setFocus();
    editor.click(9);  // Pad 1, control 8
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(vc.surface));
    using K = Qt::Key;
    // Keys, how many times, the current control, the cursor's element, the bank.
    const std::tuple<Qt::Key, int, int, const char*, bool> steps[] = {
        // clang-format off
        {K::Key_Left, 1, 8, "pad1", false},  // the row headers are no selectors
        {K::Key_Up, 1, 0, "white1", false},
        // Moved onto, the bank switch switches nothing.
        {K::Key_Left, 1, 0, "bankSwitch", false},  {K::Key_Down, 1, 8, "pad1", false},
        {K::Key_Right, 7, 15, "pad8", false},      {K::Key_Right, 1, 15, "pad8", false},
        {K::Key_Down, 5, 55, "pad48", false},      {K::Key_Down, 1, 63, "other8", false},
        {K::Key_Down, 1, 63, "other8", false},     {K::Key_Left, 7, 56, "other1", false},
        {K::Key_Up, 7, 0, "white1", false},        {K::Key_Left, 1, 0, "bankSwitch", false},
        // Chosen, it takes the current control to its partner. (The white
        // selectors of the second bank: WindowTest::selectorsChooseTheControl;
        // Enter: bulkModeChoosesFromTheKeyboard.)
        {K::Key_Space, 1, 8, "bankSwitch", true},  {K::Key_Space, 1, 0, "bankSwitch", false},
        // clang-format on
    };
    for (const auto& [key, times, current, cursor, secondBank] : steps) {
      for (int n = 0; n < times; ++n) QTest::keyClick(vc.surface, key);
      QVERIFY(vc.session().current() == editor.record(current));
      QCOMPARE(focusedElement(vc.surface)->objectName(), QString::fromLatin1(cursor));
      QCOMPARE(vc.session().secondBank(), secondBank);
    }
    // Tab is not the surface's own key: it goes on to the first pop-up, and Shift+Tab comes back.
    QTest::keyClick(vc.surface, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(editor.menu("globalC")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(vc.surface));
    QVERIFY(!vc.session().canUndo());  // an edit would be a step
  }

  // In bulk mode the arrows move the cursor only; Space, Enter and Return
  // (one case in surfaceKey) choose and unchoose the pad under it.
  void bulkModeChoosesFromTheKeyboard() {
    EditorHarness editor({}, EditorHarness::Start::Shown);
    auto& vc = editor.vc();
    editor.click(14);  // Pad 6
    vc.bulkChange();
    const auto bulkRecord = vc.session().current();
    // A key, the cursor's element after it, the pads chosen.
    const std::tuple<Qt::Key, const char*, QStringList> steps[] = {
        {Qt::Key_Space, "pad6", {"14"}},
        {Qt::Key_Right, "pad7", {"14"}},
        {Qt::Key_Down, "pad15", {"14"}},
        {Qt::Key_Enter, "pad15", {"14", "23"}},
        {Qt::Key_Return, "pad15", {"14"}}};
    for (const auto& [key, cursor, chosen] : steps) {
      QTest::keyClick(vc.surface, key);
      QCOMPARE(focusedElement(vc.surface)->objectName(), QString::fromLatin1(cursor));
      QCOMPARE(editor.selectedTags(), chosen);
      QVERIFY(vc.session().current() == bulkRecord);
      // A screen reader hears chosen as checked, for the pad under the cursor.
      const QAccessible::State state = accessible(focusedElement(vc.surface))->state();
      QVERIFY(state.checkable && state.focused && !state.selected);
      QCOMPARE(bool(state.checked),
               chosen.contains(QString::number(editor::tagOf(focusedElement(vc.surface)))));
    }
  }

  // The wheel turns a pop-up only once it has the focus; before, the wheel
  // goes on to what holds it. (Global and control pop-ups alike go through
  // `guarded()`; a control's is turned here.) (A turned pop-up
  // reaches the preset through `activated`, as WindowTest::editsReachTheCurrentPreset
  // checks for every pop-up.)
  void wheelTurnsOnlyAFocusedPopUp() {
    EditorHarness editor({}, EditorHarness::Start::Shown);
    editor.click(14);
    QComboBox* combo = editor.menu("CCnum");
    const int before = combo->currentIndex();
    const auto turn = [&] {
      QWheelEvent wheel(QPointF(5, 5), combo->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                        Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
      QApplication::sendEvent(combo, &wheel);
      return wheel.isAccepted();
    };
    QVERIFY(!turn() && combo->currentIndex() == before);
    combo->setFocus();
    QVERIFY(turn() && combo->currentIndex() == before + 1);
  }

  // Each selector reads as a button named after its control and described by
  // what it sends, on which channel, in which colour; it says which one is
  // current, and follows edits and the bank.
  void selectorsReadAloud() {
    EditorHarness editor({}, EditorHarness::Start::Shown);
    auto& vc = editor.vc();
    // (Pad 1, red: in the second bank, below.)
    for (const auto& [tag, name, description] : {std::tuple{1, "Knob 1", "note G#-2, channel 2"},
                                                 {57, "Button 1", "RPN 76, channel 7"},
                                                 {14, "Pad 6", "controller 50, channel 15, orange"},
                                                 {53, "Pad 45", "no note, channel 3, pink"}})
      QCOMPARE(spoken(editor.element(tag)), (QStringList{name, description}));
    QCOMPARE(accessible(editor.element(14))->state().selected, false);
    editor.click(14);
    QAccessible::State state = accessible(editor.element(14))->state();
    QVERIFY(state.selected && state.focused && !state.checked);
    // A note, on the global channel, in purple.
    for (const auto& [menu, position] :
         {std::pair{"mode", 0}, {"CCnum", 40}, {"channel", 16}, {"cr", 64}, {"cg", 0}, {"cb", 127}})
      editor.choose(menu, position);
    QVERIFY_SHOWN(editor, "pad6-note-global-purple");  // Pad 6: note E0, channel Global, purple
    editor.record(13)->CR = -1;  // as a document can have it
    vc.showAll();
    QCOMPARE(spoken(editor.element(14)), (QStringList{"Pad 6", "note E0, channel Global, unlit"}));
    QTest::mouseClick(vc.bankSwitch, Qt::LeftButton);
    QCOMPARE(spoken(editor.element(1)), (QStringList{"Pad 1", "note E0, channel 10, red"}));
    QCOMPARE(spoken(vc.bankSwitch).first(), QStringLiteral("Bank 2"));
    QVERIFY(accessible(vc.bankSwitch)->state().checked);
    QCOMPARE(padkbd::editor::colourWord(QColor(128, 128, 128)), QStringLiteral("grey"));
    QCOMPARE(padkbd::editor::colourWord(QColor(255, 255, 255)), QStringLiteral("white"));
  }
};

QTEST_MAIN(AccessTest)
#include "AccessTest.moc"

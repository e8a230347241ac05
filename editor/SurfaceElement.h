// The parts the selector surface is built of: its elements, with what each
// is and shows kept in typed state, and the headers of the pad rows. The
// functions in SelectorSurface.h change that state; SurfaceElement.cpp
// draws it.
#pragma once

#include <QColor>
#include <QString>
#include <QToolButton>

namespace padkbd::editor {

// How an element is drawn.
enum class Look { Pad, Knob, Button };
// Which of the window's handlers a click on the element calls.
enum class Handler { White, Black, Bank };

struct ElementState {
  Look look = Look::Button;
  Handler handler = Handler::Black;
  int tag = -1;           // white 1-8, black 9-64; -1 for the bank switch
  bool selected = false;  // the image it shows: ringed ("selected") or not ("unselected")
  // Pads and the white selectors can show a pad's colour; the white ones
  // hide it while they stand for no pad.
  bool hasLight = false;
  bool lightShown = false;
  QColor light;      // invalid: the pad is unlit
  QString note;      // the note a pad plays ("C1"); empty for none
  bool lit = false;  // its control was just played
  QString litValue;  // shown small on it while lit (a velocity, a step)
  // The last click's modifiers, for its handler (Shift-click, Ctrl+click).
  Qt::KeyboardModifiers modifiers;
};

// A selector drawn in its look: pads as rubber pads filled with their
// colour, knobs and buttons with their name below. The chosen one gets a
// ring around it, apart from its fill, so no pad colour reads as chosen.
class SurfaceElement : public QToolButton {
  Q_OBJECT

 public:
  SurfaceElement(QWidget* parent, Look look, Handler handler, int tag);

  // What it is and shows; whoever changes what it shows calls update().
  const ElementState& state() const { return state_; }
  ElementState& state() { return state_; }

  QSize sizeHint() const override { return minimumSizeHint() + QSize(10, 12); }
  QSize minimumSizeHint() const override;

 protected:
  // Clicked, it takes the surface's focus cursor (the surface takes the focus).
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void paintFocus(QPainter& p);
  void paintPlayed(QPainter& p, const QRectF& around, bool round);
  void paintRing(QPainter& p, const QRectF& around, bool selected, bool round);
  void paintPad(QPainter& p, const QRectF& pad, bool selected, const QRectF& area);
  void paintKnob(QPainter& p, const QRectF& knob);
  void paintButton(QPainter& p, const QRectF& button, bool selected);

  ElementState state_;
};

// The element `object` is, if it is one.
inline const SurfaceElement* asElement(const QObject* object) {
  return qobject_cast<const SurfaceElement*>(object);
}
inline SurfaceElement* asElement(QObject* object) {
  return qobject_cast<SurfaceElement*>(object);
}

// Beside each row of pads, shown in bulk mode: chooses the whole row.
class RowHeader : public QToolButton {
  Q_OBJECT

 public:
  RowHeader(QWidget* parent, int row) : QToolButton(parent), row_(row) {}
  int row() const { return row_; }  // 0 for the top row of pads

 private:
  int row_;
};

}  // namespace padkbd::editor

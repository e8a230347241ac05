#include "editor/SurfaceElement.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

#include "editor/PadColours.h"
#include "editor/SelectorSurface.h"

namespace padkbd::editor {

namespace {

// The keyboard's body is dark whatever the desktop's theme; what is drawn on
// it is drawn for that.
const QColor kLabel(214, 218, 224);
const QColor kRing(255, 255, 255);
// A played control glows in a colour no pad setting suggests is chosen.
const QColor kPlayed(90, 220, 255);
// The keyboard's focus cursor: dashed, so it reads apart from the chosen ring and a glow.
const QColor kFocusFrame(255, 200, 60);

// Black or white, whichever reads on `fill`.
QColor textOn(const QColor& fill) {
  return qGray(fill.rgb()) > 140 ? QColor(20, 20, 24) : QColor(244, 246, 248);
}

}  // namespace

SurfaceElement::SurfaceElement(QWidget* parent, Look look, Handler handler, int tag)
    : QToolButton(parent) {
  state_.look = look;
  state_.handler = handler;
  state_.tag = tag;
  state_.hasLight = look == Look::Pad || handler == Handler::White;
  setAutoRaise(true);
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_Hover);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize SurfaceElement::minimumSizeHint() const {
  return state_.look == Look::Button ? QSize(56, 40) : QSize(56, 50);
}

void SurfaceElement::mousePressEvent(QMouseEvent* event) {
  setFocusedElement(this);
  QToolButton::mousePressEvent(event);
}

// The click's modifiers stay with the element for its handler (Shift-click).
void SurfaceElement::mouseReleaseEvent(QMouseEvent* event) {
  state_.modifiers = event->modifiers();
  QToolButton::mouseReleaseEvent(event);
}

void SurfaceElement::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  if (!isEnabled()) p.setOpacity(0.55);
  const Look look = state_.look;
  const bool selected = state_.selected;
  QFont small = font();
  small.setPointSizeF(std::max(7.0, font().pointSizeF() - 1.5));
  p.setFont(small);
  const int textHeight = QFontMetrics(small).height();

  if (look == Look::Pad) {
    const qreal side = std::min(width(), height()) - 2.0;
    const QRectF area((width() - side) / 2, (height() - side) / 2, side, side);
    paintPad(p, area.adjusted(5, 5, -5, -5), selected, area);
    paintPlayed(p, area.adjusted(2, 2, -2, -2), false);
    paintFocus(p);
    return;
  }
  // Knob or button: the shape above, the name below.
  const QRectF free(0, 0, width(), height() - textHeight - 2);
  const qreal side = std::min(free.width(), free.height()) - 2.0;
  QRectF shape(free.center().x() - side / 2, free.center().y() - side / 2, side, side);
  if (look == Look::Button) {
    shape = QRectF(free.center().x() - side * 0.75, free.center().y() - side * 0.32, side * 1.5,
                   side * 0.64);
  }
  paintRing(p, shape.adjusted(-3, -3, 3, 3), selected, look == Look::Knob);
  if (look == Look::Knob) {
    paintKnob(p, shape.adjusted(3, 3, -3, -3));
  } else {
    paintButton(p, shape.adjusted(2, 2, -2, -2), selected);
  }
  paintPlayed(p, shape.adjusted(-5, -5, 5, 5), look == Look::Knob);
  p.setPen(kLabel);
  p.drawText(QRectF(0, height() - textHeight - 1, width(), textHeight), Qt::AlignCenter, text());
  // A white selector standing for a pad shows the pad's colour in a light.
  if (state_.lightShown) {
    const QColor& colour = state_.light;
    const QRectF dot(shape.right() - 9, shape.top() - 1, 11, 11);
    p.setPen(QPen(colour.isValid() ? colour.darker(170) : QColor(110, 110, 110), 1));
    p.setBrush(padFill(colour));
    p.drawEllipse(dot);
  }
  paintFocus(p);
}

void SurfaceElement::paintFocus(QPainter& p) {
  const auto* grid = qobject_cast<const SelectorGrid*>(parentWidget());
  if (grid == nullptr || !grid->hasFocus() || focusedElement(grid) != this) return;
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(kFocusFrame, 2, Qt::DashLine));
  p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 8, 8);
}

// Over the normal look: a glow and a bright ring, the value in a tag at the top.
void SurfaceElement::paintPlayed(QPainter& p, const QRectF& around, bool round) {
  if (!state_.lit) return;
  QColor glow = kPlayed;
  glow.setAlpha(70);
  p.setPen(QPen(glow, 7));
  p.setBrush(Qt::NoBrush);
  round ? p.drawEllipse(around) : p.drawRoundedRect(around, 10, 10);
  p.setPen(QPen(kPlayed, 3));
  round ? p.drawEllipse(around) : p.drawRoundedRect(around, 10, 10);
  const QString& value = state_.litValue;
  if (value.isEmpty()) return;
  const QFontMetricsF metrics(p.font());
  const qreal w = metrics.horizontalAdvance(value) + 8, h = metrics.height();
  // Inside the element: a knob's ring reaches its top edge.
  const QRectF tag(around.center().x() - w / 2, std::max<qreal>(0, around.top() - 1), w, h);
  p.setPen(Qt::NoPen);
  p.setBrush(kPlayed);
  p.drawRoundedRect(tag, h / 2, h / 2);
  p.setPen(QColor(10, 30, 40));
  p.drawText(tag, Qt::AlignCenter, value);
}

void SurfaceElement::paintRing(QPainter& p, const QRectF& around, bool selected, bool round) {
  if (!selected && !underMouse()) return;
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(selected ? kRing : QColor(255, 255, 255, 60), selected ? 2.5 : 1.5));
  if (round) {
    p.drawEllipse(around);
  } else {
    p.drawRoundedRect(around, 9, 9);
  }
}

void SurfaceElement::paintPad(QPainter& p, const QRectF& pad, bool selected, const QRectF& area) {
  paintRing(p, area.adjusted(1.5, 1.5, -1.5, -1.5), selected, false);
  const QColor colour = state_.lightShown ? state_.light : QColor();
  const QColor fill = padFill(colour);
  if (colour.isValid()) {
    // A lit pad glows a little beyond its edge.
    QRadialGradient glow(pad.center(), pad.width() * 0.75);
    QColor halo = colour;
    halo.setAlpha(90);
    glow.setColorAt(0.6, halo);
    halo.setAlpha(0);
    glow.setColorAt(1.0, halo);
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawRoundedRect(pad.adjusted(-4, -4, 4, 4), 10, 10);
  }
  QLinearGradient body(pad.topLeft(), pad.bottomLeft());
  body.setColorAt(0, fill.lighter(118));
  body.setColorAt(1, fill.darker(118));
  p.setPen(QPen(fill.darker(160), 1));
  p.setBrush(body);
  p.drawRoundedRect(pad, 7, 7);

  p.setPen(textOn(fill));
  const QString& note = state_.note;
  const QRectF inner = pad.adjusted(2, 2, -2, -3);
  if (note.isEmpty()) {
    p.drawText(inner, Qt::AlignHCenter | Qt::AlignBottom, text());
  } else {
    p.drawText(inner, Qt::AlignHCenter | Qt::AlignBottom, text() + QLatin1Char('\n') + note);
  }
}

void SurfaceElement::paintKnob(QPainter& p, const QRectF& knob) {
  QRadialGradient cap(knob.center() - QPointF(knob.width() / 6, knob.height() / 6),
                      knob.width() * 0.7);
  cap.setColorAt(0, QColor(120, 124, 132));
  cap.setColorAt(1, QColor(40, 43, 49));
  p.setPen(QPen(QColor(20, 21, 24), 1));
  p.setBrush(cap);
  p.drawEllipse(knob);
  // The pointer, at seven o'clock as a knob turned fully down.
  const QPointF centre = knob.center();
  const qreal r = knob.width() / 2 - 3;
  const qreal angle = 3.14159265 * 0.75;
  p.setPen(QPen(kLabel, 2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(centre + QPointF(std::cos(angle), std::sin(angle)) * r * 0.35,
             centre + QPointF(std::cos(angle), std::sin(angle)) * r);
}

void SurfaceElement::paintButton(QPainter& p, const QRectF& button, bool selected) {
  QLinearGradient body(button.topLeft(), button.bottomLeft());
  body.setColorAt(0, QColor(226, 229, 234));
  body.setColorAt(1, QColor(168, 173, 182));
  p.setPen(QPen(QColor(30, 32, 36), 1));
  p.setBrush(body);
  p.drawRoundedRect(button, 5, 5);
  // The bank switch lights while the second bank is on.
  if (selected && state_.handler == Handler::Bank) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 176, 46));
    p.drawEllipse(QRectF(button.center().x() - 4, button.center().y() - 4, 8, 8));
  }
}

}  // namespace padkbd::editor

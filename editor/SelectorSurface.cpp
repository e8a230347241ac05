#include "editor/SelectorSurface.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <map>

#include "editor/ListLabels.h"
#include "model/NoteNames.h"
#include "model/Playing.h"

namespace padkbd::editor {

namespace {

constexpr int kColumns = 8;
constexpr int kPadRows = 6;

// The shipped control names call controls 0 to 7 knobs and 56 to 63 buttons,
// so the white selectors are drawn as knobs and the last black row as buttons.
constexpr const char* kWhiteLook = "knob";
constexpr const char* kOtherLook = "button";

// The keyboard's body is dark whatever the desktop's theme; what is drawn on
// it is drawn for that.
const QColor kLabel(214, 218, 224);
const QColor kBody(36, 39, 45);  // the window's #surface
const QColor kUnlitPad(58, 62, 70);
const QColor kRing(255, 255, 255);
// A played control glows in a colour no pad setting suggests is chosen.
const QColor kPlayed(90, 220, 255);
// The keyboard's focus cursor: dashed, so it reads apart from the chosen ring and a glow.
const QColor kFocusFrame(255, 200, 60);

bool isPad(const QObject* element) {
  return element->property("look").toString() == QLatin1String("pad");
}

// Black or white, whichever reads on `fill`.
QColor textOn(const QColor& fill) {
  return qGray(fill.rgb()) > 140 ? QColor(20, 20, 24) : QColor(244, 246, 248);
}

// A selector drawn in its look: pads as rubber pads filled with their
// colour, knobs and buttons with their name below. The chosen one gets a
// ring around it, apart from its fill, so no pad colour reads as chosen.
class SurfaceElement : public QToolButton {
 public:
  SurfaceElement(QWidget* parent, const char* look) : QToolButton(parent) {
    setProperty("look", look);
    setAutoRaise(true);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  }

  QSize sizeHint() const override { return minimumSizeHint() + QSize(10, 12); }
  QSize minimumSizeHint() const override {
    const QString look = property("look").toString();
    if (look == QLatin1String("pad")) return {56, 50};
    return look == QLatin1String("knob") ? QSize(56, 50) : QSize(56, 40);
  }

 protected:
  // Clicked, it takes the surface's focus cursor (the surface takes the focus).
  void mousePressEvent(QMouseEvent* event) override {
    setFocusedElement(this);
    QToolButton::mousePressEvent(event);
  }

  // The click's modifiers stay with the element for its handler (Shift-click).
  void mouseReleaseEvent(QMouseEvent* event) override {
    setProperty("modifiers", static_cast<int>(event->modifiers()));
    QToolButton::mouseReleaseEvent(event);
  }

  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled()) p.setOpacity(0.55);
    const QString look = property("look").toString();
    const bool selected = imageOf(this) == QLatin1String("selected");
    QFont small = font();
    small.setPointSizeF(std::max(7.0, font().pointSizeF() - 1.5));
    p.setFont(small);
    const int textHeight = QFontMetrics(small).height();

    if (look == QLatin1String("pad")) {
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
    if (look == QLatin1String("button")) {
      shape = QRectF(free.center().x() - side * 0.75, free.center().y() - side * 0.32, side * 1.5,
                     side * 0.64);
    }
    paintRing(p, shape.adjusted(-3, -3, 3, 3), selected, look == QLatin1String("knob"));
    if (look == QLatin1String("knob")) {
      paintKnob(p, shape.adjusted(3, 3, -3, -3));
    } else {
      paintButton(p, shape.adjusted(2, 2, -2, -2), selected);
    }
    paintPlayed(p, shape.adjusted(-5, -5, 5, 5), look == QLatin1String("knob"));
    p.setPen(kLabel);
    p.drawText(QRectF(0, height() - textHeight - 1, width(), textHeight), Qt::AlignCenter, text());
    // A white selector standing for a pad shows the pad's colour in a light.
    if (property("lightShown").toBool()) {
      const QColor colour = property("light").value<QColor>();
      const QRectF dot(shape.right() - 9, shape.top() - 1, 11, 11);
      p.setPen(QPen(colour.isValid() ? colour.darker(170) : QColor(110, 110, 110), 1));
      p.setBrush(colour.isValid() ? colour : kUnlitPad);
      p.drawEllipse(dot);
    }
    paintFocus(p);
  }

 private:
  void paintFocus(QPainter& p) {
    if (!parentWidget()->hasFocus() || focusedElement(parentWidget()) != this) return;
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kFocusFrame, 2, Qt::DashLine));
    p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 8, 8);
  }

  // Over the normal look: a glow and a bright ring, the value in a tag at the top.
  void paintPlayed(QPainter& p, const QRectF& around, bool round) {
    if (!litOf(this)) return;
    QColor glow = kPlayed;
    glow.setAlpha(70);
    p.setPen(QPen(glow, 7));
    p.setBrush(Qt::NoBrush);
    round ? p.drawEllipse(around) : p.drawRoundedRect(around, 10, 10);
    p.setPen(QPen(kPlayed, 3));
    round ? p.drawEllipse(around) : p.drawRoundedRect(around, 10, 10);
    const QString value = litValueOf(this);
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

  void paintRing(QPainter& p, const QRectF& around, bool selected, bool round) {
    if (!selected && !underMouse()) return;
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(selected ? kRing : QColor(255, 255, 255, 60), selected ? 2.5 : 1.5));
    if (round) {
      p.drawEllipse(around);
    } else {
      p.drawRoundedRect(around, 9, 9);
    }
  }

  void paintPad(QPainter& p, const QRectF& pad, bool selected, const QRectF& area) {
    paintRing(p, area.adjusted(1.5, 1.5, -1.5, -1.5), selected, false);
    const QColor colour =
        property("lightShown").toBool() ? property("light").value<QColor>() : QColor();
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
    const QString note = property("note").toString();
    const QRectF inner = pad.adjusted(2, 2, -2, -3);
    if (note.isEmpty()) {
      p.drawText(inner, Qt::AlignHCenter | Qt::AlignBottom, text());
    } else {
      p.drawText(inner, Qt::AlignHCenter | Qt::AlignBottom, text() + QLatin1Char('\n') + note);
    }
  }

  void paintKnob(QPainter& p, const QRectF& knob) {
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

  void paintButton(QPainter& p, const QRectF& button, bool selected) {
    QLinearGradient body(button.topLeft(), button.bottomLeft());
    body.setColorAt(0, QColor(226, 229, 234));
    body.setColorAt(1, QColor(168, 173, 182));
    p.setPen(QPen(QColor(30, 32, 36), 1));
    p.setBrush(body);
    p.drawRoundedRect(button, 5, 5);
    // The bank switch lights while the second bank is on.
    if (selected && property("selector").toString() == QLatin1String("bank")) {
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(255, 176, 46));
      p.drawEllipse(QRectF(button.center().x() - 4, button.center().y() - 4, 8, 8));
    }
  }
};

// A selector to assistive technology: a button named after its control,
// described by what it sends; current (selected) outside bulk mode, chosen
// (checked) in it; the bank switch checked while the second bank is on.
class ElementAccessible : public QAccessibleWidget {
 public:
  explicit ElementAccessible(QWidget* element) : QAccessibleWidget(element, QAccessible::Button) {}

  QString text(QAccessible::Text kind) const override {
    const auto* element = static_cast<const QAbstractButton*>(widget());
    if (kind == QAccessible::Name && element->accessibleName().isEmpty()) return element->text();
    return QAccessibleWidget::text(kind);
  }

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    const QWidget* surface = widget()->parentWidget();
    state.focusable = true;
    state.focused = surface->hasFocus() && focusedElement(surface) == widget();
    const bool ringed = imageOf(widget()) == QLatin1String("selected");
    if (widget()->property("selector").toString() == QLatin1String("bank") ||
        surface->property("bulk").toBool()) {
      state.checkable = true;
      state.checked = ringed;
    } else {
      state.selectable = true;
      state.selected = ringed;
    }
    return state;
  }

  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& name) override {
    if (name == pressAction()) clickElement(static_cast<QAbstractButton*>(widget()));
  }
};

// The surface itself: its focus is on the element under its cursor.
class SurfaceAccessible : public QAccessibleWidget {
 public:
  explicit SurfaceAccessible(QWidget* surface)
      : QAccessibleWidget(surface, QAccessible::Grouping) {}
  QAccessibleInterface* focusChild() const override {
    QAbstractButton* element = focusedElement(widget());
    return widget()->hasFocus() && element ? QAccessible::queryAccessibleInterface(element)
                                           : QAccessibleWidget::focusChild();
  }
};

QAccessibleInterface* surfaceAccessible(const QString&, QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  if (widget == nullptr) return nullptr;
  if (widget->property("look").isValid()) return new ElementAccessible(widget);
  if (widget->property("surface").toBool()) return new SurfaceAccessible(widget);
  return nullptr;
}

QToolButton* makeElement(QWidget* parent, const QString& name, const char* selector,
                         const char* look, int tag) {
  auto* element = new SurfaceElement(parent, look);
  element->setObjectName(name);
  element->setProperty("selector", selector);
  if (tag > 0) element->setProperty("tag", tag);
  const bool pad = QString::fromLatin1(look) == QLatin1String("pad");
  element->setProperty("hasLight", pad || QString::fromLatin1(selector) == QLatin1String("white"));
  setImage(element, QStringLiteral("unselected"));
  return element;
}

}  // namespace

void buildSelectorSurface(QWidget* grid) {
  static const bool accessible = (QAccessible::installFactory(surfaceAccessible), true);
  Q_UNUSED(accessible);
  grid->setProperty("surface", true);
  grid->setFocusPolicy(Qt::StrongFocus);
  grid->setAccessibleName(QCoreApplication::translate("SelectorSurface", "Keyboard controls"));
  auto* layout = new QGridLayout(grid);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setHorizontalSpacing(4);
  layout->setVerticalSpacing(4);

  // Row 0: the bank switch and the eight white selectors (controls 0-7, or
  // 8-15 with the second bank). They sit in columns 1-8 like every row.
  auto* bank = makeElement(grid, QStringLiteral("bankSwitch"), "bank", "button", 0);
  bank->setText(QCoreApplication::translate("SelectorSurface", "Bank 2"));
  bank->setToolTip(QCoreApplication::translate(
      "SelectorSurface", "Bank switch: the top row edits Pad 1-8 while it is lit"));
  layout->addWidget(bank, 0, 0);
  for (int n = 0; n < kWhiteButtonCount; ++n) {
    const int tag = n + 1;
    layout->addWidget(
        makeElement(grid, QStringLiteral("white%1").arg(tag), "white", kWhiteLook, tag), 0, n + 1);
  }
  // A little air between the controls row and the pads.
  layout->setRowMinimumHeight(1, 6);
  // Rows 2-7: the 48 pads, tags 9-56 (controls 8-55), in reading order; in
  // column 0 a header per row, for choosing a whole row in bulk mode.
  for (int row = 0; row < kPadRows; ++row) {
    auto* header = new QToolButton(grid);
    header->setObjectName(QStringLiteral("rowHeader%1").arg(row + 1));
    header->setProperty("row", row);
    header->setText(QCoreApplication::translate("SelectorSurface", "Row %1 ▸").arg(row + 1));
    header->setToolTip(
        QCoreApplication::translate("SelectorSurface", "Choose every pad of this row"));
    header->setFocusPolicy(Qt::NoFocus);
    header->hide();  // bulk mode shows them
    layout->addWidget(header, 2 + row, 0, Qt::AlignCenter);
    layout->setRowStretch(2 + row, 1);
  }
  for (int n = 0; n < kPadRows * kColumns; ++n) {
    const int tag = 9 + n;
    layout->addWidget(makeElement(grid, QStringLiteral("pad%1").arg(n + 1), "black", "pad", tag),
                      2 + n / kColumns, 1 + n % kColumns);
  }
  layout->setRowMinimumHeight(8, 6);
  // Row 9: the eight other controls 56-63, tags 57-64.
  for (int n = 0; n < kColumns; ++n) {
    const int tag = 57 + n;
    layout->addWidget(
        makeElement(grid, QStringLiteral("other%1").arg(n + 1), "black", kOtherLook, tag), 9,
        1 + n);
  }
  for (int column = 1; column <= kColumns; ++column) layout->setColumnStretch(column, 1);
}

QAbstractButton* focusedElement(const QWidget* grid) {
  return qobject_cast<QAbstractButton*>(grid->property("focusElement").value<QObject*>());
}

void setFocusedElement(QAbstractButton* element) {
  QWidget* grid = element->parentWidget();
  QAbstractButton* before = focusedElement(grid);
  if (before == element) return;
  grid->setProperty("focusElement", QVariant::fromValue<QObject*>(element));
  if (before != nullptr) before->update();
  element->update();
  if (grid->hasFocus()) {
    QAccessibleEvent moved(element, QAccessible::Focus);
    QAccessible::updateAccessibility(&moved);
  }
}

QAbstractButton* neighbour(QAbstractButton* from, int key) {
  const auto* layout = qobject_cast<QGridLayout*>(from->parentWidget()->layout());
  const auto place = [layout](QWidget* element) {
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    layout->getItemPosition(layout->indexOf(element), &row, &column, &rowSpan, &columnSpan);
    return std::pair{row, column};
  };
  std::map<std::pair<int, int>, QAbstractButton*> at;
  for (auto* element : from->parentWidget()->findChildren<QAbstractButton*>()) {
    if (element->property("selector").isValid()) at[place(element)] = element;
  }
  const auto [row, column] = place(from);
  if (key == Qt::Key_Left || key == Qt::Key_Right) {
    const auto found = at.find({row, column + (key == Qt::Key_Left ? -1 : 1)});
    return found != at.end() ? found->second : from;
  }
  if (key != Qt::Key_Up && key != Qt::Key_Down) return from;
  // The next row that holds elements (the gaps between the groups have none),
  // at the column nearest (the bank switch's column has no pads).
  const bool down = key == Qt::Key_Down;
  int next = -1;
  for (const auto& [where, element] : at) {
    if ((down ? where.first > row : where.first < row) &&
        (next < 0 || (down ? where.first < next : where.first > next))) {
      next = where.first;
    }
  }
  QAbstractButton* nearest = from;
  int distance = -1;
  for (const auto& [where, element] : at) {
    if (where.first != next) continue;
    if (distance < 0 || std::abs(where.second - column) < distance) {
      distance = std::abs(where.second - column);
      nearest = element;
    }
  }
  return nearest;
}

void clickElement(QAbstractButton* element) {
  element->setProperty("modifiers", 0);
  element->click();
}

void setImage(QAbstractButton* element, const QString& name) {
  if (element == nullptr || imageOf(element) == name) return;
  element->setProperty("image", name);
  element->update();
  // Assistive technology hears it as current (selected) or chosen (checked).
  QAccessible::State changed;
  changed.selected = changed.checked = true;
  QAccessibleStateChangeEvent event(element, changed);
  QAccessible::updateAccessibility(&event);
}

QString imageOf(const QObject* element) {
  return element == nullptr ? QString() : element->property("image").toString();
}

std::int32_t toComponent(int channel) {
  return static_cast<std::int32_t>(std::lround(std::clamp(channel, 0, 255) * 127.0 / 255.0));
}

int toChannel(std::int32_t component) {
  return static_cast<int>(std::lround(std::clamp(component, 0, 127) * 255.0 / 127.0));
}

QColor padColour(std::int32_t red, std::int32_t green, std::int32_t blue) {
  auto inRange = [](std::int32_t c) { return c >= 0 && c <= 127; };
  if (!inRange(red) || !inRange(green) || !inRange(blue)) return {};
  return QColor(toChannel(red), toChannel(green), toChannel(blue));
}

QColor padColour(const ButtonValue& pad) {
  return padColour(pad.CR, pad.CG, pad.CB);
}

QColor padFill(const QColor& colour) {
  return colour.isValid() ? colour : kUnlitPad;
}

namespace {

constexpr int kCell = 6;    // a pad's side in the picture
constexpr int kGap = 1;     // between pads
constexpr int kMargin = 3;  // the body around them

}  // namespace

PadPicture::PadPicture(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void PadPicture::setPreset(const Preset* preset) {
  colours_.clear();
  for (std::int32_t index = kFirstPadControl; preset && index <= kLastPadControl; ++index) {
    const auto at = static_cast<std::size_t>(index);
    const ButtonValuePtr pad = at < preset->buttons.size() ? preset->buttons[at] : nullptr;
    colours_.push_back(pad ? padColour(*pad) : QColor());
  }
  update();
}

QSize PadPicture::sizeHint() const {
  const int rows = (kLastPadControl - kFirstPadControl + 1) / kColumns;
  return {kColumns * (kCell + kGap) - kGap + 2 * kMargin,
          rows * (kCell + kGap) - kGap + 2 * kMargin};
}

void PadPicture::paintEvent(QPaintEvent*) {
  if (colours_.empty()) return;
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(kBody);
  p.drawRoundedRect(QRectF(QPointF(0, 0), sizeHint()), 3, 3);
  for (std::size_t n = 0; n < colours_.size(); ++n) {
    const int column = static_cast<int>(n) % kColumns, row = static_cast<int>(n) / kColumns;
    p.setBrush(padFill(colours_[n]));
    p.drawRoundedRect(
        QRectF(kMargin + column * (kCell + kGap), kMargin + row * (kCell + kGap), kCell, kCell),
        1.5, 1.5);
  }
}

void setLight(QAbstractButton* element, const QColor& colour) {
  if (element == nullptr || !element->property("hasLight").toBool()) return;
  element->setProperty("light", colour);
  element->setProperty("lightShown", true);
  element->update();
}

void hideLight(QAbstractButton* element) {
  if (element == nullptr || !element->property("hasLight").toBool()) return;
  element->setProperty("lightShown", false);
  element->update();
}

std::optional<QColor> lightOf(const QObject* element) {
  if (element == nullptr || !element->property("lightShown").toBool()) return std::nullopt;
  return element->property("light").value<QColor>();
}

void setNote(QAbstractButton* element, const QString& note) {
  if (element == nullptr || !isPad(element) || element->property("note").toString() == note) {
    return;
  }
  element->setProperty("note", note);
  element->update();
}

void setLit(QAbstractButton* element, bool lit, const QString& value) {
  if (element == nullptr || (litOf(element) == lit && litValueOf(element) == value)) return;
  element->setProperty("lit", lit);
  element->setProperty("litValue", lit ? value : QString());
  element->update();
}

bool litOf(const QObject* element) {
  return element != nullptr && element->property("lit").toBool();
}

QString litValueOf(const QObject* element) {
  return element == nullptr ? QString() : element->property("litValue").toString();
}

int tagOf(const QObject* element) {
  bool ok = false;
  const int tag = element != nullptr ? element->property("tag").toInt(&ok) : -1;
  return ok ? tag : -1;
}

QAbstractButton* selectorWithTag(const QWidget* view, int tag) {
  for (QAbstractButton* element : view->findChildren<QAbstractButton*>()) {
    if (tagOf(element) == tag) return element;
  }
  return nullptr;
}

std::vector<QAbstractButton*> selectorElements(const QWidget* view) {
  std::vector<QAbstractButton*> elements;
  for (int tag = kFirstTag; tag <= kLastTag; ++tag) {
    if (QAbstractButton* element = selectorWithTag(view, tag)) elements.push_back(element);
  }
  return elements;
}

std::vector<QAbstractButton*> rowHeaders(const QWidget* view) {
  std::vector<QAbstractButton*> headers;
  for (QAbstractButton* element : view->findChildren<QAbstractButton*>()) {
    if (element->property("row").isValid()) headers.push_back(element);
  }
  return headers;
}

std::int32_t controlOf(const EditSession& session, const QObject* element) {
  const QString selector = element->property("selector").toString();
  const Selector kind = selector == QLatin1String("white")   ? Selector::White
                        : selector == QLatin1String("other") ? Selector::Other
                                                             : Selector::Black;
  return session.indexOf(kind, tagOf(element));
}

void labelSelectors(const QWidget* view, const EditSession& session) {
  for (QAbstractButton* element : selectorElements(view)) {
    element->setText(listLabel(session.controlName(controlOf(session, element))));
  }
}

namespace {

// What a control sends, on which channel, and a pad's colour:
// "note E1, channel 10, orange", "controller 20, channel Global".
QString description(const EditSession& session, std::int32_t index, const ButtonValue& record) {
  QString sends;
  switch (playing::sendsOf(index, record)) {
    case playing::Sends::Notes: {
      const std::optional<int> note = playing::noteOf(record, *session.global());
      sends = note ? QCoreApplication::translate("SelectorSurface", "note %1")
                         .arg(QString::fromStdString(noteName(*note)))
                   : QCoreApplication::translate("SelectorSurface", "no note");
      break;
    }
    case playing::Sends::Controller:
      sends = QCoreApplication::translate("SelectorSurface", "controller %1").arg(record.MIDInumb);
      break;
    case playing::Sends::NRPN:
      sends = QCoreApplication::translate("SelectorSurface", "NRPN %1").arg(record.MIDInumb);
      break;
    case playing::Sends::RPN:
      sends = QCoreApplication::translate("SelectorSurface", "RPN %1").arg(record.MIDInumb);
      break;
  }
  // The global channel by the name its pop-up gives it.
  const auto channels = session.lists().find("selectChannel");
  const bool named = record.channel >= 16 && channels != session.lists().end() &&
                     static_cast<std::size_t>(record.channel) < channels->second.size();
  const QString channel =
      named ? QString::fromStdString(channels->second[static_cast<std::size_t>(record.channel)])
            : QString::number(record.channel + 1);
  if (!isPadControl(index))
    return QCoreApplication::translate("SelectorSurface", "%1, channel %2").arg(sends, channel);
  return QCoreApplication::translate("SelectorSurface", "%1, channel %2, %3")
      .arg(sends, channel, colourWord(padColour(record)));
}

}  // namespace

QString colourWord(const QColor& colour) {
  if (!colour.isValid()) return QCoreApplication::translate("SelectorSurface", "unlit");
  const int hue = colour.hsvHue(), saturation = colour.hsvSaturation(), value = colour.value();
  if (value < 40) return QCoreApplication::translate("SelectorSurface", "black");
  if (saturation < 60)
    return value < 170 ? QCoreApplication::translate("SelectorSurface", "grey")
                       : QCoreApplication::translate("SelectorSurface", "white");
  // Hue bounds (degrees) of the words, as a pad's colour reads on the keyboard.
  const std::pair<int, const char*> words[] = {
      {15, QT_TRANSLATE_NOOP("SelectorSurface", "red")},
      {45, QT_TRANSLATE_NOOP("SelectorSurface", "orange")},
      {70, QT_TRANSLATE_NOOP("SelectorSurface", "yellow")},
      {160, QT_TRANSLATE_NOOP("SelectorSurface", "green")},
      {200, QT_TRANSLATE_NOOP("SelectorSurface", "cyan")},
      {255, QT_TRANSLATE_NOOP("SelectorSurface", "blue")},
      {290, QT_TRANSLATE_NOOP("SelectorSurface", "purple")},
      {340, QT_TRANSLATE_NOOP("SelectorSurface", "pink")},
      {360, QT_TRANSLATE_NOOP("SelectorSurface", "red")}};
  for (const auto& [bound, word] : words) {
    if (hue < bound) return QCoreApplication::translate("SelectorSurface", word);
  }
  return QCoreApplication::translate("SelectorSurface", "red");
}

void showPadLights(const QWidget* view, const EditSession& session) {
  for (QAbstractButton* element : selectorElements(view)) {
    const std::int32_t index = controlOf(session, element);
    const ButtonValuePtr record = isPadControl(index) ? session.control(index) : nullptr;
    if (record) {
      setLight(element, padColour(*record));
    } else {
      hideLight(element);
    }
    // The note it plays: moved by the octave transposition, none when moved out of range.
    const std::optional<int> note =
        record && session.global() && playing::sendsOf(index, *record) == playing::Sends::Notes
            ? playing::noteOf(*record, *session.global())
            : std::nullopt;
    setNote(element, note ? QString::fromStdString(noteName(*note)) : QString());
    const ButtonValuePtr control = session.control(index);
    element->setAccessibleDescription(
        control && session.global() ? description(session, index, *control) : QString());
  }
}

}  // namespace padkbd::editor

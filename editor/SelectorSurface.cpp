#include "editor/SelectorSurface.h"

#include <QGridLayout>
#include <QIcon>
#include <QPainter>
#include <QToolButton>

namespace padkbd::editor {

namespace {

constexpr int kColumns = 8;
constexpr int kPadRows = 6;

// The shipped control names call controls 0 to 7 knobs and 56 to 63 buttons,
// so the white selectors are drawn as knobs and the last black row as buttons.
constexpr const char* kWhiteLook = "knob";
constexpr const char* kOtherLook = "button";

constexpr int kLightSize = 12;
const char* const kLightName = "colourLight";

// A small round light in the element's top right corner. It takes no clicks,
// so the element under it still selects.
class ColourLight : public QWidget {
 public:
  explicit ColourLight(QWidget* element) : QWidget(element) {
    setObjectName(QString::fromLatin1(kLightName));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFixedSize(kLightSize, kLightSize);
    move(element->width() - kLightSize - 5, 4);
    hide();
  }

  QColor colour() const { return colour_; }
  void setColour(const QColor& colour) {
    if (colour == colour_) return;
    colour_ = colour;
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF dot = QRectF(rect()).adjusted(1, 1, -1, -1);
    if (!colour_.isValid()) {
      // Unlit: a dark lens in a grey rim.
      painter.setPen(QPen(QColor(110, 110, 110), 1));
      painter.setBrush(QColor(45, 45, 48));
      painter.drawEllipse(dot);
      return;
    }
    painter.setPen(QPen(colour_.darker(170), 1));
    painter.setBrush(colour_);
    painter.drawEllipse(dot);
    // A glint, so a lit light reads as a light and not as a flat spot.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 110));
    painter.drawEllipse(QRectF(dot.left() + 2.5, dot.top() + 2, dot.width() / 3, dot.height() / 3));
  }

 private:
  QColor colour_;
};

ColourLight* lightIn(const QObject* element) {
  return element == nullptr ? nullptr
                            : element->findChild<ColourLight*>(QString::fromLatin1(kLightName),
                                                               Qt::FindDirectChildrenOnly);
}

QToolButton* makeElement(QWidget* parent, const QString& name, const char* selector,
                         const char* look, int tag) {
  auto* element = new QToolButton(parent);
  element->setObjectName(name);
  element->setProperty("selector", selector);
  element->setProperty("look", look);
  if (tag > 0) element->setProperty("tag", tag);
  element->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  element->setAutoRaise(true);
  element->setFocusPolicy(Qt::NoFocus);
  const bool pad = QString::fromLatin1(look) == QLatin1String("pad");
  element->setIconSize(pad ? QSize(50, 50) : QSize(40, 40));
  element->setFixedSize(pad ? QSize(72, 74) : QSize(72, 64));
  setImage(element, QStringLiteral("unselected"));
  if (pad || QString::fromLatin1(selector) == QLatin1String("white")) new ColourLight(element);
  return element;
}

}  // namespace

void buildSelectorSurface(QWidget* grid) {
  auto* layout = new QGridLayout(grid);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setHorizontalSpacing(4);
  layout->setVerticalSpacing(4);

  // Row 0: the bank switch and the eight white selectors (controls 0-7, or
  // 8-15 with the second bank). They sit in columns 1-8 like every row.
  auto* bank = makeElement(grid, QStringLiteral("bankSwitch"), "bank", "button", 0);
  bank->setText(QStringLiteral("Bank 2"));
  bank->setToolTip(QStringLiteral("Bank switch: the top row edits Pad 1-8 while it is lit"));
  layout->addWidget(bank, 0, 0);
  for (int n = 0; n < kWhiteButtonCount; ++n) {
    const int tag = n + 1;
    layout->addWidget(
        makeElement(grid, QStringLiteral("white%1").arg(tag), "white", kWhiteLook, tag), 0, n + 1);
  }
  // A little air between the controls row and the pads.
  layout->setRowMinimumHeight(1, 10);
  // Rows 2-7: the 48 pads, tags 9-56 (controls 8-55), in reading order.
  for (int n = 0; n < kPadRows * kColumns; ++n) {
    const int tag = 9 + n;
    layout->addWidget(makeElement(grid, QStringLiteral("pad%1").arg(n + 1), "black", "pad", tag),
                      2 + n / kColumns, 1 + n % kColumns);
  }
  layout->setRowMinimumHeight(8, 10);
  // Row 9: the eight other controls 56-63, tags 57-64.
  for (int n = 0; n < kColumns; ++n) {
    const int tag = 57 + n;
    layout->addWidget(
        makeElement(grid, QStringLiteral("other%1").arg(n + 1), "black", kOtherLook, tag), 9,
        1 + n);
  }
  layout->setColumnMinimumWidth(0, 72);
}

void setImage(QAbstractButton* element, const QString& name) {
  if (element == nullptr) return;
  const QString look = element->property("look").toString();
  const QString file = (look.isEmpty() || look == QLatin1String("pad"))
                           ? QStringLiteral(":/images/%1.png").arg(name)
                           : QStringLiteral(":/images/%1-%2.png").arg(look, name);
  element->setIcon(QIcon(file));
  element->setProperty("image", name);
}

QString imageOf(const QObject* element) {
  return element == nullptr ? QString() : element->property("image").toString();
}

QColor padColour(std::int32_t red, std::int32_t green, std::int32_t blue) {
  auto inRange = [](std::int32_t c) { return c >= 0 && c <= 127; };
  if (!inRange(red) || !inRange(green) || !inRange(blue)) return {};
  return QColor(red * 255 / 127, green * 255 / 127, blue * 255 / 127);
}

void setLight(QAbstractButton* element, const QColor& colour) {
  if (ColourLight* light = lightIn(element)) {
    light->setColour(colour);
    light->show();
  }
}

void hideLight(QAbstractButton* element) {
  if (ColourLight* light = lightIn(element)) light->hide();
}

std::optional<QColor> lightOf(const QObject* element) {
  const ColourLight* light = lightIn(element);
  if (light == nullptr || light->isHidden()) return std::nullopt;
  return light->colour();
}

}  // namespace padkbd::editor

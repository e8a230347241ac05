#include "editor/PadColours.h"

#include <QCoreApplication>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <utility>

namespace padkbd::editor {

namespace {

const QColor kBody(36, 39, 45);  // the window's #surface
const QColor kUnlitPad(58, 62, 70);

}  // namespace

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

namespace {

constexpr int kColumns = 8;  // pads a row, as on the keyboard
constexpr int kRows = (kLastPadControl - kFirstPadControl + 1) / kColumns;
constexpr PadGeometry kPicture{6, 1, 3};

}  // namespace

QSize PadGeometry::size() const {
  return {kColumns * (cell + gap) - gap + 2 * margin, kRows * (cell + gap) - gap + 2 * margin};
}

void paintPads(QPainter& p, const std::vector<QColor>& colours, const PadGeometry& g) {
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(kBody);
  p.drawRoundedRect(QRectF(QPointF(0, 0), g.size()), g.margin, g.margin);
  int n = 0;  // the pad drawn, in reading order
  for (const QColor& colour : colours) {
    const int column = n % kColumns, row = n / kColumns;
    p.setBrush(padFill(colour));
    p.drawRoundedRect(QRectF(g.margin + column * (g.cell + g.gap),
                             g.margin + row * (g.cell + g.gap), g.cell, g.cell),
                      g.cell / 4.0, g.cell / 4.0);
    ++n;
  }
}

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
  return kPicture.size();
}

void PadPicture::paintEvent(QPaintEvent*) {
  if (colours_.empty()) return;
  QPainter p(this);
  paintPads(p, colours_, kPicture);
}

}  // namespace padkbd::editor

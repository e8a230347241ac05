// A pad's colour as the keyboard holds it (0-127 a component) and as the
// window shows it: on the surface, in words for a screen reader, and in a
// small picture of a whole preset.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "storage/PresetCheck.h"

class QPainter;

namespace padkbd::editor {

// A colour component of the keyboard (0-127) as a screen channel (0-255)
// and back, each rounded to the nearest; out-of-range values are clamped.
int toChannel(std::int32_t component);
std::int32_t toComponent(int channel);
// The colour a pad lights in, from its CR/CG/CB (0-127 each); invalid
// (unlit) when any of them is -1 or out of range.
QColor padColour(std::int32_t red, std::int32_t green, std::int32_t blue);
QColor padColour(const ButtonValue& pad);
// What a pad lit in `colour` is filled with on the surface: the colour, or
// the unlit pad's grey.
QColor padFill(const QColor& colour);
// "orange" for a pad lit in that colour, "unlit" for an invalid one.
QString colourWord(const QColor& colour);

// A picture of 48 pads in `colours` (invalid: unlit) on the keyboard's body,
// eight a row, at the painter's origin: pads of side `cell`, `gap` apart,
// `margin` of body around them; and its size.
struct PadGeometry {
  int cell, gap, margin;
  QSize size() const;
};
void paintPads(QPainter& painter, const std::vector<QColor>& colours, const PadGeometry& geometry);

// A small picture of a preset's 48 pads in the colours the surface shows,
// eight a row as on the keyboard; blank without a preset.
class PadPicture : public QWidget {
 public:
  explicit PadPicture(QWidget* parent = nullptr);
  void setPreset(const Preset* preset);
  // The 48 colours shown (invalid: unlit); empty when blank.
  const std::vector<QColor>& colours() const { return colours_; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<QColor> colours_;
};

}  // namespace padkbd::editor

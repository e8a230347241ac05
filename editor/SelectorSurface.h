// The controller's surface in the editor window: one image button per
// control, laid out like the keyboard. Each selector element carries
//   "tag"      its integer tag (white 1-8, black 9-64; unique),
//   "selector" which handler it calls: "white", "black" or "bank",
//   "look"     how its images are drawn: "pad", "knob" or "button",
//   "image"    the image it shows now: "selected" or "unselected".
// Pad elements, and the white ones (which stand for Pad 1-8 with the second
// bank on), also carry a small colour light that shows the pad's colour the
// way the keyboard lights it; it lies over the image and leaves it alone.
#pragma once

#include <QColor>
#include <QString>
#include <cstdint>
#include <optional>

class QAbstractButton;
class QObject;
class QWidget;

namespace padkbd::editor {

inline constexpr int kFirstTag = 1;
inline constexpr int kLastTag = 72;
inline constexpr int kWhiteButtonCount = 8;

// Fills `grid` (an empty widget) with the 64 selector elements and the bank switch.
void buildSelectorSurface(QWidget* grid);

// Shows the named image ("selected" or "unselected") in the element's look.
void setImage(QAbstractButton* element, const QString& name);
// The name of the image the element shows; empty for an element without one.
QString imageOf(const QObject* element);

// The colour a pad lights in, from its CR/CG/CB (0-127 each, scaled to
// 0-255); invalid (unlit) when any of them is -1 or out of range.
QColor padColour(std::int32_t red, std::int32_t green, std::int32_t blue);
// Shows the element's colour light in `colour` (invalid: unlit). Does nothing
// for an element without a light.
void setLight(QAbstractButton* element, const QColor& colour);
// Hides the element's colour light: it stands for no pad now.
void hideLight(QAbstractButton* element);
// The colour the element's light shows (invalid when unlit); nothing when the
// element has no light or it is hidden.
std::optional<QColor> lightOf(const QObject* element);

}  // namespace padkbd::editor

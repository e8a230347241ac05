// The controller's surface in the editor window: one image button per
// control, laid out like the keyboard. Each selector element carries
//   "tag"      its integer tag (white 1-8, black 9-64; unique),
//   "selector" which handler it calls: "white", "black" or "bank",
//   "look"     how its images are drawn: "pad", "knob" or "button",
//   "image"    the image it shows now: "selected" or "unselected".
#pragma once

#include <QString>

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

}  // namespace padkbd::editor

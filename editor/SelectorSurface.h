// The controller's surface in the editor window: one drawn button per
// control, laid out like the keyboard, growing with the window. Each
// selector element carries
//   "tag"      its integer tag (white 1-8, black 9-64; unique),
//   "selector" which handler it calls: "white", "black" or "bank",
//   "look"     how it is drawn: "pad", "knob" or "button",
//   "image"    how it shows now: "selected" (a ring around it) or "unselected",
//   "lit"      whether it glows because its control was just played.
// Pads are filled with their colour the way the keyboard lights them; the
// white selectors (which stand for Pad 1-8 with the second bank on) show it
// in a small light. Beside each row of pads a header, shown in bulk mode,
// chooses the row.
//
// The surface takes keyboard focus; the arrow keys move a focus cursor over
// it as the keyboard lays its controls out, drawn as a frame while it has
// focus. Each selector is an accessible button: its control's name, what it
// sends (its accessible description) and whether it is current or chosen.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <vector>

#include "session/EditSession.h"

class QAbstractButton;
class QObject;
class QWidget;

namespace padkbd::editor {

inline constexpr int kFirstTag = 1;
inline constexpr int kLastTag = 72;
inline constexpr int kWhiteButtonCount = 8;

// Fills `grid` (an empty widget) with the 64 selector elements and the bank switch.
void buildSelectorSurface(QWidget* grid);

// The element the surface's focus cursor is on (none before it was put on one),
// and putting it there; a click puts it on the element clicked.
QAbstractButton* focusedElement(const QWidget* grid);
void setFocusedElement(QAbstractButton* element);
// The element next to `from` in the direction of an arrow key (Qt::Key_Left
// ...), rows and columns as on the keyboard; `from` itself at an edge.
QAbstractButton* neighbour(QAbstractButton* from, int key);
// A click on the element without the last click's modifiers (from the keyboard).
void clickElement(QAbstractButton* element);

// Shows the named image ("selected" or "unselected") in the element's look.
void setImage(QAbstractButton* element, const QString& name);
// The name of the image the element shows; empty for an element without one.
QString imageOf(const QObject* element);

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
// Shows the element's colour light in `colour` (invalid: unlit). Does nothing
// for an element without a light.
void setLight(QAbstractButton* element, const QColor& colour);
// Hides the element's colour light: it stands for no pad now.
void hideLight(QAbstractButton* element);
// The colour the element's light shows (invalid when unlit); nothing when the
// element has no light or it is hidden.
std::optional<QColor> lightOf(const QObject* element);
// The note a pad plays, shown under its name ("C1"); empty for none.
void setNote(QAbstractButton* element, const QString& note);
// The element's control was played: it glows, with `value` (a velocity, a
// controller value, a step) shown small on it, until it is unlit.
void setLit(QAbstractButton* element, bool lit, const QString& value = QString());
bool litOf(const QObject* element);
// The value shown on a lit element; empty when unlit.
QString litValueOf(const QObject* element);

// The element's tag, or -1; the element in `view` carrying `tag`, if any;
// every one tagged kFirstTag to kLastTag, in tag order; the row headers.
int tagOf(const QObject* element);
QAbstractButton* selectorWithTag(const QWidget* view, int tag);
std::vector<QAbstractButton*> selectorElements(const QWidget* view);
std::vector<QAbstractButton*> rowHeaders(const QWidget* view);
// The control an element selects now in `session` (the white ones follow the bank).
std::int32_t controlOf(const EditSession& session, const QObject* element);
// Every selector labelled with the name of the control it selects now.
void labelSelectors(const QWidget* view, const EditSession& session);
// Each selector that stands for a pad shows that pad's colour, and the note
// it plays in a note mode, so the preset reads at a glance; the others show
// no light. Each selector's accessible description follows: what its control
// sends, on which channel, and a pad's colour.
void showPadLights(const QWidget* view, const EditSession& session);
// "orange" for a pad lit in that colour, "unlit" for an invalid one.
QString colourWord(const QColor& colour);

}  // namespace padkbd::editor

// The controller's surface in the editor window: one drawn button per
// control, laid out like the keyboard, growing with the window. Each
// selector element has
//   a tag      its integer tag (white 1-8, black 9-64; unique),
//   a handler  which handler it calls: white, black or the bank switch,
//   a look     how it is drawn: a pad, a knob or a button,
//   an image   how it shows now: "selected" (a ring around it) or "unselected",
//   a glow     while its control was just played.
// Pads are filled with their colour the way the keyboard lights them; the
// white selectors (which stand for Pad 1-8 with the second bank on) show it
// in a small light. Beside each row of pads a header, shown in bulk mode,
// chooses the row.
//
// The surface takes keyboard focus and moves a focus cursor over its
// elements (SurfaceFocus.h). Each selector is an accessible button
// (SurfaceAccess.h). The elements draw themselves (SurfaceElement.h), pads
// in their colours (PadColours.h).
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <vector>

#include "editor/PadColours.h"
#include "editor/SurfaceElement.h"
#include "editor/SurfaceFocus.h"
#include "session/EditSession.h"

class QAbstractButton;
class QObject;

namespace padkbd::editor {

inline constexpr int kFirstTag = 1;
inline constexpr int kLastTag = 72;
inline constexpr int kWhiteButtonCount = 8;

// The surface's own widget, "selectorGrid" in the window.
class SelectorGrid : public QWidget {
  Q_OBJECT

 public:
  explicit SelectorGrid(QWidget* parent = nullptr) : QWidget(parent) {}
  // In bulk mode a ring means chosen, not current (so assistive technology hears it).
  bool bulk() const { return bulk_; }
  void setBulk(bool bulk) { bulk_ = bulk; }

 private:
  friend QAbstractButton* focusedElement(const SelectorGrid* grid);
  friend void setFocusedElement(QAbstractButton* element);

  bool bulk_ = false;
  QAbstractButton* cursor_ = nullptr;  // the element under the focus cursor
};

// Fills `grid` (an empty one) with the 64 selector elements and the bank switch.
void buildSelectorSurface(SelectorGrid* grid);

// Shows the named image ("selected" or "unselected") in the element's look.
void setImage(QAbstractButton* element, const QString& name);
// The name of the image the element shows; empty for an element without one.
QString imageOf(const QObject* element);

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
QString noteOf(const QObject* element);
// The element's control was played: it glows, with `value` (a velocity, a
// controller value, a step) shown small on it, until it is unlit.
void setLit(QAbstractButton* element, bool lit, const QString& value = QString());
bool litOf(const QObject* element);
// The value shown on a lit element; empty when unlit.
QString litValueOf(const QObject* element);
// The modifiers of the element's last click (none for one from the keyboard),
// and forgetting them.
Qt::KeyboardModifiers clickModifiers(const QObject* element);
void forgetClickModifiers(QAbstractButton* element);

// The element's tag, or -1; the element in `view` carrying `tag`, if any;
// every one tagged kFirstTag to kLastTag, in tag order; the row headers.
int tagOf(const QObject* element);
QAbstractButton* selectorWithTag(const QWidget* view, int tag);
std::vector<QAbstractButton*> selectorElements(const QWidget* view);
std::vector<QAbstractButton*> rowHeaders(const QWidget* view);
// The row of pads a header chooses (0 for the top one); -1 for anything else.
int rowOf(const QObject* header);
// The handler a click on the element calls; nothing for anything but an element.
std::optional<Handler> handlerOf(const QObject* element);
// The control an element selects now in `session` (the white ones follow the bank).
std::int32_t controlOf(const EditSession& session, const QObject* element);
// Every selector labelled with the name of the control it selects now.
void labelSelectors(const QWidget* view, const EditSession& session);
// Each selector that stands for a pad shows that pad's colour, and the note
// it plays in a note mode, so the preset reads at a glance; the others show
// no light. Each selector's accessible description follows: what its control
// sends, on which channel, and a pad's colour.
void showPadLights(const QWidget* view, const EditSession& session);

}  // namespace padkbd::editor

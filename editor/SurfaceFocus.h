// The selector surface's focus cursor: the surface takes the keyboard focus
// and the arrow keys move a cursor over its elements as the keyboard lays
// its controls out; Space and Enter click the element under it.
#pragma once

class QAbstractButton;

namespace padkbd::editor {

class SelectorGrid;

// The element the surface's focus cursor is on (none before it was put on one),
// and putting it there; a click puts it on the element clicked.
QAbstractButton* focusedElement(const SelectorGrid* grid);
void setFocusedElement(QAbstractButton* element);
// The element next to `from` in the direction of an arrow key (Qt::Key_Left
// ...), rows and columns as on the keyboard; `from` itself at an edge.
QAbstractButton* neighbour(QAbstractButton* from, int key);
// Scrolls the element into view where the window is too small for the whole surface.
void bringIntoView(QAbstractButton* element);
// A click on the element without the last click's modifiers (from the keyboard).
void clickElement(QAbstractButton* element);

}  // namespace padkbd::editor

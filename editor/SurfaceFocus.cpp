#include "editor/SurfaceFocus.h"

#include <QAccessible>
#include <QGridLayout>
#include <QScrollArea>
#include <cstdlib>
#include <map>
#include <utility>

#include "editor/SelectorSurface.h"
#include "editor/SurfaceElement.h"

namespace padkbd::editor {

QAbstractButton* focusedElement(const SelectorGrid* grid) {
  return grid->cursor_;
}

void setFocusedElement(QAbstractButton* element) {
  auto* grid = qobject_cast<SelectorGrid*>(element->parentWidget());
  if (grid == nullptr) return;  // on no surface
  QAbstractButton* before = grid->cursor_;
  if (before == element) return;
  grid->cursor_ = element;
  if (before != nullptr) before->update();
  element->update();
  if (grid->hasFocus()) {
    bringIntoView(element);
    QAccessibleEvent moved(element, QAccessible::Focus);
    QAccessible::updateAccessibility(&moved);
  }
}

void bringIntoView(QAbstractButton* element) {
  for (QWidget* up = element->parentWidget(); up != nullptr; up = up->parentWidget()) {
    if (auto* scroll = qobject_cast<QScrollArea*>(up)) return scroll->ensureWidgetVisible(element);
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
  for (auto* element : from->parentWidget()->findChildren<SurfaceElement*>()) {
    at[place(element)] = element;
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
  if (SurfaceElement* surfaceElement = asElement(element)) surfaceElement->state().modifiers = {};
  element->click();
}

}  // namespace padkbd::editor

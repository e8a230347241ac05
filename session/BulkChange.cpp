// Bulk change: the pads chosen in bulk mode, the bulk record they get and
// the one undo step that gives it to them.
#include <fmt/format.h>

#include <algorithm>

#include "session/EditSession.h"

namespace padkbd {

void EditSession::enterBulk() {
  if (bulk_) return;
  bulk_ = true;
  bulkSelection_.clear();
  bulkAnchor_ = -1;
  current_ = bulkRecord_;
  padLists_ = true;
}

void EditSession::leaveBulk() {
  if (!bulk_) return;
  bulk_ = false;
  Step step;
  step.label = Text(TextId::UndoBulk, {bulkSelection_.size()});
  for (const ButtonValuePtr& chosen : bulkSelection_) {
    for (ControlField f : kBulkFields) {
      const std::int32_t now = field(*chosen, f);
      const std::int32_t wanted = field(*bulkRecord_, f);
      if (now != wanted)
        step.changes.push_back({chosen->buttonID, static_cast<int>(f), now, wanted});
    }
  }
  if (!step.changes.empty()) record(std::move(step));
  // With bulk mode off, the bulk record's other fields would take edits that
  // nothing ever copies or sends: no control is current until the next pick.
  current_.reset();
}

void EditSession::cancelBulk() {
  if (!bulk_) return;
  bulk_ = false;
  bulkSelection_.clear();
  current_.reset();
}

bool EditSession::chooseForBulk(const std::vector<std::int32_t>& indices) {
  if (!bulk_) return false;
  std::vector<ButtonValuePtr> pads;
  for (std::int32_t index : indices) {
    if (ButtonValuePtr record = isPadControl(index) ? control(index) : nullptr) {
      pads.push_back(std::move(record));
    }
  }
  if (pads.empty()) return false;
  const bool allChosen = std::all_of(pads.begin(), pads.end(), [this](const ButtonValuePtr& pad) {
    return inBulkSelection(pad->buttonID);
  });
  for (const ButtonValuePtr& pad : pads) {
    const auto member = std::find(bulkSelection_.begin(), bulkSelection_.end(), pad);
    if (allChosen) {
      bulkSelection_.erase(member);
    } else if (member == bulkSelection_.end()) {
      bulkSelection_.push_back(pad);
    }
  }
  return true;
}

bool EditSession::chooseRangeForBulk(std::int32_t index) {
  if (!bulk_ || !isPadControl(index)) return false;
  const std::int32_t from = isPadControl(bulkAnchor_) ? bulkAnchor_ : index;
  std::vector<std::int32_t> range;
  for (std::int32_t i = std::min(from, index); i <= std::max(from, index); ++i) {
    if (!inBulkSelection(i)) range.push_back(i);
  }
  bulkAnchor_ = index;
  return range.empty() || chooseForBulk(range);
}

bool EditSession::inBulkSelection(std::int32_t index) const {
  const ButtonValuePtr record = control(index);
  return record &&
         std::find(bulkSelection_.begin(), bulkSelection_.end(), record) != bulkSelection_.end();
}

}  // namespace padkbd

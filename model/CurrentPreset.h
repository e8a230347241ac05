// The one set of settings the whole program works on: the 64 control records
// and the global record. Replaced only as a whole (list first, then the global
// record); between replacements the records are edited in place.
#pragma once

#include <cstdint>

#include "model/Records.h"

namespace padkbd {

struct CurrentPreset {
  ButtonValueList buttonValueArray;
  PadValuePtr currentPadValue;

  // The record at that position itself, not a copy; none outside the list.
  ButtonValuePtr GetButtonValueWithID(std::int32_t index) const;
  PadValuePtr getPadValue() const { return currentPadValue; }

  void replace(ButtonValueList list, PadValuePtr pad) {
    buttonValueArray = std::move(list);
    currentPadValue = std::move(pad);
  }
};

}  // namespace padkbd

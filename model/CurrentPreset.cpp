#include "model/CurrentPreset.h"

namespace padkbd {

ButtonValuePtr CurrentPreset::GetButtonValueWithID(std::int32_t index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= buttonValueArray.size()) return nullptr;
  return buttonValueArray[static_cast<std::size_t>(index)];
}

}  // namespace padkbd

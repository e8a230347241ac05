#include "model/ValueAction.h"

#include "model/Log.h"

namespace padkbd::ValueAction {

void reportOutOfRange(std::string_view table, std::int32_t index, std::int32_t size) {
  log::diag("ValueAction: index %d is outside the %s (0-%d); entry 0 used instead", index,
            std::string(table), size - 1);
}

}  // namespace padkbd::ValueAction

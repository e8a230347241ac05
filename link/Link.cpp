#include "link/Link.h"

#include <time.h>

#include <algorithm>

namespace padkbd {

LinkClock::time_point LinkClock::now() {
#ifdef CLOCK_MONOTONIC_COARSE
  timespec ts{};
  ::clock_gettime(CLOCK_MONOTONIC_COARSE, &ts);
  return time_point(std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec));
#else
  return time_point(
      std::chrono::duration_cast<duration>(std::chrono::steady_clock::now().time_since_epoch()));
#endif
}

Outcome openingFailed(OpeningStep step, const Text& why) {
  TextId id = TextId::InterfaceNotOpened;
  switch (step) {
    case OpeningStep::Found:
      id = TextId::InterfaceNotFound;
      break;
    case OpeningStep::Opened:
      break;
    case OpeningStep::Claimed:
      id = TextId::InterfaceNotClaimed;
      break;
    case OpeningStep::Examined:
      id = TextId::InterfaceNotExamined;
      break;
  }
  return Outcome::failure(why).as(id);
}

std::chrono::milliseconds until(LinkClock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - LinkClock::now());
  return std::max(left, std::chrono::milliseconds{0});
}

}  // namespace padkbd

// A way to the keyboard, in the protocol's own terms: it is looked for and
// opened, carries USB-MIDI event packets both ways, and is closed. Raw USB
// (link/usb), a MIDI port of the system (link/midiport) and the simulated
// keyboard (sim/) are links; InterfaceAction reads replies out of whatever
// packets a link delivers. Listing what could be opened, and news of
// keyboards coming and going, are beside it (Discovery).
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/KeyboardId.h"
#include "model/Outcome.h"

namespace padkbd {

// Whether a device of a listing may be opened, for advice to the user.
enum class LinkAccess { Granted, Denied, Busy, Other };

// Why a transfer failed, as the reply and write messages say it ("no reply
// (interrupted)"); each text's code says what kind of failure it is
// (LinkGone, LinkFailed, Cancelled, KeyboardSilent).
namespace linkreason {
inline const Text kGone{TextId::LinkNoDevice};
inline const Text kIoError{TextId::LinkIoError};
inline const Text kInterrupted{TextId::LinkInterrupted};
inline const Text kTimedOut{TextId::LinkTimedOut};
}  // namespace linkreason

// Time limits of a second need no finer clock than the kernel's coarse one,
// which costs a fraction of the precise one: a read asks for the time once
// per transfer.
struct LinkClock {
  using duration = std::chrono::nanoseconds;
  using rep = duration::rep;
  using period = duration::period;
  using time_point = std::chrono::time_point<LinkClock, duration>;
  static constexpr bool is_steady = true;
  static time_point now();
};

// The whole milliseconds left until `deadline`, 0 once it passed.
std::chrono::milliseconds until(LinkClock::time_point deadline);

// Why opening the keyboard failed, the same for every link: the step that
// failed and the link's reason, whose code the failure keeps (LinkDenied,
// LinkBusy, LinkGone…).
enum class OpeningStep { Found, Opened, Claimed, Examined };
Outcome openingFailed(OpeningStep step, const Text& why);

class Link {
 public:
  using Deadline = LinkClock::time_point;

  virtual ~Link() = default;

  // The keyboard looked for from now on (its USB ids, or its port's name).
  virtual void useKeyboard(const KeyboardId& keyboard) = 0;
  // Looks for the keyboard without taking it: the name of each one found,
  // in the order found; open() takes the last.
  virtual std::vector<std::string> find() = 0;
  // Takes the keyboard found for this program's exchanges; says why not
  // (the code tells a refused access, LinkDenied, and a keyboard another
  // program holds, LinkBusy, from other failures).
  virtual Outcome open() = 0;
  // Gives everything back; the keyboard must be opened again to talk.
  virtual void close() = 0;
  virtual bool isOpen() const = 0;
  // Between exchanges others may have the keyboard (raw USB: its claim);
  // resume() takes it back. An open link is taken.
  virtual void pause() {}
  virtual void resume() {}

  // Sends whole event packets. A failure says why (linkreason) and closes
  // the link.
  virtual Outcome send(std::span<const std::uint8_t> packets) = 0;
  // The packets that came next, into `into`: their count, 0 when nothing
  // came by `deadline`. A cancel (`cancel` set) fails with kInterrupted, of
  // the cancelled kind; a lost keyboard fails with kGone.
  virtual Result<std::size_t> receive(std::span<std::uint8_t> into, Deadline deadline,
                                      const std::atomic<bool>* cancel) = 0;
  // Whether receive waits for its deadline when nothing comes. One that
  // does not (the simulated keyboard) returns nothing only when nothing
  // will come.
  virtual bool waits() const { return true; }
  // The most a receive delivers at once (raw USB: the read pipe's packet).
  virtual std::size_t transferSize() const { return 64; }
  // The serial number of the keyboard last found, empty where it has none
  // (a MIDI port): the history tells keyboards of the same ids apart by it.
  virtual std::string serial() const { return {}; }
};

}  // namespace padkbd

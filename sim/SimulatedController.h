// The controller itself, in process, reached through a link of its own and
// found by its own discovery: it answers the handshake,
// keeps nine memory slots of settings and eight gains, replies to read
// requests from slot 0, stores writes, and logs every transfer. It never
// sleeps: a reply is queued by the request and handed to the next receive;
// with nothing queued a receive returns nothing at once.
//
// Left alone it is tidy: every reply comes whole in a transfer of its own.
// Switches make it behave as real keyboards do (see Faults): MIDI traffic
// around and inside the replies, zero padding, one packet per transfer,
// other values in the bytes nobody examines, foreign SysEx, late replies.
//
// Wire format it understands (M1 M2 M3: the keyboard's manufacturer bytes):
//   handshake  04 F0 7E 7F | 07 0A 0B F7                       (8 bytes)
//     reply    04 F0 7E 0A | 04 01 03 XX | 06 YY F7           (11 bytes, version XX.YY)
//   read       04 F0 M1 M2 | 04 M3 7F 42 | 04 01 00 PP | 06 WW F7          (15 bytes)
//     reply    04 F0 M1 M2 | 04 M3 7F 42 | 04 01 00 PP | 07 WW VV F7       (16 bytes)
//   write      04 F0 M1 M2 | 04 M3 7F 42 | 04 02 YY PP | 07 WW VV F7       (16 bytes)
//              YY 00-08: memory slot; YY 40, PP 34, WW 70-77: gain WW-70.
// Valid (PP, WW): every control ID with PP 00-06, pad controls (index 8-55)
// also with PP 07-09 (green, red, blue); globals PP 40 with WW 02 03 06 and
// PP 41 with WW 01 03 04. Anything else is a protocol error: it is recorded
// (naming the bytes in hex) and gets no reply.
//
// Thread-safe: one mutex guards the state, so a test may inspect it while
// another thread talks to it. Inspection returns copies.
#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/Discovery.h"
#include "link/Link.h"
#include "model/KeyboardId.h"
#include "model/Outcome.h"
#include "model/Records.h"

namespace padkbd {

class SimulatedController final : public Link, public Discovery {
 public:
  static constexpr int kSlotCount = 9;
  static constexpr int kGainCount = 8;
  static constexpr const char* kDeviceName = "padkbd simulated controller";

  // Fault switches. All off by default; they may be changed between calls
  // through faults() (not while another thread is talking to the simulator).
  // Every N below counts from construction or the last resetCounters():
  // "transfers" are send and receive calls, failed ones included;
  // handshakes and read requests are those the simulator understood.
  struct Faults {
    enum class WrongReply {
      None,
      OtherManufacturer,  // the reply carries another manufacturer's first byte
    };
    // Other MIDI traffic on the read pipe around every reply: notes,
    // controller changes, pressure and clock, on cables 0 and 1.
    enum class Traffic {
      None,
      OwnTransfer,   // in a transfer of its own before the reply
      SameTransfer,  // in the reply's transfer: before it, after it, and a clock byte inside it
    };

    bool absent = false;        // find finds nothing
    bool refuseAccess = false;  // this user may not open the device (no udev rule)
    bool busy = false;          // another program holds the keyboard
    int handshakeFailures = 0;  // the first N handshakes get a wrong reply (byte 3 0A -> 0B)
    // Read requests after the first N get no reply; 0: the controller never
    // replies, not even to the handshake.
    std::optional<int> noReplyAfter;
    // Replies to read requests after the first `shortReplyAfter` are cut to
    // `shortReply` bytes (0: off), e.g. 8.
    std::size_t shortReply = 0;
    int shortReplyAfter = 0;
    // Replies to read requests after the first `wrongReplyAfter` are wrong.
    WrongReply wrongReply = WrongReply::None;
    int wrongReplyAfter = 0;
    // Writes after the first N transfers fail with IoError; nothing is stored.
    std::optional<int> writeFailureAfter;
    // After N transfers the device is gone: every later call fails with
    // "no device" and find finds nothing (until replug()).
    std::optional<int> unplugAfter;

    // --- What real keyboards do on the read pipe -----------------------
    Traffic traffic = Traffic::None;
    bool padTransfers = false;       // every transfer zero-filled to a whole 64-byte packet
    bool packetPerTransfer = false;  // each 4-byte packet of a reply comes in its own transfer
    // Each byte of a reply in a single-byte packet (code index number F), as
    // some devices send their SysEx messages.
    bool bytePackets = false;
    // Value replies carry other values than the request in the bytes that
    // are not examined: 7F 42, the command, the slot, the parameter, the target.
    bool otherUnexaminedBytes = false;
    // Another maker's SysEx message, shaped like a value reply, comes before
    // every value reply.
    bool foreignSysEx = false;
    // The Nth reply (from 1, handshakes counted) comes after the reader
    // stopped waiting: the next read times out, and the reply is the first
    // thing the read after it sees.
    std::optional<int> lateReply;
    // With nothing to send, the keyboard sends clock for ever instead of
    // letting a read time out.
    bool endlessClock = false;
    // Each write takes this long, and each reply comes this long after its
    // request (a real keyboard takes about a millisecond); reads then wait
    // as a device's do.
    std::chrono::microseconds pace{0};
    // With nothing to send, a read waits out its time as a silent device's
    // does, instead of timing out at once.
    bool waitOnSilence = false;
    // The platform cannot tell when devices come and go (no hot-plug):
    // watchForChanges says so, and callers have to look.
    bool noHotplug = false;

    // Every behaviour above that still lets each reply arrive in time.
    static Faults hardwareLike(Traffic traffic = Traffic::SameTransfer);
  };

  enum class Direction { Out, In };
  struct Transfer {
    Direction direction = Direction::Out;
    std::vector<std::uint8_t> bytes;  // sent, or delivered to the reader
    bool failed = false;              // a receive that delivered nothing and did not fail timed out
  };

  // (parameter byte PP, target byte WW)
  using Address = std::pair<std::uint8_t, std::uint8_t>;

  explicit SimulatedController(KeyboardId keyboard = builtInKeyboard());

  // --- Set-up -------------------------------------------------------------
  Faults& faults() { return faults_; }  // change before anything else uses the controller
  // Changes the faults while another thread may be using the controller
  // (plugging it in or out with `absent`, say).
  void changeFaults(const std::function<void(Faults&)>& change);
  void setFirmwareVersion(std::uint8_t major, std::uint8_t minor);  // default 01.02
  // The USB ids it is found by and the manufacturer bytes it answers to.
  void setKeyboard(const KeyboardId& keyboard);
  KeyboardId keyboard() const;
  // Its USB serial number; none by default, as many keyboards have none.
  void setSerial(std::string serial);
  void resetCounters();  // transfer/reply/handshake/read counters (fault thresholds)
  void replug();         // ends an unplug; faults().unplugAfter is cleared

  // --- Settings -----------------------------------------------------------
  static bool isValidAddress(std::uint8_t pp, std::uint8_t ww);
  // Every valid address, in (PP, WW) order: one a setting of a full exchange.
  static std::vector<Address> addresses();
  bool setRawValue(int slot, std::uint8_t pp, std::uint8_t ww, std::uint8_t value);
  // Slot contents decoded as the codec decodes replies (list indices);
  // buttonID is the control index, CR/CG/CB are -1 on other controls.
  // An invalid slot or index gives an all-zero record.
  ButtonValue controlInSlot(int slot, int index) const;
  PadValue globalsInSlot(int slot) const;  // mem = slot, no version
  void setGlobalsInSlot(int slot, const PadValue& value);
  std::array<std::uint8_t, kGainCount> gains() const;

  // State file: the nine slots and the gains, and optionally the keyboard's
  // ids, as text (see StateFile.cpp for the format). A failed load
  // changes nothing; save writes atomically.
  Outcome loadState(const std::filesystem::path& path);
  // The same from the file's text; `name` names it in messages.
  Outcome loadStateText(std::string_view text, const std::string& name);
  Outcome saveState(const std::filesystem::path& path) const;
  std::string stateText() const;  // what saveState writes

  // --- Playing ------------------------------------------------------------
  // A control touched as the settings of slot 0 (what a read reads) say:
  // its messages are queued as one transfer for the next receive, as a
  // keyboard sends them when played. `amount` is a pad's velocity (1-127),
  // or a knob's new value (absolute) or step (relative). A pad in a switch
  // mode set to toggle turns on at one press and off at the next.
  enum class Touch { Press, Release, Turn };
  void press(int index, int amount = 100);
  void release(int index);
  void turn(int index, int amount);
  // A press and its release; a knob is turned to `amount`.
  void strike(int index, int amount = 100);
  // A knob turned `steps` from where it stands (an absolute knob keeps its
  // place within its range, from its lowest value); nothing on other controls.
  void turnBy(int index, int steps);
  // A control played by hand: a press (velocity 100) or release, or a turn
  // by `amount` steps.
  void touch(int index, Touch touch, int amount = 0);
  // Every transfer queued for the reader and not yet received (a stand-in
  // on a MIDI port hands them on).
  std::vector<std::vector<std::uint8_t>> takePending();

  // --- Inspection ---------------------------------------------------------
  std::vector<Transfer> transfers() const;
  std::vector<std::vector<std::uint8_t>> writes() const;  // bytes of every send
  std::size_t transferCount() const;
  int handshakeCount() const;                       // handshake requests received
  int readRequestCount() const;                     // value read requests received
  int writeCount() const;                           // write messages stored (settings and gains)
  std::vector<std::string> protocolErrors() const;  // empty when all was understood
  bool isClaimed() const;                           // open, and not paused
  void clearLog();                                  // transfers and protocol errors
  // Long runs (benchmarks) can stop keeping transfers; counters and
  // protocol errors are kept either way.
  void setLogTransfers(bool on);

  // --- Link -----------------------------------------------------------------
  void useKeyboard(const KeyboardId& keyboard) override;
  std::vector<std::string> find() override;
  Outcome open() override;
  void close() override;
  bool isOpen() const override;
  void pause() override;
  void resume() override;
  Outcome send(std::span<const std::uint8_t> packets) override;
  Result<std::size_t> receive(std::span<std::uint8_t> into, Deadline deadline,
                              const std::atomic<bool>* cancel) override;
  bool waits() const override;
  std::string serial() const override;

  // --- Discovery ------------------------------------------------------------
  MidiDeviceListing listMidiDevices() override;
  // Hot-plug news as a platform gives them: the keyboard coming or going
  // (absent, an unplug, a replug) is told by the next pollEvents.
  bool watchForChanges(std::function<void()> changed) override;
  void pollEvents() override;

 private:
  using Slot = std::map<Address, std::uint8_t>;
  bool unpluggedLocked();  // applies unplugAfter
  void handleRequest(const std::vector<std::uint8_t>& request);
  // Queues a reply (its packets as they would come alone) the way the
  // switches say the keyboard sends it; `value`: a value reply (not the
  // handshake's).
  void queueReply(std::vector<std::uint8_t> packets, bool value);
  void protocolError(const std::string& what, const std::vector<std::uint8_t>& bytes);
  bool repliesToHandshake() const;
  bool repliesToRead() const;
  ButtonValue controlLocked(int slot, int index) const;
  PadValue globalsLocked(int slot) const;
  // Queues the messages of one touch of a control as one transfer.
  void playLocked(int index, Touch touch, int amount);
  static std::array<Slot, kSlotCount> initialSlots();
  static std::array<Slot, kSlotCount> buildInitialSlots();
  static std::array<std::uint8_t, kGainCount> initialGains();

  mutable std::mutex mutex_;
  KeyboardId keyboard_;
  Faults faults_;
  std::uint8_t versionMajor_ = 0x01;
  std::uint8_t versionMinor_ = 0x02;
  std::array<Slot, kSlotCount> slots_;
  std::array<std::uint8_t, kGainCount> gains_{};
  std::vector<Transfer> log_;
  std::vector<std::string> errors_;
  std::vector<std::vector<std::uint8_t>> pending_;  // transfers waiting for a read
  std::vector<std::vector<std::uint8_t>> late_;     // a late reply's transfers
  std::chrono::steady_clock::time_point due_;       // when the pending reply is there (pace)
  int replies_ = 0;
  UsbIds wanted_;         // what the link looks for
  bool found_ = false;    // find found it
  bool open_ = false;     // the link is open
  bool claimed_ = false;  // open and not paused
  std::string serial_;
  std::size_t transferCount_ = 0;
  int handshakes_ = 0;
  int readRequests_ = 0;
  int stored_ = 0;
  bool unplugged_ = false;
  bool logTransfers_ = true;
  std::condition_variable arrived_;               // something was queued for the reader
  std::array<bool, kControlCount> switchedOn_{};  // toggling pads that are on
  std::array<int, kControlCount> knobAt_{};       // where turnBy left each knob
  std::function<void()> changed_;                 // hot-plug news go here
  int comings_ = 0;                               // times the keyboard came or went
  int told_ = 0;                                  // of those, told by pollEvents
  bool presentLocked();                           // counts a coming or going
  bool wasPresent_ = true;
};

}  // namespace padkbd

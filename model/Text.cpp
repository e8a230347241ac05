#include "model/Text.h"

#include <fmt/chrono.h>
#include <fmt/format.h>

#include <array>
#include <ctime>

namespace padkbd {
namespace {

// The window finds each pattern through Qt's translations: its lupdate takes
// this macro for QT_TRANSLATE_NOOP, so every pattern below is a source text
// of the translation files (context padkbd::Texts).
#define PADKBD_TEXT(context, text) text

// The catalogue, in the order of TextId.
constexpr CatalogueEntry kCatalogue[] = {
    {TextId::Plain, Code::Other, PADKBD_TEXT("padkbd::Texts", "%1")},
    {TextId::Because, Code::Other, PADKBD_TEXT("padkbd::Texts", "%1: %2")},
    {TextId::Cancelled, Code::Cancelled, PADKBD_TEXT("padkbd::Texts", "cancelled")},

    // --- The way to the keyboard (link/) ---
    {TextId::LinkNoDevice, Code::LinkGone,
     PADKBD_TEXT("padkbd::Texts", "no device (it may have been unplugged)")},
    {TextId::LinkIoError, Code::LinkFailed, PADKBD_TEXT("padkbd::Texts", "input/output error")},
    {TextId::LinkInterrupted, Code::Cancelled, PADKBD_TEXT("padkbd::Texts", "interrupted")},
    {TextId::LinkTimedOut, Code::KeyboardSilent, PADKBD_TEXT("padkbd::Texts", "timed out")},
    {TextId::UsbSuccess, Code::Ok, PADKBD_TEXT("padkbd::Texts", "success")},
    {TextId::UsbInvalidParameter, Code::LinkFailed,
     PADKBD_TEXT("padkbd::Texts", "invalid parameter")},
    {TextId::UsbAccessDenied, Code::LinkDenied, PADKBD_TEXT("padkbd::Texts", "access denied")},
    {TextId::UsbNotFound, Code::LinkNotFound, PADKBD_TEXT("padkbd::Texts", "not found")},
    {TextId::UsbBusy, Code::LinkBusy, PADKBD_TEXT("padkbd::Texts", "busy")},
    {TextId::UsbOverflow, Code::LinkFailed, PADKBD_TEXT("padkbd::Texts", "overflow")},
    {TextId::UsbPipeError, Code::LinkFailed, PADKBD_TEXT("padkbd::Texts", "pipe error")},
    {TextId::UsbNoMemory, Code::LinkFailed, PADKBD_TEXT("padkbd::Texts", "out of memory")},
    {TextId::UsbNotSupported, Code::LinkUnavailable,
     PADKBD_TEXT("padkbd::Texts", "not supported")},
    {TextId::UsbOtherError, Code::LinkFailed, PADKBD_TEXT("padkbd::Texts", "other error")},
    // Opening the keyboard, step by step; the cause follows.
    {TextId::InterfaceNotFound, Code::LinkFailed,
     PADKBD_TEXT("padkbd::Texts", "the controller's interface could not be found (%1)")},
    {TextId::InterfaceNotOpened, Code::LinkFailed,
     PADKBD_TEXT("padkbd::Texts", "the controller's interface could not be opened (%1)")},
    {TextId::InterfaceNotClaimed, Code::LinkFailed,
     PADKBD_TEXT("padkbd::Texts", "the controller's interface could not be claimed (%1)")},
    {TextId::InterfaceNotExamined, Code::LinkFailed,
     PADKBD_TEXT("padkbd::Texts", "the controller's interface could not be examined (%1)")},
    {TextId::NoPortNamed, Code::LinkNotFound,
     PADKBD_TEXT("padkbd::Texts", "no MIDI port named \"%1\" found")},
    {TextId::NoControllerWithIds, Code::LinkNotFound,
     PADKBD_TEXT("padkbd::Texts", "no controller found (USB %1)")},
    {TextId::NoController, Code::LinkNotFound, PADKBD_TEXT("padkbd::Texts", "no controller found")},
    {TextId::WriteFailed, Code::LinkFailed, PADKBD_TEXT("padkbd::Texts", "the write failed (%1)")},
    {TextId::NoReply, Code::KeyboardSilent, PADKBD_TEXT("padkbd::Texts", "no reply (%1)")},
    {TextId::NotTheHandshake, Code::KeyboardMisbehaved,
     PADKBD_TEXT("padkbd::Texts", "the reply is not the keyboard's handshake")},
    {TextId::ReplyTooShort, Code::KeyboardMisbehaved,
     PADKBD_TEXT("padkbd::Texts", "a reply of %1 bytes, %2 are needed")},
    {TextId::LibusbNotStarted, Code::LinkUnavailable,
     PADKBD_TEXT("padkbd::Texts", "libusb could not start (%1)")},
    {TextId::UsbNotListed, Code::LinkUnavailable,
     PADKBD_TEXT("padkbd::Texts", "the USB devices could not be listed (%1)")},
    {TextId::AlsaUnavailable, Code::LinkUnavailable,
     PADKBD_TEXT("padkbd::Texts", "the ALSA sequencer cannot be opened")},
    {TextId::JackUnavailable, Code::LinkUnavailable,
     PADKBD_TEXT("padkbd::Texts", "no JACK server is running")},
    {TextId::NoMidiService, Code::LinkUnavailable,
     PADKBD_TEXT("padkbd::Texts",
                 "the ALSA sequencer cannot be opened and no JACK server is running")},

    // --- The keyboard's protocol (protocol/) ---
    {TextId::NoSettingsToSave, Code::Other,
     PADKBD_TEXT("padkbd::Texts", "there are no settings to save yet")},
    {TextId::NoSettingsToSend, Code::Other,
     PADKBD_TEXT("padkbd::Texts", "there are no settings to send yet")},
    {TextId::HandshakeNotTaken, Code::LinkFailed,
     PADKBD_TEXT("padkbd::Texts", "the keyboard did not take the handshake: %1")},
    {TextId::HandshakeUnanswered, Code::KeyboardSilent,
     PADKBD_TEXT("padkbd::Texts", "the controller did not answer the handshake after %1 attempts")},
    {TextId::CancelledWaiting, Code::Cancelled,
     PADKBD_TEXT("padkbd::Texts", "cancelled while waiting for the keyboard")},
    {TextId::ReadCancelled, Code::Cancelled, PADKBD_TEXT("padkbd::Texts", "the read was cancelled")},
    {TextId::ReadStopped, Code::KeyboardSilent,
     PADKBD_TEXT("padkbd::Texts", "the controller stopped answering during the read, at %1")},
    {TextId::ReadFailedBecause, Code::Other,
     PADKBD_TEXT("padkbd::Texts", "reading the controller failed: %1")},
    {TextId::SlotOutside, Code::Other, PADKBD_TEXT("padkbd::Texts", "memory slot %1 is outside 1-9")},
    {TextId::SlotOutsideNothingSent, Code::Other,
     PADKBD_TEXT("padkbd::Texts", "memory slot %1 is outside 1-9; nothing was sent")},
    {TextId::SendCancelledAfter, Code::Cancelled,
     PADKBD_TEXT("padkbd::Texts",
                 "cancelled after %1 of %2 settings: memory slot %3 now holds some of the new "
                 "settings and some of the old")},
    {TextId::SendStopped, Code::LinkFailed, PADKBD_TEXT("padkbd::Texts", "the send stopped, at %1")},
    {TextId::SendFailedBecause, Code::Other, PADKBD_TEXT("padkbd::Texts", "the send failed: %1")},
    {TextId::ControlHasNoRecord, Code::Other,
     PADKBD_TEXT("padkbd::Texts", "%1: the control has no record")},
    {TextId::GainCount, Code::Other,
     PADKBD_TEXT("padkbd::Texts", "the gain list has %1 entries, 8 are needed")},
    {TextId::GainOutside, Code::Other, PADKBD_TEXT("padkbd::Texts", "gain %1 is %2, outside 0-127")},

    // --- The keyboard's options and the workflow (keyboard/) ---
    {TextId::OptionSimulate, Code::Ok,
     PADKBD_TEXT("padkbd::Texts",
                 "Use the simulated keyboard instead of USB; --simulate=STATEFILE keeps its memory "
                 "slots and gains in STATEFILE between runs")},
    {TextId::OptionDevice, Code::Ok,
     PADKBD_TEXT("padkbd::Texts", "Use the keyboard with this USB vendor:product id (hex)")},
    {TextId::OptionManufacturer, Code::Ok,
     PADKBD_TEXT("padkbd::Texts",
                 "The keyboard's three SysEx manufacturer bytes, hex (\"00206b\", \"00 20 6b\")")},
    {TextId::OptionPort, Code::Ok,
     PADKBD_TEXT("padkbd::Texts",
                 "Reach the keyboard through the MIDI port whose name contains NAME (any case) "
                 "instead of raw USB")},
    {TextId::OptionMidiApi, Code::Ok,
     PADKBD_TEXT("padkbd::Texts", "The MIDI service for --port: alsa or jack")},
    {TextId::WantsUsbIds, Code::Ok,
     PADKBD_TEXT("padkbd::Texts", "a USB id VID:PID in hexadecimal (like 1209:0001)")},
    {TextId::WantsManufacturer, Code::Ok,
     PADKBD_TEXT("padkbd::Texts", "three hex bytes 00-7f (like 00206b)")},
    {TextId::WantsPortName, Code::Ok, PADKBD_TEXT("padkbd::Texts", "a part of the MIDI port's name")},
    {TextId::WantsMidiApi, Code::Ok, PADKBD_TEXT("padkbd::Texts", "alsa or jack")},
    {TextId::SimulateNeedsFile, Code::Usage,
     PADKBD_TEXT("padkbd::Texts", "--simulate=STATEFILE needs a file name")},
    {TextId::OptionTakes, Code::Usage, PADKBD_TEXT("padkbd::Texts", "%1 takes %2, not %3")},
};

#undef PADKBD_TEXT

constexpr bool inOrder() {
  std::size_t n = 0;
  for (const CatalogueEntry& entry : kCatalogue) {
    if (static_cast<std::size_t>(entry.id) != n++) return false;
  }
  return n == static_cast<std::size_t>(TextId::Count);
}
static_assert(inOrder(), "the catalogue has one entry for every TextId, in order");

std::tm localTime(TextClock::time_point at) {
  const std::time_t t = TextClock::to_time_t(at);
  std::tm tm{};
  localtime_r(&t, &tm);
  return tm;
}

}  // namespace

TextArg::TextArg(Text text) : value_(std::make_shared<const Text>(std::move(text))) {}

Domain domainOf(Code code) {
  switch (code) {
    case Code::Ok:
    case Code::Cancelled:
      return Domain::None;
    case Code::LinkNotFound:
    case Code::LinkDenied:
    case Code::LinkBusy:
    case Code::LinkGone:
    case Code::LinkFailed:
    case Code::LinkUnavailable:
      return Domain::Link;
    case Code::KeyboardSilent:
    case Code::KeyboardMisbehaved:
      return Domain::Keyboard;
    case Code::FileMissing:
    case Code::FileUnreadable:
    case Code::FileDamaged:
    case Code::FileInvalid:
    case Code::FileTooLarge:
    case Code::FileUnwritable:
      return Domain::File;
    case Code::HistoryBusy:
    case Code::HistoryReadOnly:
    case Code::HistoryUnreadable:
    case Code::HistoryDamaged:
    case Code::HistoryNewer:
    case Code::HistoryNoEntry:
    case Code::HistoryFailed:
      return Domain::History;
    case Code::Usage:
      return Domain::Usage;
    case Code::Other:
      break;
  }
  return Domain::Other;
}

std::string_view codeName(Code code) {
  static constexpr std::array<std::string_view, static_cast<std::size_t>(Code::Other) + 1> kNames{
      "ok",           "cancelled",       "link-not-found",   "link-denied",
      "link-busy",    "link-gone",       "link-failed",      "link-unavailable",
      "keyboard-silent", "keyboard-misbehaved", "file-missing", "file-unreadable",
      "file-damaged", "file-invalid",    "file-too-large",   "file-unwritable",
      "history-busy", "history-read-only", "history-unreadable", "history-damaged",
      "history-newer", "history-no-entry", "history-failed", "usage",
      "other"};
  const auto n = static_cast<std::size_t>(code);
  return n < kNames.size() ? kNames[n] : "other";
}

const CatalogueEntry& catalogueEntry(TextId id) {
  const auto n = static_cast<std::size_t>(id);
  return n < std::size(kCatalogue) ? kCatalogue[n] : kCatalogue[0];
}

std::string fillPattern(std::string_view pattern, const std::vector<std::string>& values) {
  std::string text;
  text.reserve(pattern.size() + 16);
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c != '%' || i + 1 >= pattern.size()) {
      text += c;
      continue;
    }
    const char next = pattern[i + 1];
    if (next == '%') {
      text += '%';
      ++i;
    } else if (next >= '1' && next <= '9' &&
               static_cast<std::size_t>(next - '1') < values.size()) {
      text += values[static_cast<std::size_t>(next - '1')];
      ++i;
    } else {
      text += c;
    }
  }
  return text;
}

std::string whenText(TextClock::time_point at, TextClock::time_point now) {
  const std::tm tm = localTime(at);
  const bool thisYear = tm.tm_year == localTime(now).tm_year;
  return thisYear ? fmt::format("{:%e %b} at {:%H:%M}", tm, tm).substr(tm.tm_mday < 10 ? 1 : 0)
                  : fmt::format("{:%e %b %Y} at {:%H:%M}", tm, tm).substr(tm.tm_mday < 10 ? 1 : 0);
}

std::string english(const Text& text) {
  std::vector<std::string> values;
  values.reserve(text.args.size());
  for (const TextArg& arg : text.args) {
    std::visit(
        [&values](const auto& value) {
          using T = std::decay_t<decltype(value)>;
          if constexpr (std::is_same_v<T, std::string>) {
            values.push_back(value);
          } else if constexpr (std::is_same_v<T, std::int64_t>) {
            values.push_back(std::to_string(value));
          } else if constexpr (std::is_same_v<T, TextClock::time_point>) {
            values.push_back(whenText(value));
          } else {
            values.push_back(value ? english(*value) : std::string());
          }
        },
        arg.value());
  }
  return fillPattern(catalogueEntry(text.id).pattern, values);
}

}  // namespace padkbd

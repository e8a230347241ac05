// What padkbd says to people, as an entry of one catalogue and the values it
// names, not as a finished sentence: the tool words it in English, the
// window in its own language (through Qt's translation of the catalogue's
// English pattern). Names (files, ports, notes, controllers) and numbers
// pass through as they are; a time is worded by each face in its way.
//
// Every entry also says what kind of failure it is (its Code), when it is
// one: callers decide by the code, never by the words.
#pragma once

#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace padkbd {

// What went wrong, from a small set per domain.
enum class Code : std::uint8_t {
  Ok,
  Cancelled,  // the user asked to stop
  // The way to the keyboard.
  LinkNotFound,     // no keyboard (USB ids, MIDI port) to be found
  LinkDenied,       // the system does not let this user open it
  LinkBusy,         // another program holds it
  LinkGone,         // it went away (unplugged) during an exchange
  LinkFailed,       // a transfer failed
  LinkUnavailable,  // USB or the MIDI service cannot be used at all
  // The keyboard's answers.
  KeyboardSilent,      // it did not answer (the handshake, a request)
  KeyboardMisbehaved,  // it answered what it should not
  // Files: preset documents, the settings file, state files.
  FileMissing,
  FileUnreadable,  // cannot be opened or read
  FileDamaged,     // not a document of this kind, or cut short
  FileInvalid,     // a document of this kind, with values it cannot hold
  FileTooLarge,
  FileUnwritable,
  // The history of reads and sends.
  HistoryBusy,        // another program holds it
  HistoryReadOnly,    // may be read, not written
  HistoryUnreadable,  // cannot be opened
  HistoryDamaged,     // set aside, or damaged and kept
  HistoryNewer,       // a newer padkbd's
  HistoryNoEntry,     // no such entry
  HistoryFailed,      // anything else
  // The preset library's index and its sets of nine.
  LibraryBusy,       // another program holds the index
  LibraryDamaged,    // the index was set aside, or is damaged and kept
  LibraryFailed,     // anything else about the index
  LibraryNoPreset,   // no preset of that name
  LibraryAmbiguous,  // several presets of that name
  LibraryExists,     // a different file of that name is already there
  LibrarySetChanged,  // a preset of a set changed or went since the set named it
  // The command line.
  Usage,
  // What fits nowhere else (an internal error, memory).
  Other,
};

enum class Domain { None, Link, Keyboard, File, History, Library, Usage, Other };
Domain domainOf(Code code);
// "link-not-found": for programs (the tool's JSON) and logs.
std::string_view codeName(Code code);

// The catalogue's entries. Each has one English pattern in Text.cpp, with
// %1, %2, … for its values.
enum class TextId : std::uint16_t {
  // A text made elsewhere, passed on whole (a library's own message): %1.
  Plain,
  // A failure with a cause: "%1: %2".
  Because,
  Cancelled,
  // The MIDI-port module (%1, its file name) cannot be loaded: %2, why.
  PortModuleMissing,

  // --- The way to the keyboard (link/) ---
  LinkNoDevice,
  LinkIoError,
  LinkInterrupted,
  LinkTimedOut,
  UsbSuccess,
  UsbInvalidParameter,
  UsbAccessDenied,
  UsbNotFound,
  UsbBusy,
  UsbOverflow,
  UsbPipeError,
  UsbNoMemory,
  UsbNotSupported,
  UsbOtherError,
  InterfaceNotFound,
  InterfaceNotOpened,
  InterfaceNotClaimed,
  InterfaceNotExamined,
  NoPortNamed,
  NoControllerWithIds,
  NoController,
  WriteFailed,
  NoReply,
  NotTheHandshake,
  ReplyTooShort,
  LibusbNotStarted,
  UsbNotListed,
  AlsaUnavailable,
  JackUnavailable,
  NoMidiService,

  // --- The keyboard's protocol (protocol/) ---
  NoSettingsToSave,
  NoSettingsToSend,
  HandshakeNotTaken,
  HandshakeUnanswered,
  CancelledWaiting,
  ReadCancelled,
  ReadStopped,
  ReadFailedBecause,
  SlotOutside,
  SlotOutsideNothingSent,
  SendCancelledAfter,
  SendStopped,
  SendFailedBecause,
  ControlHasNoRecord,
  GainCount,
  GainOutside,

  // --- The keyboard's options and the workflow (keyboard/) ---
  OptionSimulate,
  OptionDevice,
  OptionManufacturer,
  OptionPort,
  OptionMidiApi,
  WantsUsbIds,
  WantsManufacturer,
  WantsPortName,
  WantsMidiApi,
  SimulateNeedsFile,
  OptionTakes,

  // ---- Shared words.
  // A label of a choice list ("Pad 5", "Channel 10", "7 Volume"): %1 as the
  // tool says it, %2 (when given) as the list file has it. The window shows
  // the label in its language.
  ListLabel,
  // Two things named together: "Knob 3, Knob 6".
  Also,
  None,  // "none": a colour or an option that is not set
  // The settings of a control and of the global block, by name.
  FieldValue, FieldMode, FieldChannel, FieldMidiNumber, FieldMin, FieldMax, FieldModeOption,
  FieldRed, FieldGreen, FieldBlue, FieldKnobRelativeMode, FieldOctaveTransposition,
  FieldMidiChannel, FieldVelocityCurve, FieldPadVelocityCurve, FieldKnobAcceleration,
  FieldMemorySlot,
  // The Edit menu's names of what Undo and Redo change.
  UndoSetting,   // "Pad 6 mode": %1 the control, %2 the setting
  UndoColour,    // "Pad 6 colour"
  UndoBulk,      // "bulk change of 3 pads"
  UndoPaste,     // "paste onto Pad 6"
  UndoDefault,
  UndoLoad,       // "Load live.padkbd"
  UndoOpenEntry,  // "Open history entry 12"
  UndoRead,

  // ---- Files (storage/): reading, writing, locking.
  CannotOpenIt, NotRegularFile, TooLargeSized, CannotReadIt, TooLarge, CouldNotWrite,
  NotAFileName, NoTemporaryName, CannotLock, CouldNotLoad, CouldNotSave, WorkingCopyUnusable,
  WorkingCopyFolder,
  // ---- Preset documents (storage/): shape and checks.
  FileEmpty, NotPlistOrText, NotPlist, BinaryPlistBroken, PlistTooShort,
  PlistTrailerSizes, PlistNoTop, PlistOffsetsOutside, PlistObjectOutside, PlistSelfContaining,
  PlistUnknownSize, PlistUnknownKind, PlistPastObjects, PlistBrokenLength, PlistMissingObject,
  PlistTooManyValues, PlistTooDeep, PlistDocumentType, PlistTooManyElements, PlistTooManyObjects,
  NotPresetDictionary, NoButtonArray, ButtonArrayNotArray, ButtonArrayCount, NotDictionary,
  GlobalNotDictionary, HoldsNotNumber, KindArray, KindDictionary, KindDate, KindData,
  KindOther, InGlobalSettings, ControlMissing, GlobalMissing, WrongButtonId, NoneOf,
  OutsideRange, RangeOrNone, RangeFromTo, ChannelOutside,
  // ---- The settings file (storage/).
  SettingsNotRegular, SettingsTooLarge, SettingsCannotRead, SettingsLine, KeyboardNotTable,
  DeviceNotIds, ManufacturerNotBytes, PortNotName, CouldNotCreate, MendOrForget, CouldNotRemove,
  SettingsDamaged, SourceBuiltIn, SourceSettingsFile, SourceCommandLine,

  // ---- The history (history/).
  EntryRead, EntrySent, EntryStopped,
  KeyboardUsb, KeyboardUsbSerial, KeyboardPort, KeyboardSimulated, KeyboardSimulatedFile,
  SourceKeyboard, SourceDefault, SourceEntry, SourceEdited,
  SlotUnknown, SlotHolds, SlotMix, PreviewUnknown, PreviewMix, PreviewChanges,
  NothingChanges, OneSettingChanges, SettingsChange,
  HistoryBusy, HistoryReadOnly, HistoryUnopenable, HistoryFailed, HistoryNewer,
  HistoryDamagedInUse, HistoryDamagedStays, HistoryDamagedMoved, HistoryUpgraded,
  NoHistoryEntry, EntryUnusable, PresetImpossibleSize, PresetDamaged,

  // ---- The preset library and its sets of nine (library/).
  LibraryBusy, LibraryUnopenable, LibraryFailed, LibraryNewer, LibraryDamagedInUse,
  LibraryDamagedStays, LibraryDamagedMoved, LibraryNoPreset, LibraryAmbiguous, LibraryExists,
  LibraryBadTag, LibraryNotFolder, LibraryFolderKnown, LibraryFolderUnknown,
  LibraryFolderDefault, LibraryNotPreset,
  SetNotASet, SetLine, SetExpectedHeader, SetExpectedSlot, SetSlotNumber, SetSlotTwice,
  SetHash, SetPath, SetEmpty, SetChanged, SetMissing, SetUnusable, SetProgress,

  // ---- Presets compared and played (session/).
  Difference, OnlyInFirst, OnlyInSecond, GlobalDifference,
  HeardFrom, HeardUnmatched, HeardControl, HeardNoteOn, HeardNoteOff, HeardPressure, HeardController,
  HeardStep, HeardNrpn, HeardRpn, HeardProgram, HeardChannelPressure, HeardPitchBend,

  // ---- The simulated keyboard's state file (sim/).
  StateMissing, StateUnreadable, StateTooLarge, StateUnopenable, StateDamagedLine,
  StateNoHeader, StateNul, StateExpectedHeader, StateVersion, StateExpectedUsb,
  StateExpectedManufacturer, StateExpectedGain, StateGainNumber, StateGainValue,
  StateExpectedSlot, StateSlotNumber, StateHexPair, StateNoSetting, StateValue, StateUnknownEntry,

  // Keep last: the number of entries.
  Count,
};

using TextClock = std::chrono::system_clock;

struct Text;

// A value a text names: a name, a number, a moment, or another text.
class TextArg {
 public:
  TextArg(std::string name) : value_(std::move(name)) {}
  TextArg(const char* name) : value_(std::string(name)) {}
  TextArg(std::string_view name) : value_(std::string(name)) {}
  TextArg(int number) : value_(static_cast<std::int64_t>(number)) {}
  TextArg(long number) : value_(static_cast<std::int64_t>(number)) {}
  TextArg(long long number) : value_(static_cast<std::int64_t>(number)) {}
  TextArg(unsigned number) : value_(static_cast<std::int64_t>(number)) {}
  TextArg(unsigned long number) : value_(static_cast<std::int64_t>(number)) {}
  TextArg(TextClock::time_point at) : value_(at) {}
  TextArg(Text text);

  using Value = std::variant<std::string, std::int64_t, TextClock::time_point,
                             std::shared_ptr<const Text>>;
  const Value& value() const { return value_; }

 private:
  Value value_;
};

struct Text {
  TextId id = TextId::Plain;
  std::vector<TextArg> args;

  Text() = default;
  Text(TextId id, std::initializer_list<TextArg> args = {}) : id(id), args(args) {}
  Text(TextId id, std::vector<TextArg> args) : id(id), args(std::move(args)) {}
};

// The catalogue's entry of a text.
struct CatalogueEntry {
  TextId id;
  Code code;  // Ok: not a failure
  const char* pattern;
};
const CatalogueEntry& catalogueEntry(TextId id);
// The context the window translates the patterns in.
inline constexpr const char* kTextContext = "padkbd::Texts";

// A label of a choice list as a text: `shown` in the tool's words, `listed`
// as the list file has it when that differs.
Text labelText(std::string shown, std::string listed = {});
// Names joined: "Knob 3, Knob 6".
Text joined(const std::vector<Text>& names);

// The tool's words: the pattern with its values, times as "6 Dec at 21:03"
// (the year named when not `now`'s).
std::string english(const Text& text, TextClock::time_point now = TextClock::now());
// "6 Dec at 21:03" in local time; "6 Dec 2025 at 21:03" in another year than `now`'s.
std::string whenText(TextClock::time_point at, TextClock::time_point now = TextClock::now());
// Puts `values` (already worded) into `pattern` for %1, %2, …; "%%" is "%".
std::string fillPattern(std::string_view pattern, const std::vector<std::string>& values);

}  // namespace padkbd

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
    {TextId::PortModuleMissing, Code::LinkUnavailable,
     PADKBD_TEXT("padkbd::Texts", "the MIDI port support (%1) cannot be loaded: %2")},

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

    // ---- Shared words.
    {TextId::ListLabel, Code::Ok, PADKBD_TEXT("padkbd::Texts", "%1")},
    {TextId::Also, Code::Ok, PADKBD_TEXT("padkbd::Texts", "%1, %2")},
    {TextId::None, Code::Ok, PADKBD_TEXT("padkbd::Texts", "none")},
    {TextId::FieldValue, Code::Ok, PADKBD_TEXT("padkbd::Texts", "value")},
    {TextId::FieldMode, Code::Ok, PADKBD_TEXT("padkbd::Texts", "mode")},
    {TextId::FieldChannel, Code::Ok, PADKBD_TEXT("padkbd::Texts", "channel")},
    {TextId::FieldMidiNumber, Code::Ok, PADKBD_TEXT("padkbd::Texts", "MIDI number")},
    {TextId::FieldMin, Code::Ok, PADKBD_TEXT("padkbd::Texts", "min")},
    {TextId::FieldMax, Code::Ok, PADKBD_TEXT("padkbd::Texts", "max")},
    {TextId::FieldModeOption, Code::Ok, PADKBD_TEXT("padkbd::Texts", "mode option")},
    {TextId::FieldRed, Code::Ok, PADKBD_TEXT("padkbd::Texts", "red")},
    {TextId::FieldGreen, Code::Ok, PADKBD_TEXT("padkbd::Texts", "green")},
    {TextId::FieldBlue, Code::Ok, PADKBD_TEXT("padkbd::Texts", "blue")},
    {TextId::FieldKnobRelativeMode, Code::Ok, PADKBD_TEXT("padkbd::Texts", "knob relative mode")},
    {TextId::FieldOctaveTransposition, Code::Ok, PADKBD_TEXT("padkbd::Texts", "octave transposition")},
    {TextId::FieldMidiChannel, Code::Ok, PADKBD_TEXT("padkbd::Texts", "MIDI channel")},
    {TextId::FieldVelocityCurve, Code::Ok, PADKBD_TEXT("padkbd::Texts", "velocity curve")},
    {TextId::FieldPadVelocityCurve, Code::Ok, PADKBD_TEXT("padkbd::Texts", "pad velocity curve")},
    {TextId::FieldKnobAcceleration, Code::Ok, PADKBD_TEXT("padkbd::Texts", "knob acceleration")},
    {TextId::FieldMemorySlot, Code::Ok, PADKBD_TEXT("padkbd::Texts", "memory slot")},
    {TextId::UndoSetting, Code::Ok, PADKBD_TEXT("padkbd::Texts", "%1 %2")},
    {TextId::UndoColour, Code::Ok, PADKBD_TEXT("padkbd::Texts", "%1 colour")},
    {TextId::UndoBulk, Code::Ok, PADKBD_TEXT("padkbd::Texts", "bulk change of %1 pads")},
    {TextId::UndoPaste, Code::Ok, PADKBD_TEXT("padkbd::Texts", "paste onto %1")},
    {TextId::UndoDefault, Code::Ok, PADKBD_TEXT("padkbd::Texts", "Default")},
    {TextId::UndoLoad, Code::Ok, PADKBD_TEXT("padkbd::Texts", "Load %1")},
    {TextId::UndoOpenEntry, Code::Ok, PADKBD_TEXT("padkbd::Texts", "Open history entry %1")},
    {TextId::UndoRead, Code::Ok, PADKBD_TEXT("padkbd::Texts", "Read from keyboard")},

    // ---- Files (storage/): reading, writing, locking.
    {TextId::CannotOpenIt, Code::FileUnreadable, PADKBD_TEXT("padkbd::Texts", "cannot open it (%1)")},
    {TextId::NotRegularFile, Code::FileUnreadable, PADKBD_TEXT("padkbd::Texts", "it is not a regular file")},
    {TextId::TooLargeSized, Code::FileTooLarge, PADKBD_TEXT("padkbd::Texts", "the file is too large for a preset (%1 bytes, at most %2)")},
    {TextId::CannotReadIt, Code::FileUnreadable, PADKBD_TEXT("padkbd::Texts", "cannot read it (%1)")},
    {TextId::TooLarge, Code::FileTooLarge, PADKBD_TEXT("padkbd::Texts", "the file is too large for a preset (at most %1 bytes)")},
    {TextId::CouldNotWrite, Code::FileUnwritable, PADKBD_TEXT("padkbd::Texts", "Could not write %1: %2")},
    {TextId::NotAFileName, Code::FileUnwritable, PADKBD_TEXT("padkbd::Texts", "that is not a file name")},
    {TextId::NoTemporaryName, Code::FileUnwritable, PADKBD_TEXT("padkbd::Texts", "no free name for a temporary file beside it")},
    {TextId::CannotLock, Code::FileUnwritable, PADKBD_TEXT("padkbd::Texts", "Cannot lock %1: %2")},
    {TextId::CouldNotLoad, Code::FileUnreadable, PADKBD_TEXT("padkbd::Texts", "Could not load %1")},
    {TextId::CouldNotSave, Code::FileUnwritable, PADKBD_TEXT("padkbd::Texts", "Could not save %1")},
    {TextId::WorkingCopyUnusable, Code::FileInvalid, PADKBD_TEXT("padkbd::Texts", "The working copy %1 is unusable")},
    {TextId::WorkingCopyFolder, Code::FileUnwritable, PADKBD_TEXT("padkbd::Texts", "Could not create the folder of the working copy %1: %2")},

    // ---- Preset documents (storage/): shape and checks.
    {TextId::FileEmpty, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "the file is empty")},
    {TextId::NotPlistOrText, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "the file is neither a binary property list nor UTF-8 text")},
    {TextId::NotPlist, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "the file is not a property list")},
    {TextId::BinaryPlistBroken, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "the binary property list is broken: %1")},
    {TextId::PlistTooShort, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "it is too short")},
    {TextId::PlistTrailerSizes, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "its trailer gives impossible sizes")},
    {TextId::PlistNoTop, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "its trailer names no top object")},
    {TextId::PlistOffsetsOutside, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "its offset table lies outside the file")},
    {TextId::PlistObjectOutside, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "object %1 lies outside the file")},
    {TextId::PlistSelfContaining, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "an object contains itself")},
    {TextId::PlistUnknownSize, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "object %1 has a number of an unknown size")},
    {TextId::PlistUnknownKind, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "object %1 is of an unknown kind")},
    {TextId::PlistPastObjects, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "object %1 runs past the objects")},
    {TextId::PlistBrokenLength, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "object %1 has a broken length")},
    {TextId::PlistMissingObject, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "object %1 refers to an object that does not exist")},
    {TextId::PlistTooManyValues, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "the property list holds more than %1 values, far more than a preset")},
    {TextId::PlistTooDeep, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "the property list is nested deeper than a preset can be (more than %1 levels)")},
    {TextId::PlistDocumentType, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "the property list declares its own document type, which no preset does")},
    {TextId::PlistTooManyElements, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "the property list holds more than %1 elements, far more than a preset")},
    {TextId::PlistTooManyObjects, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "the property list has %1 objects, far more than a preset (at most %2)")},
    {TextId::NotPresetDictionary, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "the file is not a preset dictionary")},
    {TextId::NoButtonArray, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "the preset has no \"ButtonArray\"")},
    {TextId::ButtonArrayNotArray, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "\"ButtonArray\" is not an array")},
    {TextId::ButtonArrayCount, Code::FileInvalid, PADKBD_TEXT("padkbd::Texts", "\"ButtonArray\" has %1 controls instead of %2")},
    {TextId::NotDictionary, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "%1 is not a dictionary")},
    {TextId::GlobalNotDictionary, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "\"GlobalValue\" is not a dictionary")},
    {TextId::HoldsNotNumber, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "\"%1\" holds %2, not a number")},
    {TextId::KindArray, Code::Ok, PADKBD_TEXT("padkbd::Texts", "an array")},
    {TextId::KindDictionary, Code::Ok, PADKBD_TEXT("padkbd::Texts", "a dictionary")},
    {TextId::KindDate, Code::Ok, PADKBD_TEXT("padkbd::Texts", "a date")},
    {TextId::KindData, Code::Ok, PADKBD_TEXT("padkbd::Texts", "data")},
    {TextId::KindOther, Code::Ok, PADKBD_TEXT("padkbd::Texts", "a value of no number kind")},
    {TextId::InGlobalSettings, Code::FileInvalid, PADKBD_TEXT("padkbd::Texts", "global settings: %1")},
    {TextId::ControlMissing, Code::FileInvalid, PADKBD_TEXT("padkbd::Texts", "%1 is missing")},
    {TextId::GlobalMissing, Code::FileInvalid, PADKBD_TEXT("padkbd::Texts", "the global settings are missing")},
    {TextId::WrongButtonId, Code::FileInvalid, PADKBD_TEXT("padkbd::Texts", "%1 has BtnID %2 instead of %3")},
    {TextId::NoneOf, Code::FileInvalid, PADKBD_TEXT("padkbd::Texts", "%1 is none of %2")},
    {TextId::OutsideRange, Code::FileInvalid, PADKBD_TEXT("padkbd::Texts", "%1 %2 is outside %3")},
    {TextId::RangeOrNone, Code::Ok, PADKBD_TEXT("padkbd::Texts", "0-%1 or none")},
    {TextId::RangeFromTo, Code::Ok, PADKBD_TEXT("padkbd::Texts", "%1-%2")},
    {TextId::ChannelOutside, Code::FileInvalid, PADKBD_TEXT("padkbd::Texts", "channel %1 is outside 1-%2 and Global")},

    // ---- The settings file (storage/).
    {TextId::SettingsNotRegular, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "not a regular file")},
    {TextId::SettingsTooLarge, Code::FileTooLarge, PADKBD_TEXT("padkbd::Texts", "too large (%1 bytes)")},
    {TextId::SettingsCannotRead, Code::FileUnreadable, PADKBD_TEXT("padkbd::Texts", "cannot be read")},
    {TextId::SettingsLine, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "line %1: %2")},
    {TextId::KeyboardNotTable, Code::FileInvalid, PADKBD_TEXT("padkbd::Texts", "\"keyboard\" is not a table")},
    {TextId::DeviceNotIds, Code::FileInvalid, PADKBD_TEXT("padkbd::Texts", "keyboard.device is not \"VID:PID\" in hexadecimal")},
    {TextId::ManufacturerNotBytes, Code::FileInvalid, PADKBD_TEXT("padkbd::Texts", "keyboard.manufacturer is not three bytes 00-7f in hexadecimal (\"00 20 6b\")")},
    {TextId::PortNotName, Code::FileInvalid, PADKBD_TEXT("padkbd::Texts", "keyboard.port is not a port name")},
    {TextId::CouldNotCreate, Code::FileUnwritable, PADKBD_TEXT("padkbd::Texts", "Could not create %1: %2")},
    {TextId::MendOrForget, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "%1; mend it, or forget it with \"padkbd use --reset\"")},
    {TextId::CouldNotRemove, Code::FileUnwritable, PADKBD_TEXT("padkbd::Texts", "Could not remove %1: %2")},
    {TextId::SettingsDamaged, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "the settings file is damaged (%1); using the built-in keyboard")},
    {TextId::SourceBuiltIn, Code::Ok, PADKBD_TEXT("padkbd::Texts", "built in")},
    {TextId::SourceSettingsFile, Code::Ok, PADKBD_TEXT("padkbd::Texts", "settings file")},
    {TextId::SourceCommandLine, Code::Ok, PADKBD_TEXT("padkbd::Texts", "command line")},

    // ---- The history (history/).
    {TextId::EntryRead, Code::Ok, PADKBD_TEXT("padkbd::Texts", "read")},
    {TextId::EntrySent, Code::Ok, PADKBD_TEXT("padkbd::Texts", "sent to memory slot %1")},
    {TextId::EntryStopped, Code::Ok, PADKBD_TEXT("padkbd::Texts", "stopped after %1 of %2 settings to memory slot %3")},
    {TextId::KeyboardUsb, Code::Ok, PADKBD_TEXT("padkbd::Texts", "USB %1")},
    {TextId::KeyboardUsbSerial, Code::Ok, PADKBD_TEXT("padkbd::Texts", "USB %1, serial %2")},
    {TextId::KeyboardPort, Code::Ok, PADKBD_TEXT("padkbd::Texts", "MIDI port %1")},
    {TextId::KeyboardSimulated, Code::Ok, PADKBD_TEXT("padkbd::Texts", "simulated keyboard")},
    {TextId::KeyboardSimulatedFile, Code::Ok, PADKBD_TEXT("padkbd::Texts", "simulated keyboard, state file %1")},
    {TextId::SourceKeyboard, Code::Ok, PADKBD_TEXT("padkbd::Texts", "from the keyboard")},
    {TextId::SourceDefault, Code::Ok, PADKBD_TEXT("padkbd::Texts", "default preset")},
    {TextId::SourceEntry, Code::Ok, PADKBD_TEXT("padkbd::Texts", "history entry %1")},
    {TextId::SourceEdited, Code::Ok, PADKBD_TEXT("padkbd::Texts", "%1, edited")},
    {TextId::SlotUnknown, Code::Ok, PADKBD_TEXT("padkbd::Texts", "Memory %1: not sent by padkbd on this computer")},
    {TextId::SlotHolds, Code::Ok, PADKBD_TEXT("padkbd::Texts", "Memory %1: last sent by padkbd on %2, %3")},
    {TextId::SlotMix, Code::Ok, PADKBD_TEXT("padkbd::Texts", "Memory %1: a send by padkbd on %2, %3, stopped after %4 of %5 settings")},
    {TextId::PreviewUnknown, Code::Ok, PADKBD_TEXT("padkbd::Texts", "%1, so what it holds is unknown; all %2 settings will be written")},
    {TextId::PreviewMix, Code::Ok, PADKBD_TEXT("padkbd::Texts", "%1; all %2 settings will be written")},
    {TextId::PreviewChanges, Code::Ok, PADKBD_TEXT("padkbd::Texts", "%1; against that, %2")},
    {TextId::NothingChanges, Code::Ok, PADKBD_TEXT("padkbd::Texts", "nothing changes")},
    {TextId::OneSettingChanges, Code::Ok, PADKBD_TEXT("padkbd::Texts", "1 setting changes")},
    {TextId::SettingsChange, Code::Ok, PADKBD_TEXT("padkbd::Texts", "%1 settings change")},
    {TextId::HistoryBusy, Code::HistoryBusy, PADKBD_TEXT("padkbd::Texts", "another program is using the history (%1)")},
    {TextId::HistoryReadOnly, Code::HistoryReadOnly, PADKBD_TEXT("padkbd::Texts", "the history database %1 is read-only (%2)")},
    {TextId::HistoryUnopenable, Code::HistoryUnreadable, PADKBD_TEXT("padkbd::Texts", "the history database %1 cannot be opened (%2)")},
    {TextId::HistoryFailed, Code::HistoryFailed, PADKBD_TEXT("padkbd::Texts", "the history could not be used: %1")},
    {TextId::HistoryNewer, Code::HistoryNewer, PADKBD_TEXT("padkbd::Texts", "the history database %1 was written by a newer padkbd, which this one does not write to")},
    {TextId::HistoryDamagedInUse, Code::HistoryDamaged, PADKBD_TEXT("padkbd::Texts", "the history database %1 is damaged (%2), and another program has it open: it is left as it is until that program is closed")},
    {TextId::HistoryDamagedStays, Code::HistoryDamaged, PADKBD_TEXT("padkbd::Texts", "the history database %1 is damaged (%2) and cannot be moved aside: %3")},
    {TextId::HistoryDamagedMoved, Code::HistoryDamaged, PADKBD_TEXT("padkbd::Texts", "The history database was damaged (%1); it was moved to %2 and a new one started.")},
    {TextId::HistoryUpgraded, Code::Ok, PADKBD_TEXT("padkbd::Texts", "The history database was upgraded for this padkbd; a copy of it as it was is kept in %1.")},
    {TextId::NoHistoryEntry, Code::HistoryNoEntry, PADKBD_TEXT("padkbd::Texts", "there is no history entry %1")},
    {TextId::EntryUnusable, Code::HistoryDamaged, PADKBD_TEXT("padkbd::Texts", "history entry %1 cannot be used: %2")},
    {TextId::PresetImpossibleSize, Code::HistoryDamaged, PADKBD_TEXT("padkbd::Texts", "its preset has an impossible size")},
    {TextId::PresetDamaged, Code::HistoryDamaged, PADKBD_TEXT("padkbd::Texts", "its preset is damaged")},

    // ---- Presets compared and played (session/).
    {TextId::Difference, Code::Ok, PADKBD_TEXT("padkbd::Texts", "%1: %2 %3 → %4")},
    {TextId::OnlyInFirst, Code::Ok, PADKBD_TEXT("padkbd::Texts", "%1: only in the first preset")},
    {TextId::OnlyInSecond, Code::Ok, PADKBD_TEXT("padkbd::Texts", "%1: only in the second preset")},
    {TextId::GlobalDifference, Code::Ok, PADKBD_TEXT("padkbd::Texts", "global: %1 %2 → %3")},
    {TextId::HeardFrom, Code::Ok, PADKBD_TEXT("padkbd::Texts", "%1 · %2")},
    {TextId::HeardUnmatched, Code::Ok, PADKBD_TEXT("padkbd::Texts", "%1 · not from these settings: the keyboard may hold others")},
    {TextId::HeardControl, Code::Ok, PADKBD_TEXT("padkbd::Texts", "control %1")},
    {TextId::HeardNoteOn, Code::Ok, PADKBD_TEXT("padkbd::Texts", "note on %1 · velocity %2 · channel %3")},
    {TextId::HeardNoteOff, Code::Ok, PADKBD_TEXT("padkbd::Texts", "note off %1 · channel %2")},
    {TextId::HeardPressure, Code::Ok, PADKBD_TEXT("padkbd::Texts", "pressure %1 · %2 · channel %3")},
    {TextId::HeardController, Code::Ok, PADKBD_TEXT("padkbd::Texts", "controller %1 · value %2 · channel %3")},
    {TextId::HeardStep, Code::Ok, PADKBD_TEXT("padkbd::Texts", "controller %1 · step %2 · channel %3")},
    {TextId::HeardNrpn, Code::Ok, PADKBD_TEXT("padkbd::Texts", "NRPN %1 · value %2 · channel %3")},
    {TextId::HeardRpn, Code::Ok, PADKBD_TEXT("padkbd::Texts", "RPN %1 · value %2 · channel %3")},
    {TextId::HeardProgram, Code::Ok, PADKBD_TEXT("padkbd::Texts", "program change %1 · channel %2")},
    {TextId::HeardChannelPressure, Code::Ok, PADKBD_TEXT("padkbd::Texts", "channel pressure %1 · channel %2")},
    {TextId::HeardPitchBend, Code::Ok, PADKBD_TEXT("padkbd::Texts", "pitch bend %1 · channel %2")},

    // ---- The simulated keyboard's state file (sim/).
    {TextId::StateMissing, Code::FileMissing, PADKBD_TEXT("padkbd::Texts", "Simulator state file %1 does not exist or is not a file")},
    {TextId::StateUnreadable, Code::FileUnreadable, PADKBD_TEXT("padkbd::Texts", "Cannot read simulator state file %1")},
    {TextId::StateTooLarge, Code::FileTooLarge, PADKBD_TEXT("padkbd::Texts", "Simulator state file %1 is too large (%2 bytes)")},
    {TextId::StateUnopenable, Code::FileUnreadable, PADKBD_TEXT("padkbd::Texts", "Cannot open simulator state file %1")},
    {TextId::StateDamagedLine, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "Simulator state file %1 is damaged (line %2): %3")},
    {TextId::StateNoHeader, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "Simulator state file %1 is damaged: it has no \"%2 1\" line")},
    {TextId::StateNul, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "contains a NUL byte")},
    {TextId::StateExpectedHeader, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "expected \"%1 1\" first")},
    {TextId::StateVersion, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "unknown format version %1")},
    {TextId::StateExpectedUsb, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "expected \"usb VVVV:PPPP\"")},
    {TextId::StateExpectedManufacturer, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "expected \"manufacturer M1 M2 M3\" (hex, 00-7f)")},
    {TextId::StateExpectedGain, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "expected \"gain N VV\"")},
    {TextId::StateGainNumber, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "gain number must be 0 to 7")},
    {TextId::StateGainValue, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "gain value must be two hex digits, 00 to 7f")},
    {TextId::StateExpectedSlot, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "expected \"slot S PP WW VV\"")},
    {TextId::StateSlotNumber, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "slot must be 0 to 8")},
    {TextId::StateHexPair, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "PP and WW must be two hex digits each")},
    {TextId::StateNoSetting, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "no setting has parameter %1 and target %2")},
    {TextId::StateValue, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "value must be two hex digits, 00 to 7f")},
    {TextId::StateUnknownEntry, Code::FileDamaged, PADKBD_TEXT("padkbd::Texts", "unknown entry \"%1\"")},
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

Text labelText(std::string shown, std::string listed) {
  if (listed.empty() || listed == shown) return Text(TextId::ListLabel, {std::move(shown)});
  return Text(TextId::ListLabel, {std::move(shown), std::move(listed)});
}

Text joined(const std::vector<Text>& names) {
  if (names.empty()) return Text(TextId::Plain, {std::string()});
  Text all = names.front();
  for (std::size_t i = 1; i < names.size(); ++i) all = Text(TextId::Also, {all, names[i]});
  return all;
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

std::string english(const Text& text, TextClock::time_point now) {
  std::vector<std::string> values;
  values.reserve(text.args.size());
  for (const TextArg& arg : text.args) {
    std::visit(
        [&values, now](const auto& value) {
          using T = std::decay_t<decltype(value)>;
          if constexpr (std::is_same_v<T, std::string>) {
            values.push_back(value);
          } else if constexpr (std::is_same_v<T, std::int64_t>) {
            values.push_back(std::to_string(value));
          } else if constexpr (std::is_same_v<T, TextClock::time_point>) {
            values.push_back(whenText(value, now));
          } else {
            values.push_back(value ? english(*value, now) : std::string());
          }
        },
        arg.value());
  }
  return fillPattern(catalogueEntry(text.id).pattern, values);
}

}  // namespace padkbd

// The window's side of the field table: each setting of a control and of the
// global block, bound to the pop-up that shows it (the outlet name of its
// QComboBox). Which list a pop-up shows, when it is enabled and what follows
// an edit come from the field's row in model/Fields.h, so a new row here is
// a new pop-up, with nothing else to write.
#pragma once

#include <array>
#include <utility>
#include <vector>

#include "model/Fields.h"

class QComboBox;
class QWidget;

namespace padkbd {
class EditSession;
}

namespace padkbd::editor {

struct ControlPopUp {
  ControlField field;
  const char* outlet;
  bool noteNames;  // numbers that are notes for a pad in a note mode read as notes too
};

struct GlobalPopUp {
  GlobalField field;
  const char* outlet;
};

inline constexpr std::array<ControlPopUp, 10> kControlPopUps = {{
    {ControlField::Mode, "mode", false},
    {ControlField::ModeOption, "modeOption", false},
    {ControlField::Value, "val", false},
    {ControlField::Channel, "channel", false},
    {ControlField::MIDInumb, "CCnum", true},
    {ControlField::Min, "min", false},
    {ControlField::Max, "max", false},
    {ControlField::CR, "cr", false},
    {ControlField::CG, "cg", false},
    {ControlField::CB, "cb", false},
}};

inline constexpr std::array<GlobalPopUp, 6> kGlobalPopUps = {{
    {GlobalField::MIDIChannel, "globalC"},
    {GlobalField::OctaveTransposition, "globalO"},
    {GlobalField::PadVelocityCurve, "globalPVC"},
    {GlobalField::KnobAccelerationCurve, "globalKA"},
    {GlobalField::VelocityCurve, "globalVC"},
    {GlobalField::MemorySlot, "mem"},
}};

class FieldPopUps {
 public:
  // Finds the pop-up of every row in `view`.
  explicit FieldPopUps(const QWidget* view);

  const std::vector<std::pair<ControlPopUp, QComboBox*>>& controls() const { return controls_; }
  const std::vector<std::pair<GlobalPopUp, QComboBox*>>& globals() const { return globals_; }

  // Every list from the session's choice lists, nothing chosen; a mode
  // option list is empty until a control is shown.
  void fillLists(const EditSession& session);
  void showGlobal(const EditSession& session);
  // The current control: the mode list of its kind, the option list of its
  // mode, and its values.
  void showControl(const EditSession& session);
  // After the mode changed: the option list of the new mode, at the option kept.
  void showModeOptions(const EditSession& session);
  // No control: nothing chosen, no options.
  void clearControl();
  // Bulk mode leaves its own fields only; a read leaves none; colours are for pads.
  void enable(const EditSession* session, bool reading);

 private:
  std::vector<std::pair<ControlPopUp, QComboBox*>> controls_;
  std::vector<std::pair<GlobalPopUp, QComboBox*>> globals_;
};

}  // namespace padkbd::editor

#include "model/PopUpValue.h"

#include "model/Fields.h"

namespace padkbd {

PopUpValue popUpValueFrom(const std::map<std::string, StringList>& lists) {
  auto list = [&lists](const char* key) {
    auto it = lists.find(key);
    return it == lists.end() ? StringList{} : it->second;
  };
  auto control = [&list](ControlField field) { return list(info(field).listKey); };
  auto global = [&list](GlobalField field) { return list(info(field).listKey); };
  PopUpValue pu;
  pu.globalCArray = global(GlobalField::MIDIChannel);
  pu.globalOArray = global(GlobalField::OctaveTransposition);
  pu.globalPVCArray = global(GlobalField::PadVelocityCurve);
  pu.globalKAArray = global(GlobalField::KnobAccelerationCurve);
  pu.globalVCArray = global(GlobalField::VelocityCurve);
  pu.nameArray = list("buttonName");
  pu.padModeArray = control(ControlField::Mode);
  pu.otherModeArray = list(info(ControlField::Mode).otherListKey);
  pu.valArray = control(ControlField::Value);
  pu.channelArray = control(ControlField::Channel);
  pu.CCnumArray = control(ControlField::MIDInumb);
  pu.minArray = control(ControlField::Min);
  pu.maxArray = control(ControlField::Max);
  pu.memArray = global(GlobalField::MemorySlot);
  pu.crArray = control(ControlField::CR);
  pu.cgArray = control(ControlField::CG);
  pu.cbArray = control(ControlField::CB);
  return pu;
}

}  // namespace padkbd

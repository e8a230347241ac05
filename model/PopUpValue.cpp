#include "model/PopUpValue.h"

namespace padkbd {

PopUpValue popUpValueFrom(const std::map<std::string, StringList>& lists) {
  auto list = [&lists](const char* key) {
    auto it = lists.find(key);
    return it == lists.end() ? StringList{} : it->second;
  };
  PopUpValue pu;
  pu.globalCArray = list("globalChannel");
  pu.globalOArray = list("globalOctave");
  pu.globalPVCArray = list("globalPadVelCurve");
  pu.globalKAArray = list("globalKnobAccel");
  pu.globalVCArray = list("globalVelocityCurve");
  pu.nameArray = list("buttonName");
  pu.padModeArray = list("selectPadMod");
  pu.otherModeArray = list("selectOtherMod");
  pu.modeOptionArray = {};
  pu.valArray = list("select127");
  pu.channelArray = list("selectChannel");
  pu.CCnumArray = list("selectCCNumber");
  pu.minArray = list("select127");
  pu.maxArray = list("select127");
  pu.memArray = list("mem");
  pu.crArray = list("select127");
  pu.cgArray = list("select127");
  pu.cbArray = list("select127");
  return pu;
}

}  // namespace padkbd

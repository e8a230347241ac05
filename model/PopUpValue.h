// The editor's choice lists, one per pop-up menu. Items are display labels;
// a record field stores the position of the chosen item.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace padkbd {

using StringList = std::vector<std::string>;

struct PopUpValue {
  StringList globalCArray;
  StringList globalOArray;
  StringList globalPVCArray;
  StringList globalKAArray;
  StringList globalVCArray;
  StringList nameArray;
  StringList padModeArray;
  StringList otherModeArray;
  StringList modeOptionArray;
  StringList valArray;
  StringList channelArray;
  StringList CCnumArray;
  StringList minArray;
  StringList maxArray;
  StringList memArray;
  StringList crArray;
  StringList cgArray;
  StringList cbArray;
};

// The lists from the labels of the "basic" resource, by key; the mode
// option list starts empty (it follows the control's mode).
PopUpValue popUpValueFrom(const std::map<std::string, StringList>& lists);

}  // namespace padkbd

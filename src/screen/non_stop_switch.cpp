#include "screen/non_stop_switch.h"

#include "playback/non_stop.h"
#include "screen/screen_context.h"

namespace screen {

bool SwitchNonStop(ScreenContext& jubo) {
  switch (playback::PlayMyLibrary(jubo)) {
    case playback::NonStopSwitch::kOn:
      return true;
    case playback::NonStopSwitch::kAllExcluded:
      jubo.ShowInfo("All Songs are", "Excluded!");
      return false;
    case playback::NonStopSwitch::kOff:
      break;
  }
  return false;
}

}  // namespace screen

#include "screen/list_movement.h"

#include "app/jubo.h"
#include "screen/render.h"

namespace screen {

bool MoveWithinPage(app::Jubo& jubo, int step) {
  ScreenState& s = jubo.screen;
  int row = s.CurrentRow + step;
  bool allowed =
      row >= 1 && row <= s.PageSize && !s.frmMain.lblItem[static_cast<size_t>(row)].caption.empty();
  if (!allowed) {
    sound::PlayCue(jubo, jubo.cues.ErrorSound);
    return false;
  }
  s.CurrentRow = static_cast<int16_t>(row);
  renderhighlight(s);
  sound::PlayCue(jubo, jubo.cues.BeepSound);
  return true;
}

}  // namespace screen

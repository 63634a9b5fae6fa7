#include "playback/status_panel.h"

#include <string>

#include "app/jubo.h"

namespace playback {

void Timer1(app::Jubo& jubo) {
  std::string repeat = jubo.settings.PlaylistLoop == 1 ? "Repeat:ON" : "Repeat:OFF";
  repeat.resize(15, ' ');
  jubo.screen.frmMain.lblState2.caption =
      repeat + (jubo.selection.NonStop ? "Non-Stop Music:ON" : "Non-Stop Music:OFF");

  // The idle count runs only while the program's screen saver is in use, and pauses while it
  // shows (view 20).
  if (jubo.settings.ScreensaverTimeout != 0 && jubo.screen.CurrentView != 20) {
    ++jubo.IdleSeconds;
  }
}

}  // namespace playback

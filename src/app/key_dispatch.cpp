#include "app/key_dispatch.h"

#include "app/jubo.h"
#include "app/shutdown.h"
#include "dialogs/confirm.h"
#include "ground/keys.h"
#include "library/library_connection.h"
#include "playback/loudness.h"
#include "playback/player_engine.h"
#include "screen/navigation.h"
#include "screen/non_stop_switch.h"
#include "screen/saver.h"
#include "screen/status_panel.h"

namespace app {
namespace {

// The player's keys, served while the playlist holds a song. Returns true when the key was one.
bool PlayerHotkey(Jubo& jubo, int16_t key) {
  switch (key) {
    case ground::KeyOf('P'):
      playback::PlayPause(jubo);
      return true;
    case ground::KeyOf('S'):
      playback::StopSong(jubo);
      return true;
    case ground::KeyOf('N'):
      playback::NextSong(jubo);
      return true;
    case ground::KeyOf('B'):
      playback::PreviousSong(jubo);
      return true;
    case ground::KeyOf('F'):
      playback::FastForward(jubo);
      return true;
    case ground::KeyOf('R'):
      playback::SkipBack(jubo);
      return true;
  }
  return false;
}

// The volume keys: keyboard media keys and remote controls send these codes. They act in every
// view, under the screen saver too, and the status panel shows the level they leave. Returns
// true when the key was one.
bool VolumeHotkey(Jubo& jubo, int16_t key) {
  constexpr int16_t kKeyMute = 173, kKeyVolumeDown = 174, kKeyVolumeUp = 175;
  switch (key) {
    case kKeyVolumeUp:
    case kKeyVolumeDown:
      playback::ChangeVolume(jubo, key == kKeyVolumeUp ? 1 : -1);
      break;
    case kKeyMute:
      playback::ToggleMute(jubo);
      break;
    default:
      return false;
  }
  screen::ShowVolume(jubo);
  return true;
}

// Letter hotkeys that act whatever the playlist holds. Returns true when the key was one.
bool LetterHotkey(Jubo& jubo, int16_t key) {
  switch (key) {
    case ground::KeyOf('A'):
      screen::StartScreensaverSoon(jubo);
      return true;
    case ground::KeyOf('X'):
      screen::CloseSaver(jubo);
      // An empty playlist is left alone, without the question.
      if (jubo.playlist.SongCount > 0 && dialogs::AskConfirm(jubo, "Shuffle", "Playlist?")) {
        playback::ShuffleSongs(jubo);
      }
      return true;
    case ground::KeyOf('L'):
      playback::ToggleRepeat(jubo);  // the engine tells the status panel
      return true;
    case ground::KeyOf('C'):
      screen::CloseSaver(jubo);
      // The Main Menu loses its playlist items; Now Playing has nothing left to show.
      if (!dialogs::AskConfirm(jubo, "Clear Playlist?", "")) return true;
      playback::ClearPlaylist(jubo);
      if (jubo.screen.CurrentView == screen::kViewMainMenu ||
          jubo.screen.CurrentView == screen::kViewNowPlaying) {
        screen::ShowMainMenu(jubo, 1);
      }
      return true;
    case ground::KeyOf('G'):
      // On the Main Menu, the Non-Stop row is renamed and the first row highlighted.
      screen::SwitchNonStop(jubo);
      if (jubo.screen.CurrentView == screen::kViewMainMenu) screen::ShowMainMenu(jubo, 1);
      return true;
    case ground::KeyOf('V'):
      screen::CloseSaver(jubo);
      // Left from there comes back to the Main Menu's first row.
      library::closealldatabases(jubo.library);
      jubo.screen.SavedRow[screen::kViewMainMenu] = 1;
      screen::ShowMenuAt(jubo, screen::kViewSettings, 2, 1);
      return true;
    case ground::KeyOf('M'):
      screen::CloseSaver(jubo);
      library::closealldatabases(jubo.library);
      screen::ShowMainMenu(jubo, 1);
      return true;
  }
  return false;
}

}  // namespace

void Form_KeyDown(Jubo& jubo, int16_t& KeyCode, int16_t) {
  jubo.IdleSeconds = 0;
  // Enter or Escape closes the pairing panel and does nothing else; other keys work below it.
  if (jubo.pairing.shown && (KeyCode == ground::kKeyEscape || KeyCode == ground::kKeyEnter)) {
    return screen::HidePairing(jubo);
  }
  if (VolumeHotkey(jubo, KeyCode)) return;
  if (jubo.playlist.SongCount >= 1 && PlayerHotkey(jubo, KeyCode)) return;
  if (KeyCode == ground::kKeyEscape) {
    if (ExitRequest(jubo)) return;
    // After "No" the key goes on like any other.
  }
  if (LetterHotkey(jubo, KeyCode)) return;
  screen::ViewKeyDown(jubo, KeyCode);
}

void Form_Click(Jubo& jubo) {
  int& pointer = jubo.screen.frmMain.pointer;
  pointer = pointer != 0 ? 0 : 99;
  jubo.display->SetPointerVisible(pointer == 0);
}

}  // namespace app

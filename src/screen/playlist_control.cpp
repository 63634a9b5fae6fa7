// Playlist Control (kViewPlaylistControl): a fixed menu of ten transport and playlist commands,
// reached from the Main Menu while the playlist holds songs. Up and Down move the highlight,
// Enter runs the highlighted command, Left goes back to the Main Menu. The commands are the
// engine's; this view lists them and asks the questions. Its row of the view table is
// kPlaylistControlView.
#include <string>
#include <vector>

#include "playback/player_engine.h"
#include "screen/hints.h"
#include "screen/navigation.h"
#include "screen/saver.h"
#include "screen/screen_context.h"
#include "screen/view.h"

namespace screen {
namespace {

void Beep(ScreenContext& jubo) { sound::PlayCue(jubo, jubo.cues.BeepSound); }

// A command on the playlist's songs: after Enter's beep, nothing once the playlist is empty
// (cleared with C while this menu showed), so that nothing plays what is no longer listed.
template <auto command>
void OnSongs(ScreenContext& jubo) {
  Beep(jubo);
  if (jubo.playlist.SongCount > 0) command(jubo);
}

void Shuffle(ScreenContext& jubo) {
  if (jubo.AskConfirm("Shuffle", "Playlist?")) playback::ShuffleSongs(jubo);
}

void ClearList(ScreenContext& jubo) {
  Beep(jubo);
  if (jubo.playlist.SongCount > 0 && jubo.AskConfirm("Clear Playlist?", "")) {
    playback::ClearPlaylist(jubo);
  }
  // Whatever the answer, the user lands on the Main Menu's first row.
  ShowMainMenu(jubo, 1);
}

void Repeat(ScreenContext& jubo) {
  Beep(jubo);
  playback::ToggleRepeat(jubo);
  RedrawKeepingRow(jubo);
}

void Screensaver(ScreenContext& jubo) {
  Beep(jubo);
  StartScreensaverSoon(jubo);
}

std::vector<MenuRow> Rows(const ScreenContext& jubo) {
  return {
      {"Stop", "stop", OnSongs<playback::StopAndReload>},
      {"Play/Pause", "playpause", OnSongs<playback::PlayPause>},
      {"Next Song", "next", OnSongs<playback::NextSong>},
      {"Previous Song", "previous", OnSongs<playback::PreviousSong>},
      {"Fast Forward", "fastforward", OnSongs<playback::FastForward>},
      {"Skip back 10 seconds", "skipbackward", OnSongs<playback::SkipBack>},
      {"Shuffle Playlist", "shuffle", OnSongs<Shuffle>},
      {"Clear Playlist", "clearlist", ClearList},
      {jubo.settings.PlaylistLoop == 0 ? "Turn ON Playlist Repeat" : "Turn OFF Playlist Repeat",
       "playlistloop", Repeat},
      {"Start Screensaver now", "screensaver", Screensaver},
  };
}

const MenuPart kPlaylistControl = {
    .title = [](ScreenContext&) -> std::string { return "Playlist Control"; },
    .rows = Rows,
};

}  // namespace

// clang-format off
extern const View kPlaylistControlView = {.code = kViewPlaylistControl,
    .menu = &kPlaylistControl, .hint = Hint<kHintControl>, .parent = Parent<kViewMainMenu>};
// clang-format on

}  // namespace screen

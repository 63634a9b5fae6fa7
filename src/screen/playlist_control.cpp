#include "screen/playlist_control.h"

#include <array>

#include "ground/keys.h"
#include "playback/player_engine.h"
#include "screen/hints.h"
#include "screen/list_movement.h"
#include "screen/navigation.h"
#include "screen/paged_list.h"
#include "screen/render.h"
#include "screen/screen_context.h"
#include "screen/status_panel.h"
#include "screen/view.h"

namespace screen {
namespace {

constexpr int kRepeatRow = 9;

std::string RepeatCaption(const ScreenContext& jubo) {
  return jubo.settings.PlaylistLoop == 0 ? "Turn ON Playlist Repeat" : "Turn OFF Playlist Repeat";
}

void ClearList(ScreenContext& jubo) {
  if (jubo.AskConfirm("Clear Playlist?", "")) playback::ClearPlaylist(jubo);
  // Whatever the answer, the user lands on the Main Menu's first row.
  ShowMainMenu(jubo, 1);
}

// The commands, in the menu's order: caption, tag, action.
struct Command {
  const char* caption;
  const char* tag;
  void (*run)(ScreenContext& jubo);
};

const std::array<Command, 10> kCommands = {{
    {"Stop", "stop", [](ScreenContext& jubo) { playback::StopAndReload(jubo); }},
    {"Play/Pause", "playpause", [](ScreenContext& jubo) { playback::PlayPause(jubo); }},
    {"Next Song", "next", [](ScreenContext& jubo) { playback::NextSong(jubo); }},
    {"Previous Song", "previous", [](ScreenContext& jubo) { playback::PreviousSong(jubo); }},
    {"Fast Forward", "fastforward", [](ScreenContext& jubo) { playback::FastForward(jubo); }},
    {"Skip back 10 seconds", "skipbackward", [](ScreenContext& jubo) { playback::SkipBack(jubo); }},
    {"Shuffle Playlist", "shuffle",
     [](ScreenContext& jubo) {
       if (jubo.AskConfirm("Shuffle", "Playlist?")) playback::ShuffleSongs(jubo);
     }},
    {"Clear Playlist", "clearlist", ClearList},
    {"", "playlistloop",
     [](ScreenContext& jubo) {
       playback::ToggleRepeat(jubo);
       jubo.screen.frmMain.lblItem[kRepeatRow].caption = RepeatCaption(jubo);
       renderhighlight(jubo.screen);
     }},
    {"Start Screensaver now", "screensaver", StartScreensaverSoon},
}};

void PlaybackControlKeyDown(ScreenContext& jubo, int16_t& KeyCode) {
  ScreenState& s = jubo.screen;
  switch (KeyCode) {
    case ground::kKeyUp:
    case ground::kKeyDown:
      MoveWithinPage(jubo, KeyCode == ground::kKeyUp ? -1 : 1);
      break;
    case ground::kKeyLeft:
      StepBackTo(jubo, kViewMainMenu);
      break;
    case ground::kKeyEnter: {
      sound::PlayCue(jubo, jubo.cues.BeepSound);
      const std::string& tag = s.frmMain.lblItem[static_cast<size_t>(s.CurrentRow)].tag;
      for (const Command& command : kCommands) {
        if (tag == command.tag) return command.run(jubo);
      }
      break;
    }
  }
}

}  // namespace

void RenderPlaybackControl(ScreenContext& jubo) {
  std::vector<std::pair<std::string, std::string>> rows;
  for (const Command& command : kCommands) rows.emplace_back(command.caption, command.tag);
  rows[kRepeatRow - 1].first = RepeatCaption(jubo);
  DrawMenu(jubo, rows);
  jubo.screen.frmMain.lblHelpAbove.visible = false;
  jubo.screen.CurrentRow = 1;
}

extern const View kPlaylistControlView = {
    .code = kViewPlaylistControl,
    .page = kViewPlaylistControl,
    .create = nullptr,
    .title = [](ScreenContext&) -> std::string { return "Playlist Control"; },
    .draw = RenderPlaybackControl,
    .hint = [](const ScreenContext&) { return kHintControl; },
    .parent = [](const ScreenContext&) { return kViewMainMenu; },
    .leave = nullptr,
    .right = nullptr,
    .enter = nullptr,
    .quiet_pages = false,
    .key = PlaybackControlKeyDown,
};

}  // namespace screen

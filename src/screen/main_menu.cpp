// The Main Menu: the root of every path, listing the program's functions. Up and Down move the
// highlight (no wrapping); Enter opens the highlighted function. Its row of the view table is
// kMainMenuView; navigation's ShowMainMenu brings it back from anywhere.
#include <string>
#include <vector>

#include "screen/criteria_views.h"
#include "screen/hints.h"
#include "screen/navigation.h"
#include "screen/non_stop_switch.h"
#include "screen/screen_context.h"
#include "screen/view.h"

namespace screen {
namespace {

// Switched on, Non-Stop Music shows what it plays; switched off, the menu stays, its row renamed.
void NonStop(ScreenContext& jubo) {
  if (SwitchNonStop(jubo)) return Open<kViewNowPlaying>(jubo);
  sound::PlayCue(jubo, jubo.cues.BeepSound);
  ShowMainMenu(jubo, 1);
}

std::vector<MenuRow> Rows(const ScreenContext& jubo) {
  std::vector<MenuRow> rows;
  if (jubo.playlist.SongCount >= 1) {
    rows.push_back({"Now Playing", "list", Open<kViewNowPlaying>});
    rows.push_back({"Playlist Control", "playback", Open<kViewPlaylistControl>});
  }
  rows.push_back({"Select Songs by Album", "album", Open<kViewAlbumGenres>});
  rows.push_back({"Select Songs by Artist", "artist", Open<kViewArtistGenres>});
  rows.push_back({"Select Songs using Jubo DJ", "jubodj", OpenJuboDJ});
  rows.push_back({jubo.selection.NonStop ? "Turn OFF Non-Stop Music" : "Turn ON Non-Stop Music",
                  "library", NonStop});
  rows.push_back({"Settings", "settings", Open<kViewSettings>});
  rows.push_back({"Help", "help", Open<kViewHelp>});
  return rows;
}

const MenuPart kMainMenu = {
    .title = [](ScreenContext&) -> std::string { return "Main Menu"; },
    .rows = Rows,
    .line_above = true,
};

}  // namespace

// clang-format off
extern const View kMainMenuView = {.code = kViewMainMenu, .menu = &kMainMenu,
    .hint = Hint<kHintMenu>};
// clang-format on

}  // namespace screen

#include "screen/main_menu.h"

#include <string>
#include <vector>

#include "ground/keys.h"
#include "screen/hints.h"
#include "screen/list_movement.h"
#include "screen/navigation.h"
#include "screen/paged_list.h"
#include "screen/render.h"
#include "screen/screen_context.h"
#include "screen/view.h"

namespace screen {
namespace {

// A row of the menu: its caption, its tag (what the row is) and the view Enter opens;
// kViewMainMenu where that view does not exist yet (Enter is refused).
struct MenuItem {
  std::string caption;
  std::string tag;
  ViewCode opens;
};

std::vector<MenuItem> Items(const ScreenContext& jubo) {
  std::vector<MenuItem> items;
  if (jubo.playlist.SongCount >= 1) {
    items.push_back({"Now Playing", "list", kViewNowPlaying});
    items.push_back({"Playlist Control", "playback", kViewPlaylistControl});
  }
  items.push_back({"Select Songs by Album", "album", kViewAlbumGenres});
  items.push_back({"Select Songs by Artist", "artist", kViewArtistGenres});
  items.push_back({"Select Songs using Jubo DJ", "jubodj", kViewMainMenu});
  items.push_back({jubo.selection.NonStop ? "Turn OFF Non-Stop Music" : "Turn ON Non-Stop Music",
                   "library", kViewMainMenu});
  items.push_back({"Settings", "settings", kViewSettings});
  items.push_back({"Help", "help", kViewMainMenu});
  return items;
}

void MainChooserKeyDown(ScreenContext& jubo, int16_t& KeyCode) {
  ScreenState& s = jubo.screen;
  if (KeyCode == ground::kKeyUp || KeyCode == ground::kKeyDown) {
    MoveWithinPage(jubo, KeyCode == ground::kKeyUp ? -1 : 1);
    return;
  }
  if (KeyCode != ground::kKeyEnter) return;
  const std::string& tag = s.frmMain.lblItem[static_cast<size_t>(s.CurrentRow)].tag;
  for (const MenuItem& item : Items(jubo)) {
    if (item.tag != tag || item.opens == kViewMainMenu) continue;
    StepInto(jubo, item.opens, tag);
    return;
  }
  sound::PlayCue(jubo, jubo.cues.ErrorSound);
}

}  // namespace

void RenderMainChooser(ScreenContext& jubo) {
  std::vector<std::pair<std::string, std::string>> rows;
  for (MenuItem& item : Items(jubo))
    rows.emplace_back(std::move(item.caption), std::move(item.tag));
  DrawMenu(jubo, rows);
  jubo.screen.frmMain.lblHelpAbove.caption.clear();
  jubo.screen.frmMain.lblHelpAbove.visible = true;
}

extern const View kMainMenuView = {
    .code = kViewMainMenu,
    .page = kViewMainMenu,
    .create = nullptr,
    .title = [](ScreenContext&) -> std::string { return "Main Menu"; },
    .draw = RenderMainChooser,
    .hint = [](const ScreenContext&) { return kHintMenu; },
    .parent = nullptr,
    .leave = nullptr,
    .right = nullptr,
    .enter = nullptr,
    .quiet_pages = false,
    .key = MainChooserKeyDown,
};

}  // namespace screen

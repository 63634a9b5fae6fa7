#include "screen/main_menu.h"

#include <functional>
#include <string>
#include <vector>

#include "app/jubo.h"
#include "app/keys.h"
#include "screen/genre_views.h"
#include "screen/list_movement.h"
#include "screen/render.h"

namespace screen {
namespace {

struct MenuItem {
  std::string caption;
  std::string tag;
};

std::vector<MenuItem> Items(const app::Jubo& jubo) {
  std::vector<MenuItem> items;
  if (jubo.playlist.SongCount >= 1) {
    items.push_back({"Now Playing", "list"});
    items.push_back({"Playlist Control", "playback"});
  }
  items.push_back({"Select Songs by Album", "album"});
  items.push_back({"Select Songs by Artist", "artist"});
  items.push_back({"Select Songs using Jubo DJ", "jubodj"});
  items.push_back(
      {jubo.selection.NonStop ? "Turn OFF Non-Stop Music" : "Turn ON Non-Stop Music", "library"});
  items.push_back({"Settings", "settings"});
  items.push_back({"Help", "help"});
  return items;
}

// What Enter does for each item, once the view it opens exists. Items without an entry here
// refuse Enter with the error cue.
using ItemAction = std::function<void(app::Jubo&)>;
const std::vector<std::pair<std::string, ItemAction>>& Actions() {
  static const std::vector<std::pair<std::string, ItemAction>> actions = {
      {"album", [](app::Jubo& jubo) { EnterHierarchy(jubo, "album"); }},
      {"artist", [](app::Jubo& jubo) { EnterHierarchy(jubo, "artist"); }},
  };
  return actions;
}

}  // namespace

void RenderMainChooser(app::Jubo& jubo) {
  ScreenState& s = jubo.screen;
  rendertitle(s, *jubo.measure, "Main Menu");
  ClearRows(s);
  int row = 1;
  for (MenuItem& item : Items(jubo)) {
    if (row > s.PageSize) break;  // a display too small for the menu shows what fits
    SetRow(s, row++, std::move(item.caption), std::move(item.tag));
  }
  // The rest of the page: empty rows, which the highlight cannot reach.
  for (; row <= s.PageSize; ++row) SetRow(s, row, "", "");
  s.frmMain.lblHelpAbove.caption.clear();
  s.frmMain.lblHelpAbove.visible = true;
  s.frmMain.lblHelpBelow.caption = "[Up/Down = Scroll] [Enter/OK = Select Item]";
  s.frmMain.lblHelpBelow.visible = true;
}

void MainChooserKeyDown(app::Jubo& jubo, int16_t& KeyCode) {
  ScreenState& s = jubo.screen;
  if (KeyCode == app::kKeyUp || KeyCode == app::kKeyDown) {
    MoveWithinPage(jubo, KeyCode == app::kKeyUp ? -1 : 1);
    return;
  }
  if (KeyCode != app::kKeyEnter) return;
  const std::string& tag = s.frmMain.lblItem[static_cast<size_t>(s.CurrentRow)].tag;
  for (const auto& [item, action] : Actions()) {
    if (item != tag) continue;
    ++s.CrumbDepth;
    sound::PlayCue(jubo, jubo.cues.BeepSound);
    s.SavedRow[4] = s.CurrentRow;
    action(jubo);
    return;
  }
  sound::PlayCue(jubo, jubo.cues.ErrorSound);
}

void ShowMainMenu(app::Jubo& jubo, int16_t row) {
  ScreenState& s = jubo.screen;
  s.CrumbDepth = 1;
  RenderMainChooser(jubo);
  s.CurrentRow = row;
  renderhighlight(s);
  s.CurrentView = 4;
}

}  // namespace screen

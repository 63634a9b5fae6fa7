#include "screen/main_menu.h"

#include <functional>
#include <string>
#include <vector>

#include "ground/keys.h"
#include "screen/genre_views.h"
#include "screen/list_movement.h"
#include "screen/render.h"
#include "screen/screen_context.h"

namespace screen {
namespace {

struct MenuItem {
  std::string caption;
  std::string tag;
};

std::vector<MenuItem> Items(const ScreenContext& jubo) {
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
using ItemAction = std::function<void(ScreenContext&)>;
const std::vector<std::pair<std::string, ItemAction>>& Actions() {
  static const std::vector<std::pair<std::string, ItemAction>> actions = {
      {"album", [](ScreenContext& jubo) { EnterHierarchy(jubo, "album"); }},
      {"artist", [](ScreenContext& jubo) { EnterHierarchy(jubo, "artist"); }},
  };
  return actions;
}

}  // namespace

void RenderMainChooser(ScreenContext& jubo) {
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

void MainChooserKeyDown(ScreenContext& jubo, int16_t& KeyCode) {
  ScreenState& s = jubo.screen;
  if (KeyCode == ground::kKeyUp || KeyCode == ground::kKeyDown) {
    MoveWithinPage(jubo, KeyCode == ground::kKeyUp ? -1 : 1);
    return;
  }
  if (KeyCode != ground::kKeyEnter) return;
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

void ShowMainMenu(ScreenContext& jubo, int16_t row) {
  ScreenState& s = jubo.screen;
  s.CrumbDepth = 1;
  RenderMainChooser(jubo);
  s.CurrentRow = row;
  renderhighlight(s);
  s.CurrentView = 4;
}

}  // namespace screen

#include "screen/navigation.h"

#include <algorithm>

#include "ground/keys.h"
#include "screen/list_movement.h"
#include "screen/paged_list.h"
#include "screen/render.h"
#include "screen/screen_context.h"
#include "screen/view.h"

namespace screen {
namespace {

void Draw(ScreenContext& jubo, const View& view) {
  if (view.list != nullptr) return view.list->draw(jubo);
  if (view.own != nullptr) {
    if (view.own->draw != nullptr) view.own->draw(jubo);
    return;
  }
  DrawMenu(jubo, view.menu->rows(jubo));
  Label& above = jubo.screen.frmMain.lblHelpAbove;
  above.caption.clear();
  above.visible = view.menu->line_above;
}

void Show(ScreenContext& jubo, const View& view, int16_t row) {
  ScreenState& s = jubo.screen;
  s.CurrentView = view.code;
  rendertitle(s, *jubo.measure,
              view.list   ? view.list->title(jubo)
              : view.menu ? view.menu->title(jubo)
                          : view.own->title(jubo));
  // The help text belongs to its own view: whichever way another comes up (Left, M, V), the
  // text goes.
  s.frmMain.txtHelp.visible = false;
  Draw(jubo, view);
  s.CurrentRow = row;
  renderhighlight(s);
  s.frmMain.shpHighlight.visible = view.own == nullptr || view.own->highlight;
}

void Left(ScreenContext& jubo, const View& view) {
  if (view.parent != nullptr) StepBackTo(jubo, view.parent(jubo));
}

void ListKeyDown(ScreenContext& jubo, const View& view, int16_t key) {
  ScreenState& s = jubo.screen;
  if (MoveInList(jubo, key)) return;
  if (key == ground::kKeyLeft) return Left(jubo, view);
  const bool right = key == ground::kKeyRight && view.right != nullptr;
  const bool enter = key == ground::kKeyEnter && view.enter != nullptr;
  if (!right && !enter) return;
  if (ListIsEmpty(jubo)) return sound::PlayCue(jubo, jubo.cues.ErrorSound);
  const RowValue value = s.RowValues[static_cast<size_t>(s.CurrentRow)];
  (right ? view.right : view.enter)(jubo, value);
}

void MenuKeyDown(ScreenContext& jubo, const View& view, int16_t key) {
  switch (key) {
    case ground::kKeyUp:
    case ground::kKeyDown:
      MoveWithinPage(jubo, key == ground::kKeyUp ? -1 : 1);
      return;
    case ground::kKeyLeft:
      return Left(jubo, view);
    case ground::kKeyEnter: {
      const std::vector<MenuRow> rows = view.menu->rows(jubo);
      const auto row = static_cast<size_t>(jubo.screen.CurrentRow - 1);
      if (row >= rows.size() || rows[row].enter == nullptr) {
        return sound::PlayCue(jubo, jubo.cues.ErrorSound);
      }
      return rows[row].enter(jubo);
    }
  }
}

}  // namespace

void StepInto(ScreenContext& jubo, ViewCode to, const std::string& chosen) {
  const View* view = FindView(to);
  if (view == nullptr) return sound::PlayCue(jubo, jubo.cues.ErrorSound);
  ScreenState& s = jubo.screen;
  ++s.CrumbDepth;
  sound::PlayCue(jubo, jubo.cues.BeepSound);
  s.SavedRow[static_cast<size_t>(s.CurrentView)] = s.CurrentRow;
  if (view->list != nullptr) {
    s.ViewPage[static_cast<size_t>(view->list->page)] = 1;
    if (view->list->create != nullptr) view->list->create(jubo, chosen);
  }
  Show(jubo, *view, 1);
}

void StepBackTo(ScreenContext& jubo, ViewCode to) {
  const View* view = FindView(to);
  if (view == nullptr) return;
  ScreenState& s = jubo.screen;
  const View* left = FindView(s.CurrentView);
  if (left != nullptr && left->leave != nullptr) left->leave(jubo);
  --s.CrumbDepth;
  if (left == nullptr || !left->quiet_left) sound::PlayCue(jubo, jubo.cues.BeepSound);
  Show(jubo, *view, s.SavedRow[static_cast<size_t>(to)]);
}

void ShowMainMenu(ScreenContext& jubo, int16_t row) { ShowMenuAt(jubo, kViewMainMenu, 1, row); }

void ShowMenuAt(ScreenContext& jubo, ViewCode view, int16_t depth, int16_t row) {
  jubo.screen.CrumbDepth = depth;
  Show(jubo, *FindView(view), row);
}

void RedrawKeepingRow(ScreenContext& jubo) {
  ScreenState& s = jubo.screen;
  const View* view = FindView(ShownView(s));
  if (view == nullptr) return;
  const int16_t row = s.CurrentRow;
  Draw(jubo, *view);
  s.CurrentRow = static_cast<int16_t>(std::clamp<int>(row, 1, std::max<int>(1, s.RowsShown)));
  renderhighlight(s);
}

void RefreshMenu(ScreenContext& jubo) {
  const View* view = FindView(ShownView(jubo.screen));
  if (view != nullptr && view->menu != nullptr) RedrawKeepingRow(jubo);
}

void ViewKeyDown(ScreenContext& jubo, int16_t& KeyCode) {
  const View* view = FindView(jubo.screen.CurrentView);
  if (view == nullptr) return;
  if (view->list != nullptr) {
    ListKeyDown(jubo, *view, KeyCode);
  } else if (view->own != nullptr) {
    if (view->own->key != nullptr) view->own->key(jubo, KeyCode);
  } else {
    MenuKeyDown(jubo, *view, KeyCode);
  }
}

}  // namespace screen

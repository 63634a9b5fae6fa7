#include "screen/navigation.h"

#include "ground/keys.h"
#include "screen/list_movement.h"
#include "screen/paged_list.h"
#include "screen/render.h"
#include "screen/screen_context.h"
#include "screen/view.h"

namespace screen {
namespace {

void Show(ScreenContext& jubo, const View& view, int16_t row) {
  ScreenState& s = jubo.screen;
  s.CurrentView = view.code;
  rendertitle(s, *jubo.measure, view.title(jubo));
  view.draw(jubo);
  s.CurrentRow = row;
  renderhighlight(s);
}

void ListKeyDown(ScreenContext& jubo, const View& view, int16_t key) {
  ScreenState& s = jubo.screen;
  if (MoveInList(jubo, key)) return;
  if (key == ground::kKeyLeft) {
    if (view.parent != nullptr) StepBackTo(jubo, view.parent(jubo));
    return;
  }
  const bool right = key == ground::kKeyRight && view.right != nullptr;
  const bool enter = key == ground::kKeyEnter && view.enter != nullptr;
  if (!right && !enter) return;
  if (ListIsEmpty(jubo)) return sound::PlayCue(jubo, jubo.cues.ErrorSound);
  const std::string value = s.RowValues[static_cast<size_t>(s.CurrentRow)];
  if (right) {
    view.right(jubo, value);
  } else {
    view.enter(jubo, value);
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
  s.ViewPage[static_cast<size_t>(view->page)] = 1;
  if (view->create != nullptr) view->create(jubo, chosen);
  Show(jubo, *view, 1);
}

void StepBackTo(ScreenContext& jubo, ViewCode to) {
  const View* view = FindView(to);
  if (view == nullptr) return;
  ScreenState& s = jubo.screen;
  if (const View* left = FindView(s.CurrentView); left != nullptr && left->leave != nullptr) {
    left->leave(jubo);
  }
  --s.CrumbDepth;
  sound::PlayCue(jubo, jubo.cues.BeepSound);
  Show(jubo, *view, s.SavedRow[static_cast<size_t>(to)]);
}

void ShowMainMenu(ScreenContext& jubo, int16_t row) { ShowMenuAt(jubo, kViewMainMenu, 1, row); }

void ShowMenuAt(ScreenContext& jubo, ViewCode view, int16_t depth, int16_t row) {
  jubo.screen.CrumbDepth = depth;
  Show(jubo, *FindView(view), row);
}

void ViewKeyDown(ScreenContext& jubo, int16_t& KeyCode) {
  const View* view = FindView(jubo.screen.CurrentView);
  if (view == nullptr) return;
  if (view->key != nullptr) {
    view->key(jubo, KeyCode);
  } else {
    ListKeyDown(jubo, *view, KeyCode);
  }
}

}  // namespace screen

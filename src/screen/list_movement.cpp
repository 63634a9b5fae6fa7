#include "screen/list_movement.h"

#include "ground/keys.h"
#include "screen/render.h"
#include "screen/screen_context.h"
#include "screen/view.h"

namespace screen {
namespace {

bool RowEmpty(const ScreenState& s, int row) { return row > s.RowsShown; }

void Cue(ScreenContext& jubo, bool moved) {
  sound::PlayCue(jubo, moved ? jubo.cues.BeepSound : jubo.cues.ErrorSound);
}

}  // namespace

bool MoveWithinPage(ScreenContext& jubo, int step) {
  ScreenState& s = jubo.screen;
  int row = s.CurrentRow + step;
  bool allowed = row >= 1 && row <= s.PageSize && !RowEmpty(s, row);
  if (allowed) {
    s.CurrentRow = static_cast<int16_t>(row);
    renderhighlight(s);
  }
  Cue(jubo, allowed);
  return allowed;
}

bool MoveInList(ScreenContext& jubo, int16_t key) {
  ScreenState& s = jubo.screen;
  const View* view = FindView(s.CurrentView);
  if (view == nullptr || view->list == nullptr) return false;
  const ListPart& list = *view->list;
  int16_t& page = s.ViewPage[static_cast<size_t>(list.page)];
  auto render = list.draw;
  switch (key) {
    case ground::kKeyPageDown:
      if (!list.quiet_pages) sound::PlayCue(jubo, jubo.cues.BeepSound);
      ++page;
      render(jubo);
      s.CurrentRow = 1;
      renderhighlight(s);
      return true;
    case ground::kKeyPageUp:
      if (!list.quiet_pages) sound::PlayCue(jubo, jubo.cues.BeepSound);
      // On the first page nothing is redrawn; the highlight goes to the first row.
      if (--page >= 1) {
        render(jubo);
      } else {
        page = 1;
      }
      s.CurrentRow = 1;
      renderhighlight(s);
      return true;
    case ground::kKeyDown: {
      bool moved = true;
      if (++s.CurrentRow > s.PageSize) {
        // Past the last row: the next page, or the same last page again from its first row.
        ++page;
        render(jubo);
      }
      if (RowEmpty(s, s.CurrentRow)) {
        if (s.CurrentRow > 1) --s.CurrentRow;
        moved = false;
      }
      if (moved) renderhighlight(s);
      Cue(jubo, moved);
      return true;
    }
    case ground::kKeyUp: {
      bool moved = true;
      if (--s.CurrentRow < 1) {
        if (--page >= 1) {
          render(jubo);
          s.CurrentRow = s.PageSize;
        } else {
          page = 1;
          s.CurrentRow = 1;
          moved = false;
        }
      }
      if (moved && RowEmpty(s, s.CurrentRow)) {
        ++s.CurrentRow;
        moved = false;
      }
      if (moved) renderhighlight(s);
      Cue(jubo, moved);
      return true;
    }
  }
  return false;
}

}  // namespace screen

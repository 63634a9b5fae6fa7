// What every paged list and menu shares: a cursor opened for a list, the rows of one page, a
// menu's rows, and the test for an empty list. Their keys are navigation's (navigation.h).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "screen/screen_state.h"

namespace textdb {
class Cursor;
}

namespace screen {

struct ScreenContext;
struct MenuRow;

// Opens `cursor` on `sql` for a view. A failed open leaves the cursor closed, so its list shows
// empty; the error cue sounds and one line on stderr says why. Returns true when it opened.
bool OpenList(ScreenContext& jubo, textdb::Cursor& cursor, const std::string& sql);

// Moves `cursor` to its first row, past a Null `column`: Null sorts first, and a Null name
// (songs without a genre, an album or an artist) makes no row of its own.
void MoveFirstPastNull(textdb::Cursor& cursor, const char* column);

// One row of a page: what it shows, its key (the label's tag, as the screen query reports it),
// what it stands for, its icon.
struct ListRow {
  std::string caption;
  std::string tag;
  RowValue value;
  int icon = -1;  // kIconTrack ...; -1: none
};

// Draws the current page (the ViewPage entry of the view shown, ShownView) of a list of `count`
// entries, `row(index)` giving entry `index` (0-based), with the view's hint below and
// "Displaying 11 to 20 of 37" + `kind` above. A page past the end falls back to the last page;
// an empty list shows no rows. Sets RowsShown and CurrentRow = 1.
void DrawListPage(ScreenContext& jubo, long count, std::string_view kind,
                  const std::function<ListRow(long index)>& row);

// Draws a menu's rows from row 1, as many as the page holds, and the view's hint below; the
// rows after them are empty (the highlight cannot reach them).
void DrawMenu(ScreenContext& jubo, const std::vector<MenuRow>& rows);

// Whether the view shown marks `name` as chosen (a choosing mode's albums or artists).
bool Marked(const ScreenContext& jubo, const std::string& name);

// The page shows no row: the list has nothing to act on.
bool ListIsEmpty(const ScreenContext& jubo);

}  // namespace screen

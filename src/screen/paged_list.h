// What every paged list shares: a cursor opened for a list, the rows of one page, and the
// test for an empty list. The keys of a paged list are navigation's (navigation.h).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace textdb {
class Cursor;
}

namespace screen {

struct ScreenContext;

// Opens `cursor` on `sql` for a view. A failed open leaves the cursor closed, so its list shows
// empty; the error cue sounds and one line on stderr says why. Returns true when it opened.
bool OpenList(ScreenContext& jubo, textdb::Cursor& cursor, const std::string& sql);

// Moves `cursor` to its first row, past a Null `column`: Null sorts first, and a Null name
// (songs without a genre, an album or an artist) makes no row of its own.
void MoveFirstPastNull(textdb::Cursor& cursor, const char* column);

// One row of a page: what it shows, its key, its value (what Right and Enter act on; the full
// text behind a shortened caption), its icon.
struct ListRow {
  std::string caption;
  std::string tag;
  std::string value;
  int icon = -1;  // kIconTrack ...; -1: none
};

// Draws the current page (the ViewPage entry of the view shown, ShownView) of a list of `count`
// entries, `row(index)` giving entry `index` (0-based), with the view's hint below and
// "Displaying 11 to 20 of 37" + `kind` above. A page past the end falls back to the last page;
// an empty list shows no rows. Rows past the end have an empty caption. CurrentRow = 1.
void DrawListPage(ScreenContext& jubo, long count, std::string_view kind,
                  const std::function<ListRow(long index)>& row);

// Draws a fixed menu: `rows` (caption, tag) from row 1, as many as the page holds, then empty
// rows (which the highlight cannot reach), and the view's hint below. The line above the list
// is the caller's.
void DrawMenu(ScreenContext& jubo, const std::vector<std::pair<std::string, std::string>>& rows);

// The highlighted row of the page is empty: the list has nothing to act on.
bool ListIsEmpty(const ScreenContext& jubo);

}  // namespace screen

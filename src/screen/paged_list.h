// Drawing one page of a list view, the steps every list shares: the rows of the page, empty
// rows after the last one (an empty caption marks a row past the end), the paging text above
// and the hint below, the highlight on the first row.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace textdb {
class Cursor;
}

namespace screen {

struct ScreenContext;

// Opens `cursor` on `sql` for a view. A failed open leaves the cursor closed, so its list shows
// empty; the error cue sounds and one line on stderr says why. Returns true when it opened.
bool OpenList(ScreenContext& jubo, textdb::Cursor& cursor, const std::string& sql);

// Draws page `page` of a list of `count` entries: `fill(row, index)` fills row `row` of the
// page from entry `index` (0-based). A page past the end falls back to the last page; an empty
// list shows no rows and "Displaying 0 to 0 of 0" + `kind`.
void DrawListPage(ScreenContext& jubo, int16_t& page, long count, std::string_view kind,
                  std::string_view hint, const std::function<void(int row, long index)>& fill);

// The rows of a list view's current page are empty: Right and Enter there are refused.
bool ListIsEmpty(const ScreenContext& jubo);

// A step deeper (Right): one more breadcrumb, the beep cue, the current row remembered for the
// way back. A step back (Left): one breadcrumb less and the beep cue.
void StepIn(ScreenContext& jubo);
void StepOut(ScreenContext& jubo);

}  // namespace screen

// The drawing routines every view shares: title and breadcrumbs, shortening text to fit, the
// highlight frame, row icons, the paging text, wrapping and scrolling the help box and the time
// format. They work on the main screen's model only; nothing here fails (a step that cannot be
// done is skipped, and drawing goes on).
#pragma once

#include <string>
#include <string_view>

#include "screen/screen_state.h"
#include "screen/text_measure.h"

namespace screen {

// Shows `title` (shortened to fit) and records it as the title of depth CrumbDepth.
void rendertitle(ScreenState& s, const TextMeasure& measure, std::string_view title);
// Rebuilds the breadcrumb line from CrumbTitles: empty at the Main Menu; ancestors that do not
// fit give way to "...>", the direct parent is always shown.
void renderbreadcrumbs(ScreenState& s, const TextMeasure& measure);
// `texttoprint` shortened with "..." to fit the width of `container`, in its font.
std::string fittowidth(std::string_view texttoprint, const Label& container,
                       const TextMeasure& measure);
// `text` + `suffix`, shortened to fit `container` so that the suffix always shows: "Long
// title by Some...(3)". A `text` already shortened ("...") is shortened again to make room.
std::string FitWithSuffix(const std::string& text, const std::string& suffix,
                          const Label& container, const TextMeasure& measure);
// Places the highlight frame on row CurrentRow: as wide as the list, or narrow where the view's
// list asks for it (the letter index).
void renderhighlight(ScreenState& s);
// Shows icon `kind` (kIconTrack ...) at the left of `row`, then renderhighlight.
void rendericon(ScreenState& s, int kind, int row);
// Gives `box` its `text`, wrapped for the box's width in its font as `measure` measures it:
// paragraphs break at '\n' (a '\r' before it is dropped), lines break between words at spaces,
// a paragraph keeps the spaces it starts with, and a word wider than the box has a line of its
// own (cut at the box's edge when drawn). The scroll position is kept, within the new lines.
void SetBoxText(TextBox& box, const TextMeasure& measure, std::string text);
// Scrolls a text box by `vLines` lines (negative: up), never above its first line nor past the
// place where its last line shows at the bottom.
void ScrollText(TextBox& box, int vLines);
// Seconds as minutes and seconds, "03:05"; the caller's value becomes its whole part.
std::string framestominutes(double& frm);
// "Displaying 15 to 28 of 30 Albums": page `page` of `total` rows, `kind` such as " Albums".
std::string PagingText(int page, int page_size, int total, std::string_view kind);

// Removes every row of the page and its icon.
void ClearRows(ScreenState& s);
// Row `row` shows `caption` and keeps `tag` as its key.
void SetRow(ScreenState& s, int row, std::string caption, std::string tag);

}  // namespace screen

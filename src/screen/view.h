// A view of the main screen, described once: a row of the view table. Navigation, the key
// dispatch and the drawing of hints read these rows; a view's own file fills its row and holds
// only what is particular to it. To add a view: write its file and enter its row in the table
// (view_table.cpp).
//
// A view is a paged list, a menu, or a view of its own kind. A list is written once (ListPart) and may be shown
// in several modes, each a View of its own: browsing albums and choosing albums for Jubo DJ
// show the same list, and differ only in their hint and in what Right, Enter and Left do.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "screen/screen_state.h"
#include "screen/view_codes.h"

namespace screen {

struct ScreenContext;

// What a paged list is, whatever mode shows it.
struct ListPart {
  // The ViewPage entry that keeps its page: every mode of the list shares one.
  ViewCode page;
  // On the way in (at page 1): fills the list from `chosen`, the value of the row chosen in
  // the view before (a genre, a letter, an album ...). Draws nothing. nullptr: nothing to build.
  void (*create)(ScreenContext& jubo, const std::string& chosen);
  // The title at the view's breadcrumb depth (it may move the list's cursor).
  std::string (*title)(ScreenContext& jubo);
  // Fills the form for the current page through DrawListPage: rows, their values, icons, the
  // paging text; sets CurrentRow = 1. The highlight is navigation's.
  void (*draw)(ScreenContext& jubo);
  bool narrow_highlight = false;  // the highlight frames the row's short caption, not the
                                  // list's width
  bool quiet_pages = false;       // Page Up and Page Down sound no cue
};

// A menu's row: what it reads, its key (the label's tag, as the screen query reports it), and
// what Enter on it does (nullptr: Enter is refused with the error cue). An action sounds its
// own cue.
struct MenuRow {
  std::string caption;
  std::string tag;
  void (*enter)(ScreenContext& jubo);
};

// A menu: a fixed list of rows on one page.
struct MenuPart {
  std::string (*title)(ScreenContext& jubo);
  // The rows as the state now has them: their number and captions may follow it.
  std::vector<MenuRow> (*rows)(const ScreenContext& jubo);
  bool line_above = false;  // the line above the rows shows (empty), as on the Main Menu
};

// A view of its own kind (the help text, the screen saver): it draws itself and takes its own
// keys. Navigation still shows it (its title, the breadcrumbs) and leaves it (`leave`, `parent`).
struct OwnPart {
  std::string (*title)(ScreenContext& jubo) = nullptr;  // nullptr: never navigated to
  // Fills the form. The highlight frame is shown only where `highlight` says so.
  void (*draw)(ScreenContext& jubo) = nullptr;
  void (*key)(ScreenContext& jubo, int16_t key) = nullptr;
  bool highlight = false;
};

// A row states only what it has: what it leaves out is nullptr or false.
struct View {
  ViewCode code;
  // Exactly one of the three.
  const ListPart* list = nullptr;
  const MenuPart* menu = nullptr;
  const OwnPart* own = nullptr;
  // The hint line under the rows (Hint<kHintMenu> for a fixed one).
  const char* (*hint)(const ScreenContext& jubo) = nullptr;
  // Where Left leads; nullptr: Left does nothing here.
  ViewCode (*parent)(const ScreenContext& jubo) = nullptr;
  // What Left closes or keeps on the way out (a cursor, the settings). nullptr: nothing.
  void (*leave)(ScreenContext& jubo) = nullptr;
  bool quiet_left = false;  // Left sounds no cue
  // A list's mode: what Right and Enter do with the highlighted row's value (Into<code> for a
  // step into another view); nullptr: the key does nothing. Navigation refuses both on an empty
  // list with the error cue.
  void (*right)(ScreenContext& jubo, const RowValue& value) = nullptr;
  void (*enter)(ScreenContext& jubo, const RowValue& value) = nullptr;
  // A choosing mode's marks: the names its rows show with the chosen icon. nullptr: none.
  const std::vector<std::string>& (*marked)(const ScreenContext& jubo) = nullptr;
};

// A fixed hint line: `.hint = Hint<kHintMenu>`.
template <const char* text>
const char* Hint(const ScreenContext&) {
  return text;
}

// A fixed parent: `.parent = Parent<kViewMainMenu>`.
template <ViewCode code>
ViewCode Parent(const ScreenContext&) {
  return code;
}

// The row of `code`; nullptr for a code with no view (yet).
const View* FindView(int code);

}  // namespace screen

// A view of the main screen, described once: a row of the view table. Navigation, the key
// dispatch and the drawing of hints read these rows; a view's own file fills its row and holds
// only what is particular to it. To add a view: write its file and enter its row in the table
// (view_table.cpp).
#pragma once

#include <cstdint>
#include <string>

#include "screen/view_codes.h"

namespace screen {

struct ScreenContext;

struct View {
  ViewCode code;
  // The ViewPage entry that keeps its page: views drawn by one routine share one.
  ViewCode page;
  // On the way in (at page 1): fills the view's list from `chosen`, the value of the row chosen
  // in the view before (a genre, a letter, an album ...). Draws nothing. nullptr: a fixed menu,
  // nothing to build.
  void (*create)(ScreenContext& jubo, const std::string& chosen);
  // The title at the view's breadcrumb depth (it may move the view's cursor).
  std::string (*title)(ScreenContext& jubo);
  // Fills the form for the current page: rows, their values (RowValues), icons, the paging
  // text; sets CurrentRow = 1. The highlight is navigation's.
  void (*draw)(ScreenContext& jubo);
  // The hint line under the list.
  const char* (*hint)(const ScreenContext& jubo);
  // Where Left leads; nullptr where the view serves Left itself (or has nowhere to go).
  ViewCode (*parent)(const ScreenContext& jubo);
  // Closes what the view holds open (its cursor) when Left leaves it. nullptr: nothing.
  void (*leave)(ScreenContext& jubo);

  // A paged list (key == nullptr) gets the movement keys, Left and the empty-list refusal from
  // navigation, and supplies only what Right and Enter do with the highlighted row's value
  // (Into<code> for a step into another view). nullptr: the key does nothing.
  void (*right)(ScreenContext& jubo, const std::string& value);
  void (*enter)(ScreenContext& jubo, const std::string& value);
  bool quiet_pages;  // Page Up and Page Down sound no cue

  // A view that is not a paged list (a menu) serves every key itself.
  void (*key)(ScreenContext& jubo, int16_t& KeyCode);
};

// The row of `code`; nullptr for a code with no view (yet).
const View* FindView(int code);

}  // namespace screen

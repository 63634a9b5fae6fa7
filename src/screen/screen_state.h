// The main screen's state: its form, the geometry computed once at start-up, the view on it,
// the highlighted row, paging and the breadcrumb path.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "screen/main_form.h"
#include "screen/view_codes.h"

namespace screen {

inline constexpr int kMaxCrumbDepth = 10;

// What a list's row stands for: what Right and Enter act on, whatever its caption shows.
struct RowValue {
  std::string text{};  // the full name (a genre, a letter, an album, an artist, a song's entry)
  std::string file{};  // a song's file (the track list)
  int32_t entry = -1;  // a playlist entry, 0-based (Now Playing)
};

struct ScreenState {
  MainForm frmMain;
  float ScreenScale = 1;                    // display height in pixels / 600
  int16_t ListTop = 0;                      // top of the list panel, twips
  int16_t ListLeft = 0;                     // left edge of the row captions, twips
  int16_t PageSize = 0;                     // rows per page, fixed at start-up
  int16_t CurrentRow = 1;                   // highlighted row, 1-based within the page
  ViewCode CurrentView = kViewMainMenu;     // the view on the screen
  ViewCode ViewUnderSaver = kViewMainMenu;  // while the saver shows: the view it covers
  int16_t CrumbDepth = 1;                   // navigation depth; 1 is the Main Menu
  std::array<std::string, kMaxCrumbDepth + 1> CrumbTitles;  // title shown at each depth
  std::array<int16_t, kViewCount> ViewPage{};               // page last shown, per view code
  std::array<int16_t, kViewCount> SavedRow{};  // row remembered on leaving, per view code
  std::vector<RowValue> RowValues;             // 0..PageSize: what each row of the page stands for
  int16_t RowsShown = 0;                       // rows of the page that show something, from row 1
};

// The view the user sees, or sees again once the saver goes.
inline ViewCode ShownView(const ScreenState& s) {
  return s.CurrentView == kViewSaver ? s.ViewUnderSaver : s.CurrentView;
}

}  // namespace screen

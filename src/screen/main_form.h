// frmMain, the one full-screen form every view is drawn on: a top panel with the breadcrumb
// line and the title, the list panel with one page of rows and a line above and below it, and
// the status panel with the logo. Lengths are twips, already scaled for the display.
#pragma once

#include <string>
#include <vector>

#include "screen/form.h"

namespace screen {

// Icon kinds of a list row, and the asset each shows.
inline constexpr int kIconTrack = 0;     // a song
inline constexpr int kIconSelected = 1;  // chosen, in the playlist, or playing
inline constexpr int kIconMultiCD = 2;   // a letter or a genre: several albums
inline constexpr int kIconSingleCD = 3;  // an album or an artist
const char* IconAsset(int kind);         // "track", "selected", "multicd", "singlecd"
int IconKind(const Picture& icon);       // -1 when no icon shows

class MainForm : public Form {
 public:
  MainForm() { full_screen = true; }

  Frame shpTopPanel, shpMainPanel, shpStatusPanel;
  Label lblCrumbs, lblTitle;
  Label lblHelpAbove, lblHelpBelow;
  std::vector<Label> lblItem;    // [0] is the template, never shown; rows 1..PageSize
  std::vector<Picture> imgIcon;  // the icon at the left of each row, same indices
  Frame shpHighlight;
  Label lblTrack, lblState, lblState2;
  Picture imgLogo;
  TextBox txtHelp;
  int pointer = 99;  // 0: the default pointer; 99: the invisible one the screen starts with

  void Accept(FormVisitor& visitor) const override;
};

}  // namespace screen

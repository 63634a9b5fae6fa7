#include "screen/layout.h"

#include <algorithm>
#include <cmath>

namespace screen {
namespace {

constexpr double kRowHeight = 420;  // design twips
constexpr double kLogoWidth = 1895;
constexpr double kHelpLineHeight = 384;  // design twips: 1.2 times the help text's 16 points

void Place(Label& label, int left, int top, int width, int height, double points) {
  label.left = left, label.top = top, label.width = width, label.height = height;
  label.points = points;
}

void Place(Frame& frame, int left, int top, int width, int height) {
  frame.left = left, frame.top = top, frame.width = width, frame.height = height;
}

}  // namespace

int16_t ComputePageSize(int height, float scale, int list_top) {
  double row = kRowHeight * scale;
  return static_cast<int16_t>(std::floor((height - (900 * scale + list_top)) / row) - 2);
}

void LayOutScreen(ScreenState& s, int width_px, int height_px) {
  MainForm& f = s.frmMain;
  const int W = width_px * kTwipsPerPixel;
  const int H = height_px * kTwipsPerPixel;
  f.width = W;
  f.height = H;
  s.ScreenScale = static_cast<float>(height_px) / 600.0f;
  const float k = s.ScreenScale;
  auto x = [k](double design) { return static_cast<int>(std::lround(design * k)); };
  s.ListTop = static_cast<int16_t>(x(1100));
  s.ListLeft = static_cast<int16_t>(x(300 + 420));
  const int row = x(kRowHeight);
  const int logo = x(kLogoWidth);

  Place(f.shpTopPanel, x(100), x(100), W - x(200), s.ListTop - x(200));
  Place(f.lblCrumbs, x(200), x(100), W - x(600), x(285), 13 * k);
  f.lblCrumbs.color = kDimText;
  Place(f.lblTitle, x(200), x(385), W - x(600), x(555), 24 * k);
  f.lblTitle.bold = true;
  const int panel_height = H - x(900) - s.ListTop;
  Place(f.shpMainPanel, x(100), s.ListTop, W - x(200), panel_height);
  const int panel_bottom = s.ListTop + panel_height;
  Place(f.lblHelpAbove, 0, s.ListTop, W, row, 14 * k);
  Place(f.lblHelpBelow, 0, panel_bottom - row, W, row, 14 * k);
  for (Label* hint : {&f.lblHelpAbove, &f.lblHelpBelow}) {
    hint->align = Align::kCenter;
    hint->color = kDimText;
  }
  f.imgLogo = {W - logo - x(100), panel_bottom + x(100), logo, x(700), "logo", true};
  Place(f.shpStatusPanel, x(100), panel_bottom + x(100), W - x(300) - logo, x(700));
  const int status_width = W - logo - x(500);
  Place(f.lblTrack, x(200), panel_bottom + x(150), status_width, x(300), 13 * k);
  Place(f.lblState, x(200), f.lblTrack.top + f.lblTrack.height, status_width / 2, x(300), 13 * k);
  Place(f.lblState2, f.lblState.left + f.lblState.width, f.lblState.top,
        status_width - f.lblState.width, x(300), 13 * k);
  f.lblState2.align = Align::kRight;
  f.shpHighlight.border = std::max(2, static_cast<int>(std::lround(2 * k)));
  f.shpHighlight.border_color = kAccent;
  // Over the rows, in their font: text read from across the room.
  f.txtHelp = {.left = s.ListLeft,
               .top = s.ListTop + row,
               .width = W - x(400) - s.ListLeft,
               .height = panel_height - 2 * row,
               .points = 16 * k,
               .line_height = x(kHelpLineHeight)};

  s.PageSize = ComputePageSize(H, k, s.ListTop);
  const size_t rows = static_cast<size_t>(std::max<int>(s.PageSize, 0)) + 1;
  f.lblItem.assign(rows, Label{});
  f.imgIcon.assign(rows, Picture{});
  for (size_t n = 0; n < rows; ++n) {
    Place(f.lblItem[n], s.ListLeft, s.ListTop + static_cast<int>(n) * row, W - x(400) - s.ListLeft,
          row, 16 * k);
    f.lblItem[n].visible = false;
    f.imgIcon[n] = {x(200), f.lblItem[n].top, row, row, "", false};
  }
  s.RowValues.assign(rows, RowValue());
}

}  // namespace screen

#include "screen/main_form.h"

#include <string_view>

namespace screen {

const char* IconAsset(int kind) {
  switch (kind) {
    case kIconTrack:
      return "track";
    case kIconSelected:
      return "selected";
    case kIconMultiCD:
      return "multicd";
    case kIconSingleCD:
      return "singlecd";
  }
  return "";
}

int IconKind(const Picture& icon) {
  if (!icon.visible) return -1;
  for (int kind = kIconTrack; kind <= kIconSingleCD; ++kind) {
    if (icon.asset == IconAsset(kind)) return kind;
  }
  return -1;
}

void MainForm::Accept(FormVisitor& visitor) const {
  for (const Frame* frame : {&shpTopPanel, &shpMainPanel, &shpStatusPanel}) visitor.Visit(*frame);
  for (const Label* label : {&lblCrumbs, &lblTitle, &lblHelpAbove, &lblHelpBelow}) {
    visitor.Visit(*label);
  }
  // Row 0 is the template and never shows.
  for (size_t row = 1; row < lblItem.size(); ++row) visitor.Visit(lblItem[row]);
  for (size_t row = 1; row < imgIcon.size(); ++row) visitor.Visit(imgIcon[row]);
  visitor.Visit(shpHighlight);
  for (const Label* label : {&lblTrack, &lblState, &lblState2}) visitor.Visit(*label);
  visitor.Visit(imgLogo);
  visitor.Visit(txtHelp);
}

}  // namespace screen

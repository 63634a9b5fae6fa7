// The Help view (kViewHelp): the help text, opened from the Main Menu, in place of the list and
// without the highlight. Up and Down scroll it a page of 15 lines at a time, silently, never
// past either end; Left goes back to the Main Menu. The text box keeps its place while hidden,
// so the text shows again where the user left it. The text itself is start-up's to give the
// box. Its row of the view table is kHelpView.
#include <string>
#include <vector>

#include "ground/keys.h"
#include "screen/navigation.h"
#include "screen/render.h"
#include "screen/screen_context.h"
#include "screen/view.h"

namespace screen {
namespace {

constexpr char kHintHelp[] = "[Left = Back] [Up/Down = Scroll]";
constexpr int kScrollLines = 15;
// The text's sections, in their order; each heading is a line of its own.
const std::vector<std::string> kHeadings = {
    "Overview",   "Key Features", "Requirements",   "Setup",   "Usage",
    "Navigation", "Sounds",       "Remote Control", "Support", "FAQ"};

void Draw(ScreenContext& jubo) {
  ScreenState& s = jubo.screen;
  ClearRows(s);
  s.RowsShown = 0;
  s.frmMain.lblHelpAbove.visible = false;
  s.frmMain.lblHelpBelow.caption = kHintHelp;
  s.frmMain.lblHelpBelow.visible = true;
  TextBox& box = s.frmMain.txtHelp;
  // Wrapping measures the text word by word: done on the first visit, not at every start.
  if (box.lines.empty()) SetBoxText(box, *jubo.measure, box.text);
  box.headings = kHeadings;
  if (!box.lines.empty()) box.headings.push_back(box.lines.front());  // the name and version
  box.visible = true;
}

void KeyDown(ScreenContext& jubo, int16_t key) {
  TextBox& box = jubo.screen.frmMain.txtHelp;
  switch (key) {
    case ground::kKeyUp:
      return ScrollText(box, -kScrollLines);
    case ground::kKeyDown:
      return ScrollText(box, kScrollLines);
    case ground::kKeyLeft:
      return StepBackTo(jubo, kViewMainMenu);
  }
}

const OwnPart kHelp = {
    .title = [](ScreenContext&) -> std::string { return "Help Information"; },
    .draw = Draw,
    .key = KeyDown,
};

}  // namespace

// clang-format off
extern const View kHelpView = {.code = kViewHelp, .own = &kHelp};
// clang-format on

}  // namespace screen

// frmInfo tells the user something in two large lines and waits for Enter on its one button,
// "OK", which shows marked; every other key leaves it open. Left alone past the screen saver's
// idle limit, it closes by itself.
#pragma once

#include <string>

namespace dialogs {

struct DialogContext;

// Shows frmInfo with InfoLine1 = `line1` and InfoLine2 = `line2`; returns once it has closed.
void ShowInfo(DialogContext& jubo, const std::string& line1, const std::string& line2);

}  // namespace dialogs

// frmConfirm, the one yes/no question: two options, "No" marked when it opens, Left and Right
// move the mark, Enter answers. Left alone past the screen saver's idle limit, it answers No.
#pragma once

#include <string>

namespace dialogs {

struct DialogContext;

// Asks the question as every caller does: ConfirmLine1 and ConfirmLine2 with "Yes" and "No",
// the main screen's highlight hidden while the dialog shows. Returns ConfirmResult: true when
// answered with "Yes".
bool AskConfirm(DialogContext& jubo, const std::string& line1, const std::string& line2);

}  // namespace dialogs

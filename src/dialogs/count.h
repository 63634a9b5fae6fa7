// frmCount: a whole number asked for with nothing but arrows and Enter. The number shows large
// under the prompt, above the buttons "100", "10", "1" and "DONE"; Left and Right choose a
// button (wrapping around), Up and Down add or take away the chosen button's step, clamped to
// the range (the beep sounds at the limit too), and Enter on "DONE" accepts. Left alone past
// the screen saver's idle limit, it answers CountInitial.
#pragma once

#include <cstdint>
#include <string>

namespace dialogs {

struct DialogContext;

// Shows frmCount with CountPrompt = `prompt`, CountMin, CountMax and CountInitial as given
// ("DONE" marked, `initial` shown) and returns CountResult once it closes.
int32_t AskCount(DialogContext& jubo, const std::string& prompt, int32_t min, int32_t max,
                 int32_t initial);

}  // namespace dialogs

// The views' context with the dialogs' own state: the dialogs answer the views' questions.
#pragma once

#include <string>

#include "dialogs/dialog_state.h"
#include "screen/screen_context.h"

namespace dialogs {

struct DialogContext : screen::ScreenContext {
  bool AskConfirm(const std::string& line1, const std::string& line2) override;

  DialogState dialogs;
};

}  // namespace dialogs

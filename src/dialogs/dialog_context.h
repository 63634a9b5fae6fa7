// The views' context with the dialogs' own state: the dialogs answer the views' questions, and
// tell the user when the engine gives up on a song.
#pragma once

#include <cstdint>
#include <string>

#include "dialogs/dialog_state.h"
#include "screen/screen_context.h"

namespace dialogs {

struct DialogContext : screen::ScreenContext {
  bool AskConfirm(const std::string& line1, const std::string& line2) override;
  int32_t AskCount(const std::string& prompt, int32_t min, int32_t max, int32_t initial) override;
  void ShowInfo(const std::string& line1, const std::string& line2) override;
  // "Could not play" / "Song n", shown once the engine's event has been handled.
  void SongFailed(int32_t position) override;

  DialogState dialogs;
};

}  // namespace dialogs

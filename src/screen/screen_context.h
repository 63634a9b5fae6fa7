// What the views work on: the display and the form models on top of what the engine has. A
// question (a confirm dialog) belongs to a layer above the views, so they ask it through
// AskConfirm, which that layer answers.
#pragma once

#include <cstdint>
#include <string>

#include "playback/player_context.h"
#include "screen/browse_state.h"
#include "screen/display.h"
#include "screen/screen_state.h"
#include "screen/text_measure.h"
#include "settings/store.h"

namespace screen {

struct ScreenContext : playback::PlayerContext {
  // Asks a yes/no question with "No" marked; true when answered Yes.
  virtual bool AskConfirm(const std::string& line1, const std::string& line2) = 0;
  // Now Playing turns its page with the current song (now_playing.cpp).
  void SongChanged() override;

  // None owned here.
  Display* display = nullptr;
  const TextMeasure* measure = nullptr;
  // Where the settings persist; null: they are neither loaded nor saved.
  settings::Store* store = nullptr;

  ScreenState screen;
  BrowseState browse;

  int32_t IdleSeconds = 0;  // seconds without a key press, for the screen saver
  bool ending = false;      // the program is ending: every loop unwinds
};

}  // namespace screen

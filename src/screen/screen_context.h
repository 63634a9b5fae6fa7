// What the views work on: the display and the form models on top of what the engine has. A
// question or a message (a dialog) belongs to a layer above the views, so they ask it through
// AskConfirm, AskCount and ShowInfo, which that layer answers.
#pragma once

#include <cstdint>
#include <string>

#include "playback/player_context.h"
#include "screen/browse_state.h"
#include "screen/display.h"
#include "screen/pairing_panel.h"
#include "screen/phone_remote.h"
#include "screen/saver_state.h"
#include "screen/screen_state.h"
#include "screen/text_measure.h"
#include "settings/store.h"

namespace screen {

struct ScreenContext : playback::PlayerContext {
  // Asks a yes/no question with "No" marked; true when answered Yes.
  virtual bool AskConfirm(const std::string& line1, const std::string& line2) = 0;
  // Asks for a whole number from `min` to `max`, `initial` shown first; returns the number
  // accepted, or `initial` when the question was left alone.
  virtual int32_t AskCount(const std::string& prompt, int32_t min, int32_t max,
                           int32_t initial) = 0;
  // Tells the user two lines and returns once they have been acknowledged.
  virtual void ShowInfo(const std::string& line1, const std::string& line2) = 0;
  // Now Playing turns its page with the current song (now_playing.cpp).
  void SongChanged() override;
  // The status panel shows the change once the engine's event or operation is over, in one
  // update for a burst of changes (status_panel.cpp).
  void PlayerChanged() override;

  // None owned here.
  Display* display = nullptr;
  const TextMeasure* measure = nullptr;
  // Where the settings persist; null: they are neither loaded nor saved.
  settings::Store* store = nullptr;
  // The phone remote's server; null where there is none (tests without one).
  PhoneRemote* phone = nullptr;

  ScreenState screen;
  BrowseState browse;
  SaverState saver;
  PairingState pairing;  // the phone remote's pairing panel

  int32_t IdleSeconds = 0;  // seconds without a key press, for the screen saver
  // A dialog is open: the screen saver waits. Set only by the dialogs' modal skeleton.
  bool DialogOpen = false;
  bool ending = false;                // the program is ending: every loop unwinds
  bool status_update_posted = false;  // the status panel's update after a change is queued
  int volume_timer = 0;  // while the status panel shows the volume: the timer that ends it
};

}  // namespace screen

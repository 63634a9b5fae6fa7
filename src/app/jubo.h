// The program's state in one place, grouped by the subsystem that owns each part, and the
// outside world it reaches through small interfaces. main() wires the real ones (SDL, libmpv);
// tests wire fakes. Procedures of every subsystem take this context.
#pragma once

#include <memory>
#include <string>

#include "app/display.h"
#include "app/event_loop.h"
#include "app/random.h"
#include "dialogs/dialog_state.h"
#include "library/library_connection.h"
#include "playback/media_player.h"
#include "playback/playlist_state.h"
#include "remote/endpoint.h"
#include "screen/browse_state.h"
#include "screen/screen_state.h"
#include "screen/text_measure.h"
#include "selection/selection_state.h"
#include "settings/settings_state.h"
#include "sound/cues.h"
#include "sound/wave_player.h"

namespace app {

struct Jubo {
  // The outside world; none owned here.
  EventLoop* loop = nullptr;
  Display* display = nullptr;
  const screen::TextMeasure* measure = nullptr;
  sound::WavePlayer* waves = nullptr;
  playback::MediaPlayer* player = nullptr;  // null until the player is loaded
  Random* random = nullptr;                 // every random draw: shuffles, Jubo DJ, Non-Stop

  std::string folder;          // the program's folder, where jubodb.txt lives
  std::string runtime_folder;  // where the Remote socket goes; empty: no remote control

  screen::ScreenState screen;
  screen::BrowseState browse;
  library::LibraryState library;
  playback::PlaylistState playlist;
  settings::SettingsState settings;
  selection::SelectionState selection;
  sound::CueState cues;
  dialogs::DialogState dialogs;

  std::unique_ptr<remote::Endpoint> remote;  // listening from start-up to the ending

  int32_t IdleSeconds = 0;  // seconds without a key press, for the screen saver
  bool ending = false;      // the program is ending: every loop unwinds
  int exit_status = 0;
};

}  // namespace app

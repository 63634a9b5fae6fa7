// What the player engine works on: the media player, the event loop and random source it is
// given, the library it looks songs up in, and the playlist, settings and selection it follows.
#pragma once

#include <cstdint>

#include "ground/event_loop.h"
#include "ground/random.h"
#include "library/library_connection.h"
#include "playback/media_player.h"
#include "playback/playlist_state.h"
#include "selection/selection_state.h"
#include "settings/settings_state.h"
#include "sound/sound_context.h"

namespace playback {

struct PlayerContext : sound::SoundContext {
  bool MusicPlaying() const override {
    return player != nullptr && player->playState() == kPlaying;
  }

  // Notices: the engine draws nothing and asks nothing itself; it tells whoever shows the
  // player what happened, from inside the event or operation that did it.
  //
  // The player opened, closed or changed its file: whoever shows the playlist follows the
  // current song.
  virtual void SongChanged() {}
  // The play state, the song's details, the playlist or the repeat switch changed: whoever
  // shows them updates. Comes in bursts (once per song appended), so an answer defers its work.
  virtual void PlayerChanged() {}
  // The current entry cannot be played, and playback rests on it, stopped: ActionOnError says
  // stop, or skipping has failed on as many songs in a row as it may. `position` is the entry's
  // 1-based place in the playlist. Whoever talks to the user says so.
  virtual void SongFailed(int32_t position) { (void)position; }

  // None owned here.
  ground::EventLoop* loop = nullptr;
  MediaPlayer* player = nullptr;     // null until the player is loaded
  ground::Random* random = nullptr;  // every random draw: shuffles, Jubo DJ, Non-Stop

  library::LibraryState library;
  PlaylistState playlist;
  settings::SettingsState settings;
  selection::SelectionState selection;
};

}  // namespace playback

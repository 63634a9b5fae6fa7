// What the player engine works on: the media player, the event loop and random source it is
// given, the library it looks songs up in, and the playlist, settings and selection it follows.
#pragma once

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

  // The player opened, closed or changed its file: whoever shows the playlist follows the
  // current song. The engine draws nothing itself.
  virtual void SongChanged() {}

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

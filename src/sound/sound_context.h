// What the sound cues need: the wave player and the cue files. Each layer's context extends
// the one below it, so a procedure takes the smallest context that holds what it uses.
#pragma once

#include "sound/cues.h"
#include "sound/wave_player.h"

namespace sound {

struct SoundContext {
  SoundContext() = default;
  SoundContext(const SoundContext&) = delete;
  SoundContext& operator=(const SoundContext&) = delete;
  virtual ~SoundContext() = default;

  // True while music plays: cues stay silent then. The player's layer answers it.
  virtual bool MusicPlaying() const { return false; }

  WavePlayer* waves = nullptr;  // not owned
  CueState cues;
};

}  // namespace sound

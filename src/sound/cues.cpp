#include "sound/cues.h"

#include <cstdio>

#include "sound/sound_context.h"

namespace sound {

void PlayCue(SoundContext& jubo, const std::string& sound) {
  // Cues would talk over the music.
  if (sound.empty() || jubo.MusicPlaying() || jubo.waves == nullptr) return;
  std::string error;
  if (!jubo.waves->Play(sound, &error) && jubo.cues.reported.insert(sound).second) {
    std::fprintf(stderr, "jubo: cannot play the sound %s: %s\n", sound.c_str(), error.c_str());
  }
}

}  // namespace sound

#include "sound/cues.h"

#include <cstdio>

#include "app/jubo.h"

namespace sound {

void PlayCue(app::Jubo& jubo, const std::string& sound) {
  // Cues would talk over the music.
  bool silent = jubo.player != nullptr && jubo.player->playState() == playback::kPlaying;
  if (sound.empty() || silent || jubo.waves == nullptr) return;
  std::string error;
  if (!jubo.waves->Play(sound, &error) && jubo.cues.reported.insert(sound).second) {
    std::fprintf(stderr, "jubo: cannot play the sound %s: %s\n", sound.c_str(), error.c_str());
  }
}

}  // namespace sound

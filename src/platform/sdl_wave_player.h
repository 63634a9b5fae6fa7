// Sound cues through SDL_mixer, on one channel: a new cue cuts off the one still sounding.
// The audio device is opened on the first Play, not before, so a program that never plays a
// cue never touches the sound system. JUBO_AUDIO_OUTPUT=null plays into SDL's silent "dummy"
// driver (tests, machines without sound).
#pragma once

#include <map>
#include <string>

#include "sound/wave_player.h"

struct Mix_Chunk;

namespace platform {

class SdlWavePlayer final : public sound::WavePlayer {
 public:
  SdlWavePlayer() = default;
  ~SdlWavePlayer() override;
  SdlWavePlayer(const SdlWavePlayer&) = delete;
  SdlWavePlayer& operator=(const SdlWavePlayer&) = delete;

  // Returns false, with SDL's reason, when the file cannot be loaded (missing, corrupt, not a
  // sound) or no audio device opens; what sounded before is stopped then too. A device that
  // failed to open is not retried.
  bool Play(const std::string& path, std::string* error) override;

  // The file sounding now, or empty when the cue has ended.
  std::string Sounding() const;

 private:
  bool OpenAudio(std::string* error);

  enum class Audio { kClosed, kOpen, kFailed } audio_ = Audio::kClosed;
  std::string open_error_;
  // Loaded cues by path; a program has a few, so they stay loaded.
  std::map<std::string, Mix_Chunk*> chunks_;
  std::string playing_;
};

}  // namespace platform

// Playing a short sound file without waiting for it.
#pragma once

#include <string>

namespace sound {

class WavePlayer {
 public:
  virtual ~WavePlayer() = default;
  // Starts playing `path`, cutting off whatever cue still sounds, and returns at once. Returns
  // false, with a reason in *error, when the file cannot be played; nothing sounds then.
  virtual bool Play(const std::string& path, std::string* error) = 0;
};

}  // namespace sound

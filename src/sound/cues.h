// Sound cues: short sounds that confirm or refuse a key when the screen is across the room.
// The three files come from the user's settings; an empty name means no sound.
#pragma once

#include <set>
#include <string>

namespace sound {

struct SoundContext;

struct CueState {
  std::string BeepSound;           // an accepted navigation step
  std::string SelectSound;         // just before a question that commits something
  std::string ErrorSound;          // a refused key
  std::set<std::string> reported;  // files that could not be played, reported once each
};

// Plays `sound` (one of the three names) unless it is empty or the player is playing. A file
// that cannot be played plays nothing and is reported on standard error the first time.
void PlayCue(SoundContext& jubo, const std::string& sound);

}  // namespace sound

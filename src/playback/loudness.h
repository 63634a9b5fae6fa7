// The volume keys and even loudness. The level and the loudness mode are settings
// (SettingsState); these change them and hand them to the player. Showing the level is the
// caller's (the status panel's ShowVolume).
#pragma once

#include <cstdint>

namespace playback {

struct PlayerContext;

// Volume Up and Volume Down: the level by `steps` times kVolumeStep, within 0 to 100. Either
// ends a mute. Mute: silence, or the level again. SetVolumeLevel: the level `percent`, within 0
// to 100, unmuted (a remote that sets the level itself). Each tells PlayerChanged.
void ChangeVolume(PlayerContext& jubo, int steps);
void SetVolumeLevel(PlayerContext& jubo, int percent);
void ToggleMute(PlayerContext& jubo);
// Hands the player the level and mute as the settings hold them (at start-up).
void ApplyVolume(PlayerContext& jubo);

// Hands the player the ReplayGain for entry `row`, about to play: the loudness setting's, and
// in the automatic mode the album's gain when the entry before or after it is of the same
// album in the library (an album played through keeps its quiet and loud songs), else the
// song's own. Looks up at most three songs in the library.
void ChooseReplayGain(PlayerContext& jubo, int32_t row);

}  // namespace playback

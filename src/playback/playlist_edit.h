// Taking a song out of the playlist, as the track list's toggle does: the song that plays goes
// on playing unless it is the one removed, in which case the one after it starts.
#pragma once

#include <cstdint>

namespace playback {

struct PlayerContext;

// Removes entry `j` (0 <= j < SongCount). Removing the current song stops the player; the song
// that moves into its place starts, or entry 0 when it was the last; an emptied playlist rests
// stopped with CurrentSong 0. Removing another entry leaves the song playing as it is, even
// when that song is the last one.
void RemoveSong(PlayerContext& jubo, int32_t j);

// Loads entry `row` into the player and plays it.
void PlaySong(PlayerContext& jubo, int32_t row);

}  // namespace playback

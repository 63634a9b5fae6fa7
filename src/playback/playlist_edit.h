// Taking a song out of the playlist, as the track list's toggle does: the song that plays goes
// on playing unless it is the one removed, in which case the one after it starts.
#pragma once

#include <cstdint>
#include <string_view>

namespace playback {

struct PlayerContext;
struct PlaylistState;

// Removes entry `j` (0 <= j < SongCount). Removing the current song stops the player; the song
// that moves into its place starts, or entry 0 when it was the last; an emptied playlist rests
// stopped with CurrentSong 0. Removing another entry leaves the song playing as it is, even
// when that song is the last one.
void RemoveSong(PlayerContext& jubo, int32_t j);

// The first entry (0-based) that plays `file`, or -1.
int32_t FindSong(const PlaylistState& p, std::string_view file);
// Loads entry `row` into the player and plays it. CurrentSong is the caller's.
void PlaySong(PlayerContext& jubo, int32_t row);

}  // namespace playback

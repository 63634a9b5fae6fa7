// Jubo DJ's playlist generation: songs drawn at random from those matching the marked criteria.
#pragma once

#include <cstdint>

namespace playback {

struct PlayerContext;

// Draws min(count, matching) distinct songs at random from those matching the marked criteria
// (any chosen album, any chosen artist, any marked genre, any marked tempo; a list with nothing
// marked does not narrow; nothing marked at all matches every song), appends them in the order
// drawn, and starts playing entry 0 if nothing was chosen to play yet. The random source is
// reseeded from the clock first. Returns how many were added: 0 for a count of 0 (nothing is
// asked of the library then), for criteria nothing matches, and for a query that fails. The
// selection is left as it is.
int32_t GenerateSongs(PlayerContext& jubo, int32_t count);

}  // namespace playback

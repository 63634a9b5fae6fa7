// Enter on a browse view puts music into the playlist: every song of a genre, a first letter,
// an artist or an album after a yes/no question, or one song from the track list at once, as a
// toggle. Playback starts when nothing had been chosen to play yet. Each takes the highlighted
// row's value (its name; a track's entry text and file); an empty list never gets here
// (navigation refuses the key).
#pragma once

#include "screen/screen_state.h"

namespace screen {

struct ScreenContext;

// "Add selection": the songs of `genre` ("All": every song), by album and track.
void AddGenreSongs(ScreenContext& jubo, const RowValue& genre);
// "Add selection": the songs whose album (or artist) begins with `letter`, within the genre.
void AddLetterSongs(ScreenContext& jubo, const RowValue& letter);
// "Add selection": every song of `artist`, whatever the genre.
void AddArtistSongs(ScreenContext& jubo, const RowValue& artist);
// "Add album": the songs of `album` (raw), in track order.
void AddAlbum(ScreenContext& jubo, const RowValue& album);
// The track list's Enter: the highlighted song goes into the playlist, or out of it.
void ToggleTrack(ScreenContext& jubo, const RowValue& song);

// Without a question, for remote software that already chose: the songs `sql` selects (Title,
// Artist and Filename among its columns) go to the end of the playlist, or right after the
// current entry when `next`; playback starts when nothing had been chosen to play. Returns how
// many songs were added.
int32_t AddSongsNow(ScreenContext& jubo, const std::string& sql, bool next);
// The same for one song, listed as `text` ("Title by Artist").
void AddSongNow(ScreenContext& jubo, const std::string& text, const std::string& file, bool next);

}  // namespace screen

// Enter on a browse view puts music into the playlist: every song of a genre, a first letter,
// an artist or an album after a yes/no question, or one song from the track list at once, as a
// toggle. Playback starts when nothing had been chosen to play yet.
#pragma once

#include <string>

namespace screen {

struct ScreenContext;

// "Add selection": the highlighted genre's songs ("All": every song), by album and track.
void AddGenreSongs(ScreenContext& jubo);
// "Add selection": the songs whose album (or artist) begins with the highlighted letter.
void AddLetterSongs(ScreenContext& jubo);
// "Add selection": every song of the highlighted artist, whatever the genre.
void AddArtistSongs(ScreenContext& jubo);
// "Add album": the songs of `album` (raw), in track order.
void AddAlbum(ScreenContext& jubo, const std::string& album);
// The track list's Enter: the highlighted song goes into the playlist, or out of it.
void ToggleTrack(ScreenContext& jubo);

}  // namespace screen

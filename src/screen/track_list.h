// The track list (kViewTracks): an album's songs in track order, a page at a time. A song
// already in the playlist shows the chosen icon and its place in the playlist, "(3)". Enter
// adds the highlighted song or takes it out again; Left goes back to the album list it came
// from. Its row of the view table is kTracksView.
#pragma once

#include <string>
#include <string_view>

namespace screen {

struct ScreenContext;

// Queries the songs of `album` (raw: it is escaped on a copy, so the caller's text never
// changes): by SelectedArtist in the artist hierarchy, else within AlbumGenre. ViewPage(2) = 1.
void CreateTracks(ScreenContext& jubo, const std::string& album);
// Draws the list's current page.
void RenderTracks(ScreenContext& jubo);
// The row text of a song: "3 Intro by X"; a track that is no number shows none: "Intro by X".
std::string TrackRowText(std::string_view track, std::string_view title, std::string_view artist);

}  // namespace screen

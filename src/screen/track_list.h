// The track list (view 2): an album's songs in track order, a page at a time. A song already in
// the playlist shows the chosen icon and its place in the playlist, "(3)". Enter adds the
// highlighted song or takes it out again; Left goes back to the album list it came from.
#pragma once

#include <cstdint>
#include <string>

namespace screen {

struct ScreenContext;

// Queries the songs of `album` (raw: it is escaped on a copy, so the caller's text never
// changes): by SelectedArtist in the artist hierarchy, else within AlbumGenre. Page 1.
void CreateTracks(ScreenContext& jubo, const std::string& album);
// Draws page ViewPage(2); CurrentRow = 1. Sets no title.
void RenderTracks(ScreenContext& jubo);
void TracksKeyDown(ScreenContext& jubo, int16_t& KeyCode);

// The row text of a song: "3 Intro by X"; a track that is no number shows none: "Intro by X".
std::string TrackRowText(std::string_view track, std::string_view title, std::string_view artist);

}  // namespace screen

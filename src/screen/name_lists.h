// The album and artist lists: albums of a letter (kViewAlbums), artists of a letter
// (kViewArtists) and an artist's albums (kViewArtistAlbums), a page at a time. Right goes on to
// an album's songs or an artist's albums; Enter offers to add an album's or an artist's songs;
// Left goes back and closes the list's cursor. Their rows of the view table are kAlbumsView,
// kArtistsView and kArtistAlbumsView.
#pragma once

#include <string>

namespace screen {

struct ScreenContext;

// Query the names beginning with `first_letter` ("*" for the rest), within the hierarchy's
// genre.
void CreateAlbums(ScreenContext& jubo, const std::string& first_letter);
void CreateArtists(ScreenContext& jubo, const std::string& first_letter);
// The albums of `artist` (SelectedArtist, quotes already doubled), within ArtistGenre.
void CreateArtistAlbums(ScreenContext& jubo, const std::string& artist);

// Draw the view's current page.
void RenderAlbums(ScreenContext& jubo);
void RenderArtists(ScreenContext& jubo);
void RenderArtistAlbums(ScreenContext& jubo);

}  // namespace screen

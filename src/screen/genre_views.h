// The genre views, where browsing starts: "All" then every genre of the library, as "All
// Albums", "Blues Albums" ... in the album hierarchy (kViewAlbumGenres) and "All Artists" ...
// in the artist hierarchy (kViewArtistGenres). Right opens the letter index of the genre;
// Enter offers to add the genre's songs; Left goes back to the Main Menu. Their rows of the
// view table are kAlbumGenresView and kArtistGenresView.
#pragma once

namespace screen {

struct ScreenContext;

// Draw the page of the hierarchy's genres.
void RenderAlbumGenre(ScreenContext& jubo);
void RenderArtistGenre(ScreenContext& jubo);

}  // namespace screen

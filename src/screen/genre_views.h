// The genre views, where browsing starts: "All" then every genre of the library, as "All
// Albums", "Blues Albums" ... in the album hierarchy (view 9) and "All Artists" ... in the
// artist hierarchy (view 11). Right fixes the hierarchy's genre filter and opens the letter
// index; Enter offers to add the genre's songs; Left goes back to the Main Menu.
#pragma once

#include <cstdint>

namespace screen {

struct ScreenContext;

// Build the hierarchy's genre list on first use (read from the library once a run) and go to
// its first page.
void CreateAlbumGenre(ScreenContext& jubo);
void CreateArtistGenre(ScreenContext& jubo);
// Draw the page; CurrentRow = 1. Callers call renderhighlight.
void RenderAlbumGenre(ScreenContext& jubo);
void RenderArtistGenre(ScreenContext& jubo);
void AlbumGenreKeyDown(ScreenContext& jubo, int16_t& KeyCode);
void ArtistGenreKeyDown(ScreenContext& jubo, int16_t& KeyCode);

// Opens the album ("album") or artist hierarchy from the Main Menu.
void EnterHierarchy(ScreenContext& jubo, const char* browse_by);

}  // namespace screen

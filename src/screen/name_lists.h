// The album and artist lists: albums of a letter (view 1), artists of a letter (view 12) and
// an artist's albums (view 14), a page at a time. Right goes on to an album's songs or an
// artist's albums; Enter offers to add an album's or an artist's songs; Left goes back.
#pragma once

#include <cstdint>
#include <string>

namespace screen {

struct ScreenContext;

// Query the names beginning with the first character of `first_letter` ("*" for the rest),
// within the hierarchy's genre; page 1.
void CreateAlbums(ScreenContext& jubo, const std::string& first_letter);
void CreateArtists(ScreenContext& jubo, const std::string& first_letter);
// The albums of `artist` (SelectedArtist, quotes already doubled), within ArtistGenre; page 1.
void CreateArtistAlbums(ScreenContext& jubo, const std::string& artist);

// Draw the view's page; CurrentRow = 1. RenderAlbums and RenderArtists set their title; the
// artist-album list's title is its callers'.
void RenderAlbums(ScreenContext& jubo);
void RenderArtists(ScreenContext& jubo);
void RenderArtistAlbums(ScreenContext& jubo);

void AlbumsKeyDown(ScreenContext& jubo, int16_t& KeyCode);
void ArtistsKeyDown(ScreenContext& jubo, int16_t& KeyCode);
void ArtistAlbumsKeyDown(ScreenContext& jubo, int16_t& KeyCode);

// "O'Dara Albums": the artist-album list's title for SelectedArtist.
std::string ArtistAlbumsTitle(const ScreenContext& jubo);

}  // namespace screen

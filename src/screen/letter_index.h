// The first-letter index (view 3): the distinct first letters of the album (or artist) names
// of the chosen genre, upper-cased, in the order they first occur in the sorted names, then
// one "*" row for names that do not begin with A-Z. Right opens the names of a letter; Enter
// offers to add its songs; Left goes back to the genres.
#pragma once

#include <cstdint>

namespace screen {
struct ScreenContext;
}
namespace textdb {
class Cursor;
}

namespace screen {

// Builds the index for BrowseBy and the hierarchy's genre; ViewPage(3) = 1. Draws nothing.
void CreateAlbumLetters(ScreenContext& jubo);
// Draws page ViewPage(3); CurrentRow = 1. Callers set CurrentView first and call
// renderhighlight after.
void RenderAlbumLetters(ScreenContext& jubo);
void AlbumLettersKeyDown(ScreenContext& jubo, int16_t& KeyCode);

// Left from a list: closes its cursor and goes back to the index, at the page and row the user
// left.
void ReturnToLetters(ScreenContext& jubo, textdb::Cursor& list);

}  // namespace screen

// The first-letter index (kViewLetters): the distinct first letters of the album (or artist)
// names of the chosen genre, upper-cased, in the order they first occur in the sorted names,
// then one "*" row for names that do not begin with A-Z. Right opens the names of a letter;
// Enter offers to add its songs; Left goes back to the genres. Its row of the view table is
// kLettersView.
#pragma once

namespace screen {

struct ScreenContext;

// Builds the index for BrowseBy and the hierarchy's genre. Draws nothing.
void CreateAlbumLetters(ScreenContext& jubo);
// Draws the index's current page.
void RenderAlbumLetters(ScreenContext& jubo);

}  // namespace screen

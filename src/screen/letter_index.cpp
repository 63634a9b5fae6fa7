#include "screen/letter_index.h"

#include <algorithm>

#include "library/queries.h"
#include "screen/adding.h"
#include "screen/hints.h"
#include "screen/navigation.h"
#include "screen/paged_list.h"
#include "screen/screen_context.h"
#include "screen/text.h"
#include "screen/view.h"

namespace screen {
namespace {

bool ByAlbum(const ScreenContext& jubo) { return jubo.library.BrowseBy == "album"; }

// The index serves both hierarchies: what differs is `album` or `artist`, by BrowseBy.
template <auto album, auto artist>
decltype(album) Either(const ScreenContext& jubo) {
  return ByAlbum(jubo) ? album : artist;
}

template <ViewCode album, ViewCode artist>
void IntoEither(ScreenContext& jubo, const RowValue& letter) {
  StepInto(jubo, Either<album, artist>(jubo), letter.text);
}

}  // namespace

void CreateAlbumLetters(ScreenContext& jubo) {
  library::LibraryState& lib = jubo.library;
  const bool albums = ByAlbum(jubo);
  lib.sqlLetters =
      library::LetterIndexQuery(lib.BrowseBy, albums ? lib.AlbumGenre : lib.ArtistGenre);
  OpenList(jubo, lib.rsLetters, lib.sqlLetters);
  std::vector<std::string>& items = jubo.browse.LetterItems;
  items.clear();
  bool other = false;
  const char* column = albums ? "Album" : "Artist";
  textdb::Cursor& cursor = lib.rsLetters;
  for (MoveFirstPastNull(cursor, column); !cursor.IsEOF(); cursor.MoveNext()) {
    std::string letter = FirstLetter(cursor.Field(column).value_or(""));
    if (letter == "*") {
      other = true;  // listed last, whatever its place among the names
    } else if (std::find(items.begin(), items.end(), letter) == items.end()) {
      items.push_back(std::move(letter));
    }
  }
  cursor.Close();
  if (other) items.push_back("*");
  jubo.browse.LetterCount = static_cast<int32_t>(items.size());
}

void RenderAlbumLetters(ScreenContext& jubo) {
  DrawListPage(jubo, jubo.browse.LetterCount, " Items", [&](long index) {
    const std::string& letter = jubo.browse.LetterItems[static_cast<size_t>(index)];
    return ListRow{letter, "", {.text = letter}, kIconMultiCD};
  });
}

namespace {

const ListPart kLetters = {
    .page = kViewLetters,
    .create =
        [](ScreenContext& jubo, const std::string& genre) {
          (ByAlbum(jubo) ? jubo.library.AlbumGenre : jubo.library.ArtistGenre) = genre;
          CreateAlbumLetters(jubo);
        },
    .title =
        [](ScreenContext& jubo) {
          return ByAlbum(jubo) ? jubo.library.AlbumGenre + " Albums by First Letter"
                               : jubo.library.ArtistGenre + " Artists by First Letter";
        },
    .draw = RenderAlbumLetters,
    .narrow_highlight = true,
};

}  // namespace

// clang-format off
extern const View kLettersView = {.code = kViewLetters, .list = &kLetters,
    .hint = Either<kHintAlbumsAdd, kHintArtistsAdd>,
    .parent = Either<kViewAlbumGenres, kViewArtistGenres>,
    .right = IntoEither<kViewAlbums, kViewArtists>, .enter = AddLetterSongs};

// Choosing albums or artists: Right leads to the choosing lists; Enter adds nothing.
extern const View kLettersChoosingView = {.code = kViewLettersChoosing, .list = &kLetters,
    .hint = Either<kHintAlbums, kHintArtists>,
    .parent = Either<kViewAlbumGenresChoosing, kViewArtistGenresChoosing>,
    .right = IntoEither<kViewAlbumsChoosing, kViewArtistsChoosing>};
// clang-format on

}  // namespace screen

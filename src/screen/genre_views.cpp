#include "screen/genre_views.h"

#include "library/queries.h"
#include "screen/adding.h"
#include "screen/hints.h"
#include "screen/navigation.h"
#include "screen/paged_list.h"
#include "screen/screen_context.h"
#include "screen/view.h"

namespace screen {
namespace {

// What differs between the two hierarchies.
struct Hierarchy {
  const char* browse_by;  // BrowseBy while in it
  std::vector<std::string> BrowseState::*names;
  int32_t BrowseState::*count;
  textdb::Cursor library::LibraryState::*cursor;
  std::string library::LibraryState::*sql;
  const char* word;  // after each genre: " Albums"
};

const Hierarchy kAlbums = {"album",
                           &BrowseState::AlbumGenreNames,
                           &BrowseState::AlbumGenreCount,
                           &library::LibraryState::rsAlbumGenres,
                           &library::LibraryState::sqlAlbumGenres,
                           " Albums"};
const Hierarchy kArtists = {"artist",
                            &BrowseState::ArtistGenreNames,
                            &BrowseState::ArtistGenreCount,
                            &library::LibraryState::rsArtistGenres,
                            &library::LibraryState::sqlArtistGenres,
                            " Artists"};

// Entering the hierarchy: its genre list is read from the library once a run.
void Create(ScreenContext& jubo, const Hierarchy& h) {
  jubo.library.BrowseBy = h.browse_by;
  BrowseState& b = jubo.browse;
  if (b.*h.count == -1) {
    library::LibraryState& lib = jubo.library;
    textdb::Cursor& cursor = lib.*h.cursor;
    lib.*h.sql = library::GenresQuery();
    std::vector<std::string>& names = b.*h.names;
    names.clear();
    // A library that cannot be read has no "All" either: the list is empty.
    if (OpenList(jubo, cursor, lib.*h.sql)) {
      names = {"All"};
      for (MoveFirstPastNull(cursor, "Genre"); !cursor.IsEOF(); cursor.MoveNext())
        names.emplace_back(cursor.Field("Genre").value_or(""));
    }
    b.*h.count = static_cast<int32_t>(names.size());
    cursor.Close();
  }
}

void Render(ScreenContext& jubo, const Hierarchy& h) {
  const std::vector<std::string>& names = jubo.browse.*h.names;
  DrawListPage(jubo, jubo.browse.*h.count, " Items", [&](long index) {
    const std::string& genre = names[static_cast<size_t>(index)];
    return ListRow{genre + h.word, genre, {.text = genre}, kIconMultiCD};
  });
}

}  // namespace

void RenderAlbumGenre(ScreenContext& jubo) { Render(jubo, kAlbums); }
void RenderArtistGenre(ScreenContext& jubo) { Render(jubo, kArtists); }

namespace {

const ListPart kAlbumGenres = {
    .page = kViewAlbumGenres,
    .create = [](ScreenContext& jubo, const std::string&) { Create(jubo, kAlbums); },
    .title = [](ScreenContext&) -> std::string { return "Select Albums"; },
    .draw = RenderAlbumGenre,
};

const ListPart kArtistGenres = {
    .page = kViewArtistGenres,
    .create = [](ScreenContext& jubo, const std::string&) { Create(jubo, kArtists); },
    .title = [](ScreenContext&) -> std::string { return "Select Artists"; },
    .draw = RenderArtistGenre,
};

}  // namespace

// clang-format off
extern const View kAlbumGenresView = {.code = kViewAlbumGenres, .list = &kAlbumGenres,
    .hint = Hint<kHintAlbumsAdd>, .parent = Parent<kViewMainMenu>,
    .right = Into<kViewLetters>, .enter = AddGenreSongs};
extern const View kArtistGenresView = {.code = kViewArtistGenres, .list = &kArtistGenres,
    .hint = Hint<kHintArtistsAdd>, .parent = Parent<kViewMainMenu>,
    .right = Into<kViewLetters>, .enter = AddGenreSongs};

// Choosing albums or artists for Jubo DJ or the exclusions: the same genres; Right leads to
// the choosing index, Enter does nothing, Left goes back to the criteria.
extern const View kAlbumGenresChoosingView = {.code = kViewAlbumGenresChoosing,
    .list = &kAlbumGenres, .hint = Hint<kHintAlbums>, .parent = Parent<kViewCriteria>,
    .right = Into<kViewLettersChoosing>};
extern const View kArtistGenresChoosingView = {.code = kViewArtistGenresChoosing,
    .list = &kArtistGenres, .hint = Hint<kHintArtists>, .parent = Parent<kViewCriteria>,
    .right = Into<kViewLettersChoosing>};
// clang-format on

}  // namespace screen

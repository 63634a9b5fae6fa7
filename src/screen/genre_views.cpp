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
    return ListRow{genre + h.word, genre, genre, kIconMultiCD};
  });
}

}  // namespace

void RenderAlbumGenre(ScreenContext& jubo) { Render(jubo, kAlbums); }
void RenderArtistGenre(ScreenContext& jubo) { Render(jubo, kArtists); }

extern const View kAlbumGenresView = {
    .code = kViewAlbumGenres,
    .page = kViewAlbumGenres,
    .create = [](ScreenContext& jubo, const std::string&) { Create(jubo, kAlbums); },
    .title = [](ScreenContext&) -> std::string { return "Select Albums"; },
    .draw = RenderAlbumGenre,
    .hint = [](const ScreenContext&) { return kHintAlbumsAdd; },
    .parent = [](const ScreenContext&) { return kViewMainMenu; },
    .leave = nullptr,
    .right = Into<kViewLetters>,
    .enter = AddGenreSongs,
    .quiet_pages = false,
    .key = nullptr,
};

extern const View kArtistGenresView = {
    .code = kViewArtistGenres,
    .page = kViewArtistGenres,
    .create = [](ScreenContext& jubo, const std::string&) { Create(jubo, kArtists); },
    .title = [](ScreenContext&) -> std::string { return "Select Artists"; },
    .draw = RenderArtistGenre,
    .hint = [](const ScreenContext&) { return kHintArtistsAdd; },
    .parent = [](const ScreenContext&) { return kViewMainMenu; },
    .leave = nullptr,
    .right = Into<kViewLetters>,
    .enter = AddGenreSongs,
    .quiet_pages = false,
    .key = nullptr,
};

}  // namespace screen

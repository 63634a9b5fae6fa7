#include "screen/name_lists.h"

#include "library/queries.h"
#include "screen/adding.h"
#include "screen/hints.h"
#include "screen/navigation.h"
#include "screen/paged_list.h"
#include "screen/render.h"
#include "screen/screen_context.h"
#include "screen/text.h"
#include "screen/view.h"

namespace screen {
namespace {

// The letter a list's title names: that of the first name of the whole list.
std::string TitleLetter(textdb::Cursor& cursor, const char* column) {
  cursor.MoveFirst();
  return FirstLetter(cursor.IsEOF() ? "" : cursor.Field(column).value_or(""));
}

// Draws the cursor's current page, one row a name: `row(name)` makes the row.
void DrawNames(ScreenContext& jubo, textdb::Cursor& cursor, const char* column, const char* kind,
               const std::function<ListRow(std::string name)>& row) {
  DrawListPage(jubo, cursor.RecordCount(), kind, [&](long index) {
    cursor.MoveFirst();
    cursor.Move(index);
    return row(std::string(cursor.Field(column).value_or("")));
  });
}

std::string Fitted(const ScreenContext& jubo, const std::string& name) {
  return fittowidth(name, jubo.screen.frmMain.lblItem[0], *jubo.measure);
}

ViewCode ToLetters(const ScreenContext&) { return kViewLetters; }

}  // namespace

void CreateAlbums(ScreenContext& jubo, const std::string& first_letter) {
  library::LibraryState& lib = jubo.library;
  lib.sqlAlbums = library::AlbumsOfLetterQuery(first_letter, lib.AlbumGenre);
  OpenList(jubo, lib.rsAlbums, lib.sqlAlbums);
}

void CreateArtists(ScreenContext& jubo, const std::string& first_letter) {
  library::LibraryState& lib = jubo.library;
  lib.sqlArtists = library::ArtistsOfLetterQuery(first_letter, lib.ArtistGenre);
  OpenList(jubo, lib.rsArtists, lib.sqlArtists);
}

void CreateArtistAlbums(ScreenContext& jubo, const std::string& artist) {
  library::LibraryState& lib = jubo.library;
  lib.sqlAlbums = library::ArtistAlbumsQuery(artist, lib.ArtistGenre);
  OpenList(jubo, lib.rsAlbums, lib.sqlAlbums);
}

void RenderAlbums(ScreenContext& jubo) {
  DrawNames(jubo, jubo.library.rsAlbums, "Album", " Albums", [&](std::string album) {
    return ListRow{Fitted(jubo, album), album, album, kIconSingleCD};
  });
}

void RenderArtists(ScreenContext& jubo) {
  DrawNames(jubo, jubo.library.rsArtists, "Artist", " Artists", [&](std::string artist) {
    return ListRow{Fitted(jubo, artist), "", std::move(artist), kIconSingleCD};
  });
}

void RenderArtistAlbums(ScreenContext& jubo) {
  DrawNames(jubo, jubo.library.rsAlbums, "Album", " Albums", [&](std::string album) {
    return ListRow{Fitted(jubo, album), jubo.library.SelectedArtist, std::move(album),
                   kIconSingleCD};
  });
}

extern const View kAlbumsView = {
    .code = kViewAlbums,
    .page = kViewAlbums,
    .create = CreateAlbums,
    .title =
        [](ScreenContext& jubo) {
          return jubo.library.AlbumGenre + " Albums beginning with " +
                 TitleLetter(jubo.library.rsAlbums, "Album");
        },
    .draw = RenderAlbums,
    .hint = [](const ScreenContext&) { return kHintSongsAdd; },
    .parent = ToLetters,
    .leave = [](ScreenContext& jubo) { jubo.library.rsAlbums.Close(); },
    .right = Into<kViewTracks>,
    .enter = AddAlbum,
    .quiet_pages = false,
    .key = nullptr,
};

extern const View kArtistsView = {
    .code = kViewArtists,
    .page = kViewArtists,
    .create = CreateArtists,
    .title =
        [](ScreenContext& jubo) {
          return jubo.library.ArtistGenre + " Artists beginning with " +
                 TitleLetter(jubo.library.rsArtists, "Artist");
        },
    .draw = RenderArtists,
    .hint = [](const ScreenContext&) { return kHintAlbumsAdd; },
    .parent = ToLetters,
    .leave = [](ScreenContext& jubo) { jubo.library.rsArtists.Close(); },
    .right = Into<kViewArtistAlbums>,
    .enter = AddArtistSongs,
    .quiet_pages = false,
    .key = nullptr,
};

extern const View kArtistAlbumsView = {
    .code = kViewArtistAlbums,
    .page = kViewArtistAlbums,
    .create =
        [](ScreenContext& jubo, const std::string& artist) {
          jubo.library.SelectedArtist = library::Escape(artist);
          CreateArtistAlbums(jubo, jubo.library.SelectedArtist);
        },
    .title =
        [](ScreenContext& jubo) {
          return library::Unescape(jubo.library.SelectedArtist) + " Albums";
        },
    .draw = RenderArtistAlbums,
    .hint = [](const ScreenContext&) { return kHintSongsAdd; },
    .parent = [](const ScreenContext&) { return kViewArtists; },
    .leave = [](ScreenContext& jubo) { jubo.library.rsAlbums.Close(); },
    .right = Into<kViewTracks>,
    .enter = AddAlbum,
    .quiet_pages = false,
    .key = nullptr,
};

}  // namespace screen

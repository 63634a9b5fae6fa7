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
#include "selection/criteria.h"

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

void CloseAlbums(ScreenContext& jubo) { jubo.library.rsAlbums.Close(); }

// Choosing: Enter marks the row's name (the select cue) or takes the mark off again.
template <std::vector<std::string> selection::SelectionState::*chosen>
void Choose(ScreenContext& jubo, const RowValue& row) {
  if (selection::ToggleChosen(jubo.selection.*chosen, row.text)) {
    sound::PlayCue(jubo, jubo.cues.SelectSound);
  }
  RedrawKeepingRow(jubo);
}

template <std::vector<std::string> selection::SelectionState::*chosen>
const std::vector<std::string>& Chosen(const ScreenContext& jubo) {
  return jubo.selection.*chosen;
}
void CloseArtists(ScreenContext& jubo) { jubo.library.rsArtists.Close(); }

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
    return ListRow{Fitted(jubo, album),
                   album,
                   {.text = album},
                   Marked(jubo, album) ? kIconSelected : kIconSingleCD};
  });
}

void RenderArtists(ScreenContext& jubo) {
  DrawNames(jubo, jubo.library.rsArtists, "Artist", " Artists", [&](std::string artist) {
    const int icon = Marked(jubo, artist) ? kIconSelected : kIconSingleCD;
    return ListRow{Fitted(jubo, artist), "", {.text = std::move(artist)}, icon};
  });
}

void RenderArtistAlbums(ScreenContext& jubo) {
  DrawNames(jubo, jubo.library.rsAlbums, "Album", " Albums", [&](std::string album) {
    return ListRow{Fitted(jubo, album),
                   jubo.library.SelectedArtist,
                   {.text = std::move(album)},
                   kIconSingleCD};
  });
}

namespace {

const ListPart kAlbums = {
    .page = kViewAlbums,
    .create = CreateAlbums,
    .title =
        [](ScreenContext& jubo) {
          return jubo.library.AlbumGenre + " Albums beginning with " +
                 TitleLetter(jubo.library.rsAlbums, "Album");
        },
    .draw = RenderAlbums,
};

const ListPart kArtists = {
    .page = kViewArtists,
    .create = CreateArtists,
    .title =
        [](ScreenContext& jubo) {
          return jubo.library.ArtistGenre + " Artists beginning with " +
                 TitleLetter(jubo.library.rsArtists, "Artist");
        },
    .draw = RenderArtists,
};

const ListPart kArtistAlbums = {
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
};

}  // namespace

// clang-format off
extern const View kAlbumsView = {.code = kViewAlbums, .list = &kAlbums,
    .hint = Hint<kHintSongsAdd>, .parent = Parent<kViewLetters>, .leave = CloseAlbums,
    .right = Into<kViewTracks>, .enter = AddAlbum};
extern const View kArtistsView = {.code = kViewArtists, .list = &kArtists,
    .hint = Hint<kHintAlbumsAdd>, .parent = Parent<kViewLetters>, .leave = CloseArtists,
    .right = Into<kViewArtistAlbums>, .enter = AddArtistSongs};
extern const View kArtistAlbumsView = {.code = kViewArtistAlbums, .list = &kArtistAlbums,
    .hint = Hint<kHintSongsAdd>, .parent = Parent<kViewArtists>, .leave = CloseAlbums,
    .right = Into<kViewTracks>, .enter = AddAlbum};

// Choosing albums or artists for Jubo DJ or the exclusions: Enter marks, Right goes no deeper.
using selection::SelectionState;
extern const View kAlbumsChoosingView = {.code = kViewAlbumsChoosing, .list = &kAlbums,
    .hint = Hint<kHintChooseAlbum>, .parent = Parent<kViewLettersChoosing>, .leave = CloseAlbums,
    .enter = Choose<&SelectionState::ChosenAlbums>,
    .marked = Chosen<&SelectionState::ChosenAlbums>};
extern const View kArtistsChoosingView = {.code = kViewArtistsChoosing, .list = &kArtists,
    .hint = Hint<kHintChooseArtist>, .parent = Parent<kViewLettersChoosing>,
    .leave = CloseArtists, .enter = Choose<&SelectionState::ChosenArtists>,
    .marked = Chosen<&SelectionState::ChosenArtists>};
// clang-format on

}  // namespace screen

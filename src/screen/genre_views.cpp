#include "screen/genre_views.h"

#include "ground/keys.h"
#include "library/queries.h"
#include "screen/adding.h"
#include "screen/letter_index.h"
#include "screen/list_movement.h"
#include "screen/main_menu.h"
#include "screen/paged_list.h"
#include "screen/render.h"
#include "screen/screen_context.h"

namespace screen {
namespace {

// What differs between the two hierarchies.
struct Hierarchy {
  bool albums;
  int16_t view;  // 9 or 11; also its ViewPage and SavedRow entry
  std::vector<std::string> BrowseState::*names;
  int32_t BrowseState::*count;
  textdb::Cursor library::LibraryState::*cursor;
  std::string library::LibraryState::*sql;
  std::string library::LibraryState::*genre;  // the filter Right sets
  const char* title;
  const char* word;
  const char* hint;         // in the browsing view
  const char* choose_hint;  // when the list serves the criteria editor
};

const Hierarchy kAlbums = {true,
                           9,
                           &BrowseState::AlbumGenreNames,
                           &BrowseState::AlbumGenreCount,
                           &library::LibraryState::rsAlbumGenres,
                           &library::LibraryState::sqlAlbumGenres,
                           &library::LibraryState::AlbumGenre,
                           "Select Albums",
                           " Albums",
                           "[Left = Back] [Up/Down = Scroll] [Right = Show Albums] [Enter/OK = Add "
                           "to Playlist]",
                           "[Left = Back] [Up/Down = Scroll] [Right = Show Albums]"};
const Hierarchy kArtists = {
    false,
    11,
    &BrowseState::ArtistGenreNames,
    &BrowseState::ArtistGenreCount,
    &library::LibraryState::rsArtistGenres,
    &library::LibraryState::sqlArtistGenres,
    &library::LibraryState::ArtistGenre,
    "Select Artists",
    " Artists",
    "[Left = Back] [Up/Down = Scroll] [Right = Show Artists] [Enter/OK = Add to Playlist]",
    "[Left = Back] [Up/Down = Scroll] [Right = Show Artists]"};

void Create(ScreenContext& jubo, const Hierarchy& h) {
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
      cursor.MoveFirst();
      // Null sorts first: songs without a genre make no row of their own.
      if (!cursor.IsEOF() && !cursor.Field("Genre")) cursor.MoveNext();
      for (; !cursor.IsEOF(); cursor.MoveNext())
        names.emplace_back(cursor.Field("Genre").value_or(""));
    }
    b.*h.count = static_cast<int32_t>(names.size());
    cursor.Close();
  }
  jubo.screen.ViewPage[static_cast<size_t>(h.view)] = 1;
}

void Render(ScreenContext& jubo, const Hierarchy& h) {
  ScreenState& s = jubo.screen;
  rendertitle(s, *jubo.measure, h.title);
  const std::vector<std::string>& names = jubo.browse.*h.names;
  DrawListPage(jubo, s.ViewPage[static_cast<size_t>(h.view)], jubo.browse.*h.count, " Items",
               s.CurrentView == h.view ? h.hint : h.choose_hint, [&](int row, long index) {
                 const std::string& genre = names[static_cast<size_t>(index)];
                 SetRow(s, row, genre + h.word, genre);
                 rendericon(s, kIconMultiCD, row);
               });
}

void KeyDown(ScreenContext& jubo, int16_t& KeyCode, const Hierarchy& h) {
  ScreenState& s = jubo.screen;
  auto render = h.albums ? RenderAlbumGenre : RenderArtistGenre;
  if (MoveInList(jubo, KeyCode, s.ViewPage[static_cast<size_t>(h.view)], render)) return;
  if (KeyCode == ground::kKeyRight) {
    if (ListIsEmpty(jubo)) return sound::PlayCue(jubo, jubo.cues.ErrorSound);
    StepIn(jubo);
    jubo.library.*h.genre = s.frmMain.lblItem[static_cast<size_t>(s.CurrentRow)].tag;
    s.CurrentView = 3;
    CreateAlbumLetters(jubo);
    RenderAlbumLetters(jubo);
    renderhighlight(s);
  } else if (KeyCode == ground::kKeyEnter) {
    AddGenreSongs(jubo);
  } else if (KeyCode == ground::kKeyLeft) {
    StepOut(jubo);
    RenderMainChooser(jubo);
    s.CurrentView = 4;
    s.CurrentRow = s.SavedRow[4];
    renderhighlight(s);
  }
}

}  // namespace

void CreateAlbumGenre(ScreenContext& jubo) { Create(jubo, kAlbums); }
void CreateArtistGenre(ScreenContext& jubo) { Create(jubo, kArtists); }
void RenderAlbumGenre(ScreenContext& jubo) { Render(jubo, kAlbums); }
void RenderArtistGenre(ScreenContext& jubo) { Render(jubo, kArtists); }
void AlbumGenreKeyDown(ScreenContext& jubo, int16_t& KeyCode) { KeyDown(jubo, KeyCode, kAlbums); }
void ArtistGenreKeyDown(ScreenContext& jubo, int16_t& KeyCode) { KeyDown(jubo, KeyCode, kArtists); }

void EnterHierarchy(ScreenContext& jubo, const char* browse_by) {
  const Hierarchy& h = std::string_view(browse_by) == "album" ? kAlbums : kArtists;
  jubo.library.BrowseBy = browse_by;
  jubo.screen.CurrentView = h.view;
  Create(jubo, h);
  Render(jubo, h);
  renderhighlight(jubo.screen);
}

}  // namespace screen

#include "screen/name_lists.h"

#include <cctype>

#include "ground/keys.h"
#include "library/queries.h"
#include "screen/adding.h"
#include "screen/letter_index.h"
#include "screen/list_movement.h"
#include "screen/paged_list.h"
#include "screen/render.h"
#include "screen/screen_context.h"
#include "screen/track_list.h"

namespace screen {
namespace {

constexpr const char* kSongsHint =
    "[Left = Back] [Up/Down = Scroll] [Right = Show Songs] [Enter/OK = Add to Playlist]";
constexpr const char* kAlbumsHint =
    "[Left = Back] [Up/Down = Scroll] [Right = Show Albums] [Enter/OK = Add to Playlist]";

// The letter a list's title names: that of the first name of the whole list.
std::string TitleLetter(textdb::Cursor& cursor, const char* column) {
  cursor.MoveFirst();
  std::string_view name = cursor.IsEOF() ? "" : cursor.Field(column).value_or("");
  auto c = static_cast<unsigned char>(name.empty() ? ' ' : name[0]);
  if (c >= 0x80 || !std::isalpha(c)) return "*";
  return std::string(1, static_cast<char>(std::toupper(c)));
}

// Draws the cursor's page, one row a name: `fill(row, name)` fills the row.
void DrawNames(ScreenContext& jubo, textdb::Cursor& cursor, int16_t& page, const char* column,
               const char* kind, const char* hint,
               const std::function<void(int row, const std::string& name)>& fill) {
  ScreenState& s = jubo.screen;
  DrawListPage(jubo, page, cursor.RecordCount(), kind, hint, [&](int row, long index) {
    cursor.MoveFirst();
    cursor.Move(index);
    fill(row, std::string(cursor.Field(column).value_or("")));
    rendericon(s, kIconSingleCD, row);
  });
}

void OpenTracks(ScreenContext& jubo, const std::string& album, const std::string& title) {
  ScreenState& s = jubo.screen;
  StepIn(jubo);
  CreateTracks(jubo, album);
  rendertitle(s, *jubo.measure, title);
  s.CurrentView = 2;
  RenderTracks(jubo);
  renderhighlight(s);
}

}  // namespace

void CreateAlbums(ScreenContext& jubo, const std::string& first_letter) {
  library::LibraryState& lib = jubo.library;
  lib.sqlAlbums = library::AlbumsOfLetterQuery(first_letter, lib.AlbumGenre);
  OpenList(jubo, lib.rsAlbums, lib.sqlAlbums);
  jubo.screen.ViewPage[1] = 1;
}

void CreateArtists(ScreenContext& jubo, const std::string& first_letter) {
  library::LibraryState& lib = jubo.library;
  lib.sqlArtists = library::ArtistsOfLetterQuery(first_letter, lib.ArtistGenre);
  OpenList(jubo, lib.rsArtists, lib.sqlArtists);
  jubo.screen.ViewPage[12] = 1;
}

void CreateArtistAlbums(ScreenContext& jubo, const std::string& artist) {
  library::LibraryState& lib = jubo.library;
  lib.sqlAlbums = library::ArtistAlbumsQuery(artist, lib.ArtistGenre);
  OpenList(jubo, lib.rsAlbums, lib.sqlAlbums);
  jubo.screen.ViewPage[14] = 1;
}

void RenderAlbums(ScreenContext& jubo) {
  ScreenState& s = jubo.screen;
  library::LibraryState& lib = jubo.library;
  rendertitle(s, *jubo.measure,
              lib.AlbumGenre + " Albums beginning with " + TitleLetter(lib.rsAlbums, "Album"));
  DrawNames(jubo, lib.rsAlbums, s.ViewPage[1], "Album", " Albums",
            s.CurrentView == 1 ? kSongsHint
                               : "[Left = Back] [Up/Down = Scroll] [Enter/OK = Select/Deselect "
                                 "Album]",
            [&](int row, const std::string& album) {
              SetRow(s, row, fittowidth(album, s.frmMain.lblItem[0], *jubo.measure), album);
            });
}

void RenderArtists(ScreenContext& jubo) {
  ScreenState& s = jubo.screen;
  library::LibraryState& lib = jubo.library;
  rendertitle(s, *jubo.measure,
              lib.ArtistGenre + " Artists beginning with " + TitleLetter(lib.rsArtists, "Artist"));
  DrawNames(jubo, lib.rsArtists, s.ViewPage[12], "Artist", " Artists",
            s.CurrentView == 12 ? kAlbumsHint
                                : "[Left = Back] [Up/Down = Scroll] [Enter/OK = Select/Deselect "
                                  "Artist]",
            [&](int row, const std::string& artist) {
              SetRow(s, row, fittowidth(artist, s.frmMain.lblItem[0], *jubo.measure), "");
              s.RowValues[static_cast<size_t>(row)] = artist;
            });
}

void RenderArtistAlbums(ScreenContext& jubo) {
  ScreenState& s = jubo.screen;
  library::LibraryState& lib = jubo.library;
  DrawNames(jubo, lib.rsAlbums, s.ViewPage[14], "Album", " Albums", kSongsHint,
            [&](int row, const std::string& album) {
              SetRow(s, row, fittowidth(album, s.frmMain.lblItem[0], *jubo.measure),
                     lib.SelectedArtist);
              s.RowValues[static_cast<size_t>(row)] = album;
            });
}

std::string ArtistAlbumsTitle(const ScreenContext& jubo) {
  return library::Unescape(jubo.library.SelectedArtist) + " Albums";
}

void AlbumsKeyDown(ScreenContext& jubo, int16_t& KeyCode) {
  ScreenState& s = jubo.screen;
  if (MoveInList(jubo, KeyCode, s.ViewPage[1], RenderAlbums)) return;
  const std::string album = s.frmMain.lblItem[static_cast<size_t>(s.CurrentRow)].tag;
  if (KeyCode == ground::kKeyRight) {
    if (ListIsEmpty(jubo)) return sound::PlayCue(jubo, jubo.cues.ErrorSound);
    OpenTracks(jubo, album, album);
  } else if (KeyCode == ground::kKeyEnter) {
    AddAlbum(jubo, album);
  } else if (KeyCode == ground::kKeyLeft) {
    ReturnToLetters(jubo, jubo.library.rsAlbums);
  }
}

void ArtistsKeyDown(ScreenContext& jubo, int16_t& KeyCode) {
  ScreenState& s = jubo.screen;
  if (MoveInList(jubo, KeyCode, s.ViewPage[12], RenderArtists)) return;
  if (KeyCode == ground::kKeyRight) {
    if (ListIsEmpty(jubo)) return sound::PlayCue(jubo, jubo.cues.ErrorSound);
    StepIn(jubo);
    jubo.library.SelectedArtist = library::Escape(s.RowValues[static_cast<size_t>(s.CurrentRow)]);
    CreateArtistAlbums(jubo, jubo.library.SelectedArtist);
    rendertitle(s, *jubo.measure, ArtistAlbumsTitle(jubo));
    s.CurrentView = 14;
    RenderArtistAlbums(jubo);
    renderhighlight(s);
  } else if (KeyCode == ground::kKeyEnter) {
    AddArtistSongs(jubo);
  } else if (KeyCode == ground::kKeyLeft) {
    ReturnToLetters(jubo, jubo.library.rsArtists);
  }
}

void ArtistAlbumsKeyDown(ScreenContext& jubo, int16_t& KeyCode) {
  ScreenState& s = jubo.screen;
  if (MoveInList(jubo, KeyCode, s.ViewPage[14], RenderArtistAlbums)) return;
  const std::string album = s.RowValues[static_cast<size_t>(s.CurrentRow)];
  if (KeyCode == ground::kKeyRight) {
    if (ListIsEmpty(jubo)) return sound::PlayCue(jubo, jubo.cues.ErrorSound);
    OpenTracks(jubo, album, album);
  } else if (KeyCode == ground::kKeyEnter) {
    AddAlbum(jubo, album);
  } else if (KeyCode == ground::kKeyLeft) {
    StepOut(jubo);
    jubo.library.rsAlbums.Close();
    s.CurrentView = 12;
    RenderArtists(jubo);
    s.CurrentRow = s.SavedRow[12];
    renderhighlight(s);
  }
}

}  // namespace screen

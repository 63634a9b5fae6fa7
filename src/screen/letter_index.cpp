#include "screen/letter_index.h"

#include <algorithm>
#include <cctype>

#include "ground/keys.h"
#include "library/queries.h"
#include "screen/adding.h"
#include "screen/genre_views.h"
#include "screen/list_movement.h"
#include "screen/name_lists.h"
#include "screen/paged_list.h"
#include "screen/render.h"
#include "screen/screen_context.h"

namespace screen {
namespace {

bool ByAlbum(const ScreenContext& jubo) { return jubo.library.BrowseBy == "album"; }

}  // namespace

void CreateAlbumLetters(ScreenContext& jubo) {
  library::LibraryState& lib = jubo.library;
  const bool albums = ByAlbum(jubo);
  lib.sqlLetters =
      library::LetterIndexQuery(lib.BrowseBy, albums ? lib.AlbumGenre : lib.ArtistGenre);
  OpenList(jubo, lib.rsLetters, lib.sqlLetters);
  jubo.screen.ViewPage[3] = 1;
  std::vector<std::string>& items = jubo.browse.LetterItems;
  items.clear();
  bool other = false;
  const char* column = albums ? "Album" : "Artist";
  textdb::Cursor& cursor = lib.rsLetters;
  cursor.MoveFirst();
  if (!cursor.IsEOF() && !cursor.Field(column)) cursor.MoveNext();
  for (; !cursor.IsEOF(); cursor.MoveNext()) {
    std::string_view name = cursor.Field(column).value_or("");
    auto c = static_cast<unsigned char>(name.empty() ? ' ' : name[0]);
    if (!std::isalpha(c) || c >= 0x80) {
      other = true;
      continue;
    }
    std::string letter(1, static_cast<char>(std::toupper(c)));
    if (std::find(items.begin(), items.end(), letter) == items.end()) items.push_back(letter);
  }
  cursor.Close();
  if (other) items.push_back("*");
  jubo.browse.LetterCount = static_cast<int32_t>(items.size());
}

void RenderAlbumLetters(ScreenContext& jubo) {
  ScreenState& s = jubo.screen;
  const bool albums = ByAlbum(jubo);
  const library::LibraryState& lib = jubo.library;
  rendertitle(s, *jubo.measure,
              albums ? lib.AlbumGenre + " Albums by First Letter"
                     : lib.ArtistGenre + " Artists by First Letter");
  const char* hint =
      s.CurrentView == 3
          ? (albums ? "[Left = Back] [Up/Down = Scroll] [Right = Show Albums] [Enter/OK = Add to "
                      "Playlist]"
                    : "[Left = Back] [Up/Down = Scroll] [Right = Show Artists] [Enter/OK = Add to "
                      "Playlist]")
          : (albums ? "[Left = Back] [Up/Down = Scroll] [Right = Show Albums]"
                    : "[Left = Back] [Up/Down = Scroll] [Right = Show Artists]");
  DrawListPage(jubo, s.ViewPage[3], jubo.browse.LetterCount, " Items", hint,
               [&](int row, long index) {
                 SetRow(s, row, jubo.browse.LetterItems[static_cast<size_t>(index)], "");
                 rendericon(s, kIconMultiCD, row);
               });
}

void AlbumLettersKeyDown(ScreenContext& jubo, int16_t& KeyCode) {
  ScreenState& s = jubo.screen;
  if (MoveInList(jubo, KeyCode, s.ViewPage[3], RenderAlbumLetters)) return;
  const bool albums = ByAlbum(jubo);
  if (KeyCode == ground::kKeyRight) {
    if (ListIsEmpty(jubo)) return sound::PlayCue(jubo, jubo.cues.ErrorSound);
    StepIn(jubo);
    const std::string letter = s.frmMain.lblItem[static_cast<size_t>(s.CurrentRow)].caption;
    if (albums) {
      CreateAlbums(jubo, letter);
      s.CurrentView = 1;
      RenderAlbums(jubo);
    } else {
      CreateArtists(jubo, letter);
      s.CurrentView = 12;
      RenderArtists(jubo);
    }
    renderhighlight(s);
  } else if (KeyCode == ground::kKeyEnter) {
    AddLetterSongs(jubo);
  } else if (KeyCode == ground::kKeyLeft) {
    StepOut(jubo);
    s.CurrentView = albums ? 9 : 11;
    if (albums) {
      RenderAlbumGenre(jubo);
    } else {
      RenderArtistGenre(jubo);
    }
    s.CurrentRow = s.SavedRow[static_cast<size_t>(s.CurrentView)];
    renderhighlight(s);
  }
}

void ReturnToLetters(ScreenContext& jubo, textdb::Cursor& list) {
  ScreenState& s = jubo.screen;
  StepOut(jubo);
  list.Close();
  s.CurrentView = 3;
  RenderAlbumLetters(jubo);
  s.CurrentRow = s.SavedRow[3];
  renderhighlight(s);
}

}  // namespace screen

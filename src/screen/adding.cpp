#include "screen/adding.h"

#include "library/queries.h"
#include "playback/player_engine.h"
#include "playback/playlist_edit.h"
#include "screen/paged_list.h"
#include "screen/screen_context.h"
#include "screen/track_list.h"

namespace screen {
namespace {

// The select cue and the question; true when answered Yes.
bool Ask(ScreenContext& jubo, const char* line1) {
  sound::PlayCue(jubo, jubo.cues.SelectSound);
  return jubo.AskConfirm(line1, "to Playlist?");
}

// Appends every song of `cursor` in its order, closes it, and starts playing if nothing had
// been chosen to play.
void AppendAll(ScreenContext& jubo, textdb::Cursor& cursor) {
  for (cursor.MoveFirst(); !cursor.IsEOF(); cursor.MoveNext()) {
    playback::AppendSong(jubo,
                         std::string(cursor.Field("Title").value_or("")) + " by " +
                             std::string(cursor.Field("Artist").value_or("")),
                         std::string(cursor.Field("Filename").value_or("")));
  }
  cursor.Close();
  playback::StartIfIdle(jubo);
}

// Runs `sql` into rsAddSongs and appends what it finds.
void AddSongs(ScreenContext& jubo, std::string sql) {
  library::LibraryState& lib = jubo.library;
  lib.sqlAddSongs = std::move(sql);
  OpenList(jubo, lib.rsAddSongs, lib.sqlAddSongs);
  AppendAll(jubo, lib.rsAddSongs);
}

const std::string& HighlightedTag(const ScreenContext& jubo) {
  return jubo.screen.frmMain.lblItem[static_cast<size_t>(jubo.screen.CurrentRow)].tag;
}

// An empty list has nothing to add: the key is refused.
bool Refused(ScreenContext& jubo) {
  if (!ListIsEmpty(jubo)) return false;
  sound::PlayCue(jubo, jubo.cues.ErrorSound);
  return true;
}

}  // namespace

void AddGenreSongs(ScreenContext& jubo) {
  if (Refused(jubo) || !Ask(jubo, "Add selection")) return;
  AddSongs(jubo, library::GenreSongsQuery(jubo.library.BrowseBy, HighlightedTag(jubo)));
}

void AddLetterSongs(ScreenContext& jubo) {
  if (Refused(jubo) || !Ask(jubo, "Add selection")) return;
  const library::LibraryState& lib = jubo.library;
  const std::string letter =
      jubo.screen.frmMain.lblItem[static_cast<size_t>(jubo.screen.CurrentRow)].caption;
  AddSongs(jubo,
           library::LetterSongsQuery(lib.BrowseBy, letter,
                                     lib.BrowseBy == "album" ? lib.AlbumGenre : lib.ArtistGenre));
}

void AddArtistSongs(ScreenContext& jubo) {
  if (Refused(jubo) || !Ask(jubo, "Add selection")) return;
  library::LibraryState& lib = jubo.library;
  lib.SelectedArtist =
      library::Escape(jubo.screen.RowValues[static_cast<size_t>(jubo.screen.CurrentRow)]);
  AddSongs(jubo, library::ArtistSongsQuery(lib.SelectedArtist));
}

void AddAlbum(ScreenContext& jubo, const std::string& album) {
  if (Refused(jubo) || !Ask(jubo, "Add album")) return;
  CreateTracks(jubo, album);
  AppendAll(jubo, jubo.library.rsTracks);
}

void ToggleTrack(ScreenContext& jubo) {
  if (Refused(jubo)) return;
  ScreenState& s = jubo.screen;
  playback::PlaylistState& p = jubo.playlist;
  const std::string file = HighlightedTag(jubo);
  int32_t j = -1;
  for (int32_t i = 0; i < p.SongCount && j < 0; ++i) {
    if (p.Playlist[static_cast<size_t>(i)].file == file) j = i;
  }
  bool added = j < 0;
  if (added) {
    playback::AppendSong(jubo, jubo.browse.TrackEntries[static_cast<size_t>(s.CurrentRow)], file);
    if (p.SongCount == 1) p.CurrentSong = 0;
    sound::PlayCue(jubo, jubo.cues.SelectSound);
  } else {
    playback::RemoveSong(jubo, j);
  }
  s.SavedRow[2] = s.CurrentRow;
  RenderTracks(jubo);
  s.CurrentRow = s.SavedRow[2];
  // The highlight stays where it was: RenderTracks moved nothing but the row number.
  if (added && p.SongCount == 1) playback::PlaySong(jubo, 0);
}

}  // namespace screen

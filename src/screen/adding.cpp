#include "screen/adding.h"

#include "library/queries.h"
#include "playback/player_engine.h"
#include "playback/playlist_edit.h"
#include "screen/navigation.h"
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
  playback::AppendAllSongs(jubo, cursor);
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

}  // namespace

void AddGenreSongs(ScreenContext& jubo, const RowValue& genre) {
  if (!Ask(jubo, "Add selection")) return;
  AddSongs(jubo, library::GenreSongsQuery(jubo.library.BrowseBy, genre.text));
}

void AddLetterSongs(ScreenContext& jubo, const RowValue& letter) {
  if (!Ask(jubo, "Add selection")) return;
  const library::LibraryState& lib = jubo.library;
  AddSongs(jubo,
           library::LetterSongsQuery(lib.BrowseBy, letter.text,
                                     lib.BrowseBy == "album" ? lib.AlbumGenre : lib.ArtistGenre));
}

void AddArtistSongs(ScreenContext& jubo, const RowValue& artist) {
  if (!Ask(jubo, "Add selection")) return;
  library::LibraryState& lib = jubo.library;
  lib.SelectedArtist = library::Escape(artist.text);
  AddSongs(jubo, library::ArtistSongsQuery(lib.SelectedArtist));
}

void AddAlbum(ScreenContext& jubo, const RowValue& album) {
  if (!Ask(jubo, "Add album")) return;
  CreateTracks(jubo, album.text);
  AppendAll(jubo, jubo.library.rsTracks);
}

int32_t AddSongsNow(ScreenContext& jubo, const std::string& sql, bool next) {
  library::LibraryState& lib = jubo.library;
  lib.sqlAddSongs = sql;
  if (!OpenList(jubo, lib.rsAddSongs, lib.sqlAddSongs)) return 0;
  const int32_t before = jubo.playlist.SongCount;
  AppendAll(jubo, lib.rsAddSongs);
  const int32_t added = jubo.playlist.SongCount - before;
  if (next) playback::MoveLastAfterCurrent(jubo, added);
  RedrawKeepingRow(jubo);
  return added;
}

void AddSongNow(ScreenContext& jubo, const std::string& text, const std::string& file, bool next) {
  playback::AppendSong(jubo, text, file);
  playback::StartIfIdle(jubo);
  if (next) playback::MoveLastAfterCurrent(jubo, 1);
  RedrawKeepingRow(jubo);
}

void ToggleTrack(ScreenContext& jubo, const RowValue& song) {
  playback::PlaylistState& p = jubo.playlist;
  const int32_t j = playback::FindSong(p, song.file);
  bool added = j < 0;
  if (added) {
    playback::AppendSong(jubo, song.text, song.file);
    if (p.SongCount == 1) p.CurrentSong = 0;
    sound::PlayCue(jubo, jubo.cues.SelectSound);
  } else {
    playback::RemoveSong(jubo, j);
  }
  RedrawKeepingRow(jubo);
  if (added && p.SongCount == 1) playback::PlaySong(jubo, 0);
}

}  // namespace screen

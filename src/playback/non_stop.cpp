#include "playback/non_stop.h"

#include <numeric>
#include <optional>
#include <span>
#include <string_view>

#include "library/queries.h"
#include "playback/player_context.h"
#include "playback/player_engine.h"
#include "playback/playlist_edit.h"

namespace playback {
namespace {

// The next record drawn from the pool, or nullopt when every one has been.
std::optional<uint32_t> Draw(PlayerContext& jubo) {
  selection::SelectionState& s = jubo.selection;
  if (s.NonStopDrawn >= s.NonStopPool.size()) return std::nullopt;
  return ground::DrawNext(*jubo.random, std::span(s.NonStopPool), s.NonStopDrawn++);
}

// The file of record `record` of the pool's cursor ("" for none).
std::string_view FileOf(textdb::Cursor& cursor, uint32_t record) {
  cursor.MoveFirst();
  cursor.Move(static_cast<long>(record));  // moving is free: the cursor holds row ids
  return cursor.Field("Filename").value_or(std::string_view());
}

}  // namespace

NonStopSwitch PlayMyLibrary(PlayerContext& jubo) {
  selection::SelectionState& s = jubo.selection;
  if (s.NonStop) {
    TurnNonStopOff(jubo);
    return NonStopSwitch::kOff;
  }
  library::LibraryState& lib = jubo.library;
  lib.sqlNonStop = library::NonStopSongsQuery(
      {s.ExcludedAlbums, s.ExcludedArtists, s.ExcludedGenres, s.ExcludedTempos});
  if (!lib.rsNonStop.Open(lib.sqlNonStop, lib.LibraryConnection).ok() ||
      lib.rsNonStop.RecordCount() == 0) {
    lib.rsNonStop.Close();
    return NonStopSwitch::kAllExcluded;
  }
  s.NonStop = true;
  s.NonStopPool.resize(static_cast<size_t>(lib.rsNonStop.RecordCount()));
  std::iota(s.NonStopPool.begin(), s.NonStopPool.end(), 0u);
  s.NonStopDrawn = 0;
  jubo.random->Randomize();

  const PlaylistState& p = jubo.playlist;
  if (p.SongCount == 0 || p.CurrentSong == p.SongCount - 1) {
    // Songs already in the playlist are passed over, and used up all the same.
    while (std::optional<uint32_t> record = Draw(jubo)) {
      if (FindSong(p, FileOf(lib.rsNonStop, *record)) < 0) {
        AppendSongs(jubo, lib.rsNonStop, std::span(&*record, 1));
        break;
      }
    }
  }
  StartIfIdle(jubo);
  s.NonStopReady = true;
  jubo.PlayerChanged();
  return NonStopSwitch::kOn;
}

void TurnNonStopOff(PlayerContext& jubo) {
  selection::SelectionState& s = jubo.selection;
  if (!s.NonStop) return;
  jubo.library.rsNonStop.Close();
  s.NonStop = false;
  s.NonStopPool = {};
  s.NonStopDrawn = 0;
  jubo.PlayerChanged();
}

void DrawNonStopSong(PlayerContext& jubo) {
  if (std::optional<uint32_t> record = Draw(jubo)) {
    AppendSongs(jubo, jubo.library.rsNonStop, std::span(&*record, 1));
  }
}

}  // namespace playback

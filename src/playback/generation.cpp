#include "playback/generation.h"

#include <algorithm>
#include <numeric>
#include <span>
#include <vector>

#include "library/queries.h"
#include "playback/player_context.h"
#include "playback/player_engine.h"
#include "selection/criteria.h"

namespace playback {

int32_t GenerateSongs(PlayerContext& jubo, int32_t count) {
  if (count <= 0) return 0;
  library::LibraryState& lib = jubo.library;
  lib.sqlAlbums = library::CriteriaSongsQuery(selection::Marks(jubo.selection));
  if (!lib.rsAlbums.Open(lib.sqlAlbums, lib.LibraryConnection).ok()) return 0;
  std::vector<uint32_t> records(static_cast<size_t>(lib.rsAlbums.RecordCount()));
  std::iota(records.begin(), records.end(), 0u);
  const size_t drawn = std::min(records.size(), static_cast<size_t>(count));
  jubo.random->Randomize();
  for (size_t i = 0; i < drawn; ++i) ground::DrawNext(*jubo.random, std::span(records), i);
  AppendSongs(jubo, lib.rsAlbums, std::span(records).first(drawn));
  lib.rsAlbums.Close();
  StartIfIdle(jubo);
  return static_cast<int32_t>(drawn);
}

}  // namespace playback

#include "screen/track_list.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "ground/keys.h"
#include "library/queries.h"
#include "screen/adding.h"
#include "screen/list_movement.h"
#include "screen/name_lists.h"
#include "screen/paged_list.h"
#include "screen/render.h"
#include "screen/screen_context.h"
#include "screen/text.h"

namespace screen {
namespace {

// The playlist position suffix " (3)" takes the end of a row that does not fit with it.
std::string WithSuffix(const std::string& caption, const std::string& suffix, const Label& row,
                       const screen::TextMeasure& measure) {
  auto shortened = [&] {
    return Left(caption, static_cast<long>(Len(caption)) - static_cast<long>(Len(suffix) + 4)) +
           "..." + suffix;
  };
  auto ends_in_dots = [](const std::string& text) {
    return text.size() >= 3 && text.compare(text.size() - 3, 3, "...") == 0;
  };
  if (ends_in_dots(caption)) return shortened();
  if (ends_in_dots(fittowidth(caption + suffix, row, measure))) return shortened();
  return caption + suffix;
}

}  // namespace

std::string TrackRowText(std::string_view track, std::string_view title, std::string_view artist) {
  std::string text = std::string(title) + " by " + std::string(artist);
  std::string number(track);
  errno = 0;
  char* end = nullptr;
  double value = std::strtod(number.c_str(), &end);
  while (end != nullptr && *end == ' ') ++end;
  // Only a whole text that reads as a number gives one ("03" is 3); anything else gives none.
  if (number.empty() || end == nullptr || *end != '\0' || errno != 0 || !std::isfinite(value) ||
      std::fabs(value) > 32767) {
    return text;
  }
  return std::to_string(static_cast<long>(std::nearbyint(value))) + " " + text;
}

void CreateTracks(ScreenContext& jubo, const std::string& album) {
  library::LibraryState& lib = jubo.library;
  lib.sqlTracks = lib.BrowseBy != "album"
                      ? library::ArtistAlbumTracksQuery(album, lib.SelectedArtist)
                      : library::AlbumTracksQuery(album, lib.AlbumGenre);
  OpenList(jubo, lib.rsTracks, lib.sqlTracks);
  jubo.screen.ViewPage[2] = 1;
}

void RenderTracks(ScreenContext& jubo) {
  ScreenState& s = jubo.screen;
  textdb::Cursor& cursor = jubo.library.rsTracks;
  const playback::PlaylistState& p = jubo.playlist;
  jubo.browse.TrackEntries.assign(static_cast<size_t>(s.PageSize) + 1, std::string());
  DrawListPage(jubo, s.ViewPage[2], cursor.RecordCount(), " Tracks",
               "[Left = Back] [Up/Down = Scroll] [Enter/OK = Add to/Remove from Playlist]",
               [&](int row, long index) {
                 cursor.MoveFirst();
                 cursor.Move(index);
                 std::string_view title = cursor.Field("Title").value_or("");
                 std::string_view artist = cursor.Field("Artist").value_or("");
                 std::string text = TrackRowText(cursor.Field("Track").value_or(""), title, artist);
                 std::string file(cursor.Field("Filename").value_or(""));
                 s.RowValues[static_cast<size_t>(row)] = text;
                 jubo.browse.TrackEntries[static_cast<size_t>(row)] =
                     std::string(title) + " by " + std::string(artist);
                 std::string caption = fittowidth(text, s.frmMain.lblItem[0], *jubo.measure);
                 int icon = kIconTrack;
                 for (int32_t j = 0; j < p.SongCount; ++j) {
                   if (p.Playlist[static_cast<size_t>(j)].file != file) continue;
                   icon = kIconSelected;
                   caption = WithSuffix(caption, " (" + std::to_string(j + 1) + ")",
                                        s.frmMain.lblItem[0], *jubo.measure);
                   break;
                 }
                 SetRow(s, row, caption, file);
                 rendericon(s, icon, row);
               });
}

void TracksKeyDown(ScreenContext& jubo, int16_t& KeyCode) {
  ScreenState& s = jubo.screen;
  if (MoveInList(jubo, KeyCode, s.ViewPage[2], RenderTracks)) return;
  if (KeyCode == ground::kKeyEnter) {
    ToggleTrack(jubo);
  } else if (KeyCode == ground::kKeyLeft) {
    StepOut(jubo);
    jubo.library.rsTracks.Close();
    if (jubo.library.BrowseBy != "album") {
      s.CurrentView = 14;
      RenderArtistAlbums(jubo);
      rendertitle(s, *jubo.measure, ArtistAlbumsTitle(jubo));
      s.CurrentRow = s.SavedRow[14];
    } else {
      s.CurrentView = 1;
      RenderAlbums(jubo);
      s.CurrentRow = s.SavedRow[1];
    }
    renderhighlight(s);
  }
}

}  // namespace screen

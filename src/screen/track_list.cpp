#include "screen/track_list.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "library/queries.h"
#include "playback/playlist_edit.h"
#include "screen/adding.h"
#include "screen/hints.h"
#include "screen/paged_list.h"
#include "screen/render.h"
#include "screen/screen_context.h"
#include "screen/view.h"

namespace screen {

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
  jubo.screen.ViewPage[kViewTracks] = 1;
}

void RenderTracks(ScreenContext& jubo) {
  ScreenState& s = jubo.screen;
  textdb::Cursor& cursor = jubo.library.rsTracks;
  const playback::PlaylistState& p = jubo.playlist;
  DrawListPage(jubo, cursor.RecordCount(), " Tracks", [&](long index) {
    cursor.MoveFirst();
    cursor.Move(index);
    std::string_view title = cursor.Field("Title").value_or("");
    std::string_view artist = cursor.Field("Artist").value_or("");
    std::string text = TrackRowText(cursor.Field("Track").value_or(""), title, artist);
    std::string file(cursor.Field("Filename").value_or(""));
    // The value is the song as the playlist lists it: its entry's text and its file.
    ListRow r{fittowidth(text, s.frmMain.lblItem[0], *jubo.measure), file,
              RowValue{.text = std::string(title) + " by " + std::string(artist), .file = file},
              kIconTrack};
    if (const int32_t j = playback::FindSong(p, file); j >= 0) {
      r.icon = kIconSelected;
      r.caption = FitWithSuffix(r.caption, " (" + std::to_string(j + 1) + ")", s.frmMain.lblItem[0],
                                *jubo.measure);
    }
    return r;
  });
}

namespace {

const ListPart kTracks = {
    .page = kViewTracks,
    .create =
        [](ScreenContext& jubo, const std::string& album) {
          jubo.browse.TracksAlbum = album;
          CreateTracks(jubo, album);
        },
    .title = [](ScreenContext& jubo) { return jubo.browse.TracksAlbum; },
    .draw = RenderTracks,
};

// Back to the album list the songs were chosen from.
ViewCode ToAlbums(const ScreenContext& jubo) {
  return jubo.library.BrowseBy == "album" ? kViewAlbums : kViewArtistAlbums;
}

void CloseTracks(ScreenContext& jubo) { jubo.library.rsTracks.Close(); }

}  // namespace

// clang-format off
extern const View kTracksView = {.code = kViewTracks, .list = &kTracks, .hint = Hint<kHintTracks>,
    .parent = ToAlbums, .leave = CloseTracks, .enter = ToggleTrack};
// clang-format on

}  // namespace screen

#include "screen/now_playing.h"

#include <algorithm>

#include "playback/playlist_edit.h"
#include "screen/hints.h"
#include "screen/navigation.h"
#include "screen/paged_list.h"
#include "screen/render.h"
#include "screen/screen_context.h"
#include "screen/view.h"

namespace screen {
namespace {

int16_t& Page(ScreenContext& jubo) { return jubo.screen.ViewPage[kViewNowPlaying]; }

// The page (1-based) that holds entry `song`.
int16_t PageOf(const ScreenContext& jubo, int32_t song) {
  return static_cast<int16_t>(std::max(song, 0) / jubo.screen.PageSize + 1);
}

// Draws the page and puts the highlight on `row`.
void Redraw(ScreenContext& jubo, int16_t row) {
  RenderPlaylist(jubo);
  jubo.screen.CurrentRow = row;
  renderhighlight(jubo.screen);
}

void Jump(ScreenContext& jubo, const RowValue& song) {
  sound::PlayCue(jubo, jubo.cues.BeepSound);
  jubo.playlist.CurrentSong = song.entry;
  playback::PlaySong(jubo, jubo.playlist.CurrentSong);
  RedrawKeepingRow(jubo);  // the mark moves, the highlight stays
}

void Remove(ScreenContext& jubo, const RowValue& song) {
  if (!jubo.AskConfirm("Remove Track?", "")) return;
  playback::RemoveSong(jubo, song.entry);
  if (jubo.playlist.SongCount == 0) {
    ShowMainMenu(jubo, jubo.screen.SavedRow[kViewMainMenu]);
  } else {
    Redraw(jubo, 1);
  }
}

}  // namespace

void RenderPlaylist(ScreenContext& jubo) {
  const playback::PlaylistState& p = jubo.playlist;
  const Label& row = jubo.screen.frmMain.lblItem[0];
  DrawListPage(jubo, p.SongCount, " Songs", [&](long index) {
    const auto k = static_cast<int32_t>(index);
    const std::string caption =
        std::to_string(k + 1) + ". " + p.Playlist[static_cast<size_t>(k)].text();
    return ListRow{fittowidth(caption, row, *jubo.measure), std::to_string(k), RowValue{.entry = k},
                   k == p.CurrentSong ? kIconSelected : -1};
  });
}

void FollowCurrentSong(ScreenContext& jubo) {
  ScreenState& s = jubo.screen;
  if (ShownView(s) != kViewNowPlaying) return;
  const playback::PlaylistState& p = jubo.playlist;
  int16_t& page = Page(jubo);
  const int d = PageOf(jubo, p.CurrentSong) - page;
  if (d == 1) {
    ++page;
    Redraw(jubo, 1);
  } else if (d == -1) {
    --page;
    Redraw(jubo, s.PageSize);
  } else if (p.CurrentSong == 0) {
    page = 1;
    Redraw(jubo, 1);
  } else if (p.CurrentSong == p.SongCount - 1) {
    page = PageOf(jubo, p.CurrentSong);
    Redraw(jubo, static_cast<int16_t>(p.CurrentSong % s.PageSize + 1));
  } else {
    RedrawKeepingRow(jubo);
  }
}

void ScreenContext::SongChanged() { FollowCurrentSong(*this); }

namespace {

const ListPart kPlaylist = {
    .page = kViewNowPlaying,
    // Opens on the page that holds the current song.
    .create = [](ScreenContext& jubo,
                 const std::string&) { Page(jubo) = PageOf(jubo, jubo.playlist.CurrentSong); },
    .title = [](ScreenContext&) -> std::string { return "Now Playing"; },
    .draw = RenderPlaylist,
    .quiet_pages = true,
};

}  // namespace

// clang-format off
extern const View kNowPlayingView = {.code = kViewNowPlaying, .list = &kPlaylist,
    .hint = Hint<kHintNowPlaying>, .parent = Parent<kViewMainMenu>, .right = Remove,
    .enter = Jump};
// clang-format on

}  // namespace screen

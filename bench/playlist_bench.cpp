// Long playlists: what the user waits for in Now Playing and the track list when the playlist
// holds 10,000, 100,000 or 1,000,000 entries ("All Albums" of a large library), on the real
// font at 1920x1080 (SDL's offscreen driver unless SDL_VIDEODRIVER says otherwise).
//
//   jubo-bench-playlist [RUNS]
//
// Prints, per playlist size and step, the median and the slowest of RUNS runs in milliseconds,
// and beside the track list's marking the time the search it replaced (every row against the
// whole playlist) takes on the same playlist.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/jubo.h"
#include "platform/sdl_platform.h"
#include "playback/player_engine.h"
#include "playback/playlist_edit.h"
#include "screen/layout.h"
#include "screen/navigation.h"
#include "screen/now_playing.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string File(int32_t i) {
  return "/music/Artist " + std::to_string(i / 1000) + "/Album " + std::to_string(i / 12) + "/" +
         std::to_string(i % 12 + 1) + " Song " + std::to_string(i) + ".ogg";
}

struct Timing {
  std::vector<double> ms;
  void Add(const std::function<void()>& step) {
    const Clock::time_point t = Clock::now();
    step();
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t).count());
  }
  double Median() {
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
  }
};

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 20;
  setenv("SDL_VIDEODRIVER", "offscreen", /*overwrite=*/0);
  setenv("JUBO_WINDOW", "1920x1080", /*overwrite=*/1);
  std::string error;
  std::unique_ptr<platform::SdlPlatform> sdl = platform::SdlPlatform::Create(&error);
  if (sdl == nullptr) {
    std::fprintf(stderr, "jubo-bench-playlist: %s\n", error.c_str());
    return 2;
  }
  std::printf("Long playlists, %d runs, ms: median / slowest\n\n", runs);
  std::printf("%10s %17s %17s %17s %17s %17s\n", "entries", "page of Now Play.", "follow (turn)",
              "remove entry 1", "track list marks", "(whole search)");
  for (int32_t size : {10'000, 100'000, 1'000'000}) {
    app::Jubo jubo;
    jubo.loop = sdl.get();
    jubo.display = sdl.get();
    jubo.measure = sdl.get();
    screen::LayOutScreen(jubo.screen, 1920, 1080);
    for (int32_t i = 0; i < size; ++i) {
      playback::AppendSong(jubo, "Song " + std::to_string(i) + " by Artist", File(i));
    }
    jubo.playlist.CurrentSong = size / 2;  // never the entry removed: no player is needed
    screen::ShowMainMenu(jubo, 1);
    screen::StepInto(jubo, screen::kViewNowPlaying, "");
    const int32_t page = jubo.screen.PageSize;
    // A page of the track list: the rows of an album near the end, half of them in the list.
    std::vector<std::string> rows;
    for (int32_t i = 0; i < page; ++i) rows.push_back(File(size - 1 - 2 * i));
    Timing draw, follow, remove, marks, search;
    for (int run = 0; run < runs; ++run) {
      draw.Add([&] { screen::RenderPlaylist(jubo); });
      follow.Add([&] {
        jubo.playlist.CurrentSong += page;  // the song moved to the next page
        screen::FollowCurrentSong(jubo);
      });
      remove.Add([&] {
        playback::RemoveSong(jubo, 0);
        screen::RenderPlaylist(jubo);
      });
      marks.Add([&] {
        for (const std::string& file : rows) (void)playback::FindSong(jubo.playlist, file);
      });
      search.Add([&] {
        const playback::PlaylistState& p = jubo.playlist;
        for (const std::string& file : rows) {
          for (int32_t j = 0; j < p.SongCount && p.Playlist[static_cast<size_t>(j)].file() != file;)
            ++j;
        }
      });
    }
    auto cell = [](Timing& t) {
      char text[32];
      const double median = t.Median();  // sorts
      std::snprintf(text, sizeof text, "%.3f / %.3f", median, t.ms.back());
      return std::string(text);
    };
    std::printf("%10d %17s %17s %17s %17s %17s\n", size, cell(draw).c_str(), cell(follow).c_str(),
                cell(remove).c_str(), cell(marks).c_str(), cell(search).c_str());
  }
  return 0;
}

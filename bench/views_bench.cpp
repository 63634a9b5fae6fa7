// The browse views on a large library: each drill-down (the view's query and its first page
// filled in) and each page turn, timed through the program's own key handling, on the real
// window and font (SDL, without a display unless SDL_VIDEODRIVER says otherwise; 1920x1080).
//
//   jubo-bench-views FOLDER [RUNS]      FOLDER holds a jubodb.txt (bench/run_views makes one)
//
// Prints, per step, the median and the slowest of RUNS runs in milliseconds.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/jubo.h"
#include "app/key_dispatch.h"
#include "ground/keys.h"
#include "platform/sdl_platform.h"
#include "platform/sdl_wave_player.h"
#include "screen/layout.h"
#include "screen/navigation.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Step {
  const char* label;
  std::vector<int16_t> keys;  // pressed before the timed key, untimed
  int16_t key;                // the timed key
  std::vector<double> ms;
};

void Press(app::Jubo& jubo, int16_t key) { app::Form_KeyDown(jubo, key, 0); }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: jubo-bench-views FOLDER [RUNS]\n");
    return 1;
  }
  const int runs = argc > 2 ? std::atoi(argv[2]) : 20;
  setenv("SDL_VIDEODRIVER", "offscreen", /*overwrite=*/0);
  setenv("JUBO_WINDOW", "1920x1080", /*overwrite=*/1);
  setenv("JUBO_AUDIO_OUTPUT", "null", /*overwrite=*/1);  // the cues sound into nothing
  std::string error;
  std::unique_ptr<platform::SdlPlatform> sdl = platform::SdlPlatform::Create(&error);
  if (sdl == nullptr) {
    std::fprintf(stderr, "jubo-bench-views: %s\n", error.c_str());
    return 2;
  }
  platform::SdlWavePlayer waves;
  app::Jubo jubo;
  jubo.loop = sdl.get();
  jubo.display = sdl.get();
  jubo.measure = sdl.get();
  jubo.waves = &waves;
  Clock::time_point start = Clock::now();
  if (textdb::Status s = library::OpenLibrary(jubo.library, argv[1]); !s.ok()) {
    std::fprintf(stderr, "jubo-bench-views: %s\n", s.message().c_str());
    return 2;
  }
  const double load_ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  screen::LayOutScreen(jubo.screen, 1920, 1080);
  screen::ShowMainMenu(jubo, 1);

  using ground::kKeyDown;
  using ground::kKeyEnter;
  using ground::kKeyLeft;
  using ground::kKeyPageDown;
  using ground::kKeyRight;
  const int16_t kMenu = ground::KeyOf('M');
  std::vector<Step> steps = {
      {"genres of the album hierarchy", {kMenu}, kKeyEnter, {}},
      {"letter index of all albums", {kMenu, kKeyEnter}, kKeyRight, {}},
      {"albums of the first letter", {kMenu, kKeyEnter, kKeyRight}, kKeyRight, {}},
      {"  next page of them", {kMenu, kKeyEnter, kKeyRight, kKeyRight}, kKeyPageDown, {}},
      {"  down a row", {kMenu, kKeyEnter, kKeyRight, kKeyRight}, kKeyDown, {}},
      {"songs of the first album", {kMenu, kKeyEnter, kKeyRight, kKeyRight}, kKeyRight, {}},
      {"  back to the albums", {kMenu, kKeyEnter, kKeyRight, kKeyRight, kKeyRight}, kKeyLeft, {}},
      {"letter index of a genre's albums", {kMenu, kKeyEnter, kKeyDown, kKeyDown}, kKeyRight, {}},
      {"albums of a letter, of a genre",
       {kMenu, kKeyEnter, kKeyDown, kKeyDown, kKeyRight},
       kKeyRight,
       {}},
      {"genres of the artist hierarchy", {kMenu, kKeyDown}, kKeyEnter, {}},
      {"letter index of all artists", {kMenu, kKeyDown, kKeyEnter}, kKeyRight, {}},
      {"artists of the first letter", {kMenu, kKeyDown, kKeyEnter, kKeyRight}, kKeyRight, {}},
      {"albums of the first artist",
       {kMenu, kKeyDown, kKeyEnter, kKeyRight, kKeyRight},
       kKeyRight,
       {}},
      {"songs of the artist's first album",
       {kMenu, kKeyDown, kKeyEnter, kKeyRight, kKeyRight, kKeyRight},
       kKeyRight,
       {}},
  };
  for (int run = 0; run < runs; ++run) {
    for (Step& step : steps) {
      for (int16_t key : step.keys) Press(jubo, key);
      Clock::time_point t = Clock::now();
      Press(jubo, step.key);
      step.ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t).count());
    }
  }
  std::printf("Browse views on %s: library loaded in %.0f ms; %d runs, ms\n\n", argv[1], load_ms,
              runs);
  std::printf("%-36s %8s %8s\n", "step (a key, its query, a page drawn)", "median", "max");
  for (Step& step : steps) {
    std::sort(step.ms.begin(), step.ms.end());
    std::printf("%-36s %8.2f %8.2f\n", step.label, step.ms[step.ms.size() / 2], step.ms.back());
  }
  return 0;
}

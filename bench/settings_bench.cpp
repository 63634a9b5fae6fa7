// jubo-bench-settings: how long the program takes to read its settings file at start-up and to
// write it when the Settings view is left, with many Non-Stop exclusions stored.
//
//   jubo-bench-settings FOLDER EXCLUSIONS [RUNS]
//
// Reads FOLDER/registry.json, writing it first when it is missing: EXCLUSIONS made-up entries,
// half of them albums and half artists (a few genres and tempos beside), some 28 bytes each in
// the file. Then RUNS times (default 3) a load as at start-up (a new store's Load and
// LoadSettings), then RUNS times a save of what was loaded (SaveSettings). Prints one line,
// "FILE_MB LOAD_S SAVE_S", the medians, each figure as soon as it is known, so that a run
// stopped half-way (bench/run_settings gives each a time limit) still shows what it measured.
// Exit status 0; 2 when the settings cannot be written or do not read back as written.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "settings/json_file_store.h"
#include "settings/settings_store.h"

namespace {

using Clock = std::chrono::steady_clock;

double MedianSeconds(int runs, const std::function<bool()>& step) {
  std::vector<double> seconds;
  for (int run = 0; run < runs; ++run) {
    const Clock::time_point start = Clock::now();
    if (!step()) std::exit(2);
    seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
  }
  std::sort(seconds.begin(), seconds.end());
  return seconds[seconds.size() / 2];
}

selection::SelectionState MadeUpExclusions(int32_t count) {
  selection::SelectionState s;
  for (int32_t i = 0; i < 20; ++i) s.ExcludedGenres.push_back("Genre " + std::to_string(i));
  for (int32_t i = 0; i < 5; ++i) s.ExcludedTempos.push_back("Tempo " + std::to_string(i));
  for (int32_t i = 0; i < count / 2; ++i) {
    s.ExcludedAlbums.push_back("Album " + std::to_string(1'000'000 + i) + " Live");
    s.ExcludedArtists.push_back("Artist " + std::to_string(1'000'000 + i));
  }
  return s;
}

size_t Exclusions(const selection::SelectionState& s) {
  return s.ExcludedAlbums.size() + s.ExcludedArtists.size() + s.ExcludedGenres.size() +
         s.ExcludedTempos.size();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: jubo-bench-settings FOLDER EXCLUSIONS [RUNS]\n");
    return 1;
  }
  const std::string path = std::string(argv[1]) + "/registry.json";
  const int32_t count = std::atoi(argv[2]);
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;

  settings::SettingsState state;
  sound::CueState cues;
  selection::SelectionState loaded;
  if (!std::filesystem::exists(path)) {
    // A first start, then the exclusions saved: later loads find everything in place.
    settings::JsonFileStore first(path);
    if (!settings::LoadSettings(&first, state, cues, loaded) ||
        !settings::SaveSettings(&first, state, MadeUpExclusions(count))) {
      return 2;
    }
  }
  std::printf("%.2f ", static_cast<double>(std::filesystem::file_size(path)) / 1e6);
  std::fflush(stdout);

  std::unique_ptr<settings::JsonFileStore> store;
  const double load = MedianSeconds(runs, [&] {
    store = std::make_unique<settings::JsonFileStore>(path);
    if (std::string problem = store->Load(); !problem.empty()) {
      std::fprintf(stderr, "jubo-bench-settings: %s\n", problem.c_str());
      return false;
    }
    return settings::LoadSettings(store.get(), state, cues, loaded) &&
           Exclusions(loaded) >= static_cast<size_t>(count);
  });
  std::printf("%.3f ", load);
  std::fflush(stdout);

  const double save =
      MedianSeconds(runs, [&] { return settings::SaveSettings(store.get(), state, loaded); });
  std::printf("%.3f\n", save);
  return 0;
}

// Jubo DJ and Non-Stop Music on large libraries: the criteria's tallies, turning Non-Stop Music
// on, one Non-Stop draw, generating a playlist, and appending a whole genre's songs, through the
// program's own domain code (no window, a player that only keeps its file).
//
//   jubo-bench-selection [RUNS] FOLDER...     each FOLDER holds a jubodb.txt (bench/run_selection
//                                             makes them: 100,000 and 1,000,000 songs)
//
// Prints, per library and step, the median and the slowest of RUNS runs (default 9) in
// milliseconds, and the median time the step ran on the processor (on a busy machine, the rest
// is waiting for it). Beside the appending, the way the browse views have appended so far (each
// song moved to and read by name, then appended alone) on the same songs, in the same run.
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "library/library_connection.h"
#include "library/queries.h"
#include "playback/generation.h"
#include "playback/non_stop.h"
#include "playback/player_context.h"
#include "playback/player_engine.h"
#include "selection/criteria.h"

namespace {

using Clock = std::chrono::steady_clock;

// Keeps the file it is given and plays nothing.
class SilentPlayer final : public playback::MediaPlayer {
 public:
  const std::string& URL() const override { return url_; }
  void SetURL(const std::string& url) override { url_ = url; }
  int playState() const override { return state_; }
  void play() override { state_ = playback::kPlaying; }
  void pause() override { state_ = playback::kPaused; }
  void stop() override { state_ = playback::kStopped; }
  void fastForward() override {}
  double currentPosition() const override { return 0; }
  void SetCurrentPosition(double) override {}
  double duration() const override { return 0; }
  void SetVisualization(bool) override {}
  void SetVolume(int, bool) override {}
  void SetReplayGain(playback::ReplayGain) override {}
  void SetListener(playback::MediaPlayerEvents*) override {}
  std::vector<AudioDevice> AudioDevices() const override { return {{"auto", "Autoselect device"}}; }
  void SetAudioDevice(const std::string& name) override { device_ = name; }
  const std::string& FixedAudioOutput() const override { return fixed_; }

 private:
  std::string url_;
  int state_ = playback::kStopped;
  std::string device_ = "auto", fixed_;
};

// The time this thread has run, in milliseconds: what a step costs, whatever else the machine
// is busy with.
double CpuMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct Timing {
  std::vector<double> ms, cpu_ms;
  // Times `step` after `before` (untimed).
  void Add(const std::function<void()>& before, const std::function<void()>& step) {
    before();
    const Clock::time_point t = Clock::now();
    const double cpu = CpuMs();
    step();
    cpu_ms.push_back(CpuMs() - cpu);
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t).count());
  }
  std::string Cell() {
    std::sort(ms.begin(), ms.end());
    std::sort(cpu_ms.begin(), cpu_ms.end());
    char text[64];
    std::snprintf(text, sizeof text, "%9.3f / %9.3f %9.3f", ms[ms.size() / 2], ms.back(),
                  cpu_ms[cpu_ms.size() / 2]);
    return text;
  }
};

void Row(const std::string& label, Timing& t) {
  std::printf("  %-56s %s\n", label.c_str(), t.Cell().c_str());
}

// Of `genres` ("All" for every song), the one with the number of songs closest to `songs`;
// *found is its number of songs.
std::string GenreOfAbout(playback::PlayerContext& jubo, const std::vector<std::string>& genres,
                         long songs, long* found) {
  std::string best;
  *found = -1;
  for (const std::string& genre : genres) {
    textdb::Cursor cursor;
    if (!cursor.Open(library::GenreSongsQuery("album", genre), jubo.library.LibraryConnection)
             .ok()) {
      continue;
    }
    if (*found < 0 || std::labs(cursor.RecordCount() - songs) < std::labs(*found - songs)) {
      best = genre;
      *found = cursor.RecordCount();
    }
  }
  return best;
}

void Measure(const char* folder, int runs) {
  SilentPlayer player;
  ground::ClockRandom random;
  playback::PlayerContext jubo;
  jubo.player = &player;
  jubo.random = &random;
  if (textdb::Status s = library::OpenLibrary(jubo.library, folder); !s.ok()) {
    std::fprintf(stderr, "jubo-bench-selection: %s\n", s.message().c_str());
    std::exit(2);
  }
  textdb::Cursor all;
  (void)all.Open(library::GenreSongsQuery("album", "All"), jubo.library.LibraryConnection);
  std::printf("%s: %ld songs\n", folder, all.RecordCount());
  all.Close();
  auto empty_playlist = [&] { jubo.playlist = playback::PlaylistState(); };

  Timing criteria;
  for (int run = 0; run < runs; ++run) {
    criteria.Add([&] { jubo.selection = selection::SelectionState(); },
                 [&] { selection::CreateCriteria(jubo.library, jubo.selection); });
  }
  Row("Jubo DJ's tallies and lists (CreateCriteria)", criteria);

  Timing on;
  for (int run = 0; run < runs; ++run) {
    on.Add(
        [&] {
          playback::TurnNonStopOff(jubo);
          empty_playlist();
        },
        [&] { (void)playback::PlayMyLibrary(jubo); });
  }
  Row("Non-Stop Music on, an empty playlist", on);
  Timing draw;
  for (int run = 0; run < 1000; ++run) {
    draw.Add([] {}, [&] { playback::DrawNonStopSong(jubo); });
  }
  Row("a Non-Stop draw (1,000 draws)", draw);
  playback::TurnNonStopOff(jubo);

  Timing generated;
  for (int run = 0; run < runs; ++run) {
    generated.Add(empty_playlist, [&] { (void)playback::GenerateSongs(jubo, 1000); });
  }
  Row("generate 1,000 songs, nothing marked", generated);
  long genre_songs = 0;
  const std::string genre = GenreOfAbout(jubo, jubo.selection.GenreNames, 100'000, &genre_songs);
  const auto marked = static_cast<size_t>(
      std::find(jubo.selection.GenreNames.begin(), jubo.selection.GenreNames.end(), genre) -
      jubo.selection.GenreNames.begin());
  jubo.selection.GenreSelected[marked] = true;
  Timing generated_genre;
  for (int run = 0; run < runs; ++run) {
    generated_genre.Add(empty_playlist, [&] { (void)playback::GenerateSongs(jubo, 1000); });
  }
  Row("generate 1,000 songs, one genre marked (" + std::to_string(genre_songs) + " songs)",
      generated_genre);
  selection::ClearSelection(jubo.selection);

  // What "Add selection" on a genre does: its songs in album and track order, appended; the
  // genre of about 100,000 songs, or every song ("All") when that is closer.
  std::vector<std::string> genres = jubo.selection.GenreNames;
  genres.push_back("All");
  long listed = 0;
  textdb::Cursor songs;
  (void)songs.Open(library::GenreSongsQuery("album", GenreOfAbout(jubo, genres, 100'000, &listed)),
                   jubo.library.LibraryConnection);
  Timing append, song_by_song;
  for (int run = 0; run < runs; ++run) {
    append.Add(empty_playlist, [&] { playback::AppendAllSongs(jubo, songs); });
    song_by_song.Add(empty_playlist, [&] {
      for (songs.MoveFirst(); !songs.IsEOF(); songs.MoveNext()) {
        playback::AppendSong(jubo,
                             std::string(songs.Field("Title").value_or("")) + " by " +
                                 std::string(songs.Field("Artist").value_or("")),
                             std::string(songs.Field("Filename").value_or("")));
      }
    });
  }
  Row("append " + std::to_string(songs.RecordCount()) + " songs, as adding a genre does", append);
  Row("  (song by song, as the browse views have done)", song_by_song);
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  int first = 1;
  int runs = 9;
  if (argc > 1 && std::atoi(argv[1]) > 0) {
    runs = std::atoi(argv[1]);
    first = 2;
  }
  if (first >= argc) {
    std::fprintf(stderr, "usage: jubo-bench-selection [RUNS] FOLDER...\n");
    return 1;
  }
  std::printf("Jubo DJ and Non-Stop Music, %d runs, ms: median / slowest, median CPU time\n\n",
              runs);
  for (int i = first; i < argc; ++i) Measure(argv[i], runs);
  return 0;
}

// jubo-bench-gap: the silence between one song's end and the next one's start, through the
// whole path a playlist takes: libmpv (no sound, ao=null) moves into the next file, queued ahead,
// and reports it playing (or, were nothing queued, reports the end, and the engine loads the next
// file and starts it once it is ready). Everything runs on the
// program's own event loop (SDL, without a window: SDL_VIDEODRIVER defaults to offscreen here).
//
//   jubo-bench-gap [--songs N] [--seconds S] [--pulse]
//
// Plays a playlist of N + 2 tones of about S seconds (default 20 gaps, half-second songs; each a
// few ms longer than the last, so that song ends fall anywhere between two ticks of the timer)
// written to a scratch folder, and measures each gap between songs 2 and N + 2 as the time between
// two starts less the first song's length (the first start is left out: it opens the file, which
// the others do not wait for in the same way). A start is the moment the player reports
// Playing to the engine. Prints the median with the smallest and largest gap, and the two
// parts of a gap: from the end to the player reporting it, and from that report to the next
// start.
//
// With --pulse the songs are cut from one tone at odd sample positions, WAV and FLAC in turn,
// and play in real time into a private PulseAudio's null sink, which is recorded: the recording
// tells what a listener hears at the changes, the silences in the tone, the sound of the songs
// missing and the clicks (steps larger than the tone makes). Needs pulseaudio and parec.
//
// Exit status 0; 2 when the player cannot start or the playlist stalls; 1 on wrong usage.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/jubo.h"
#include "bench/pulse_recording.h"
#include "bench/tone_wav.h"
#include "platform/mpv_player.h"
#include "platform/sdl_platform.h"
#include "playback/player_engine.h"

namespace {

namespace fs = std::filesystem;

// Notes when songs start and end, and passes every event on to the engine.
class Stopwatch : public playback::MediaPlayerEvents {
 public:
  Stopwatch(ground::EventLoop& loop, playback::MediaPlayerEvents& engine)
      : loop_(loop), engine_(engine) {}
  void OpenStateChange() override { engine_.OpenStateChange(); }
  void PlayStateChange(int NewState) override {
    if (NewState == playback::kPlaying) starts.push_back(loop_.NowMs());
    if (NewState == playback::kMediaEnded) ends.push_back(loop_.NowMs());
    engine_.PlayStateChange(NewState);
  }
  void Error() override {
    ++errors;
    engine_.Error();
  }
  // The player moved on by itself: the song's end, as the player tells it.
  void MovedToNext() override {
    ends.push_back(loop_.NowMs());
    engine_.MovedToNext();
  }

  std::vector<int64_t> starts, ends;
  int errors = 0;

 private:
  ground::EventLoop& loop_;
  playback::MediaPlayerEvents& engine_;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void PrintRow(const char* what, const std::vector<double>& ms) {
  std::printf("%-34s %8.1f %8.1f %8.1f\n", what, Median(ms),
              *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()));
}

// What the recording of the whole playlist (`samples` of the tone in all) holds, once the last
// song has reached it: the recording's end silent for a fifth of a second (or 10 s passed).
void PrintHeard(ground::EventLoop& loop, const bench::PulseRecording& room, int songs,
                int64_t samples) {
  std::vector<int16_t> heard;
  const auto ended = [&] {
    heard = room.Samples();
    const auto last =
        std::find_if(heard.rbegin(), heard.rend(), [](int16_t v) { return std::abs(v) > 100; });
    return last - heard.rbegin() > bench::kToneRate / 5;
  };
  bool out_of_time = false;
  const int tick = loop.StartTimer(50, [] {});
  const int deadline = loop.StartTimer(10000, [&] { out_of_time = true; });
  loop.RunUntil([](int16_t, int16_t) {}, [&] { return ended() || out_of_time; });
  loop.StopTimer(tick);
  loop.StopTimer(deadline);
  const bench::ToneBreaks breaks = bench::FindBreaks(heard);
  const auto ms = [](int64_t n) { return 1000.0 * static_cast<double>(n) / bench::kToneRate; };
  std::printf("\nHeard on PulseAudio's null sink, %d changes of song:\n", songs - 1);
  std::printf("  silences in the tone      %d (%.1f ms in all)\n", breaks.silences,
              ms(breaks.silent));
  std::printf("  the songs' sound missing  %.1f ms in all\n",
              ms(samples - (breaks.sounded - breaks.silent)));
  std::printf("  clicks                    %d\n", breaks.jumps);
}

}  // namespace

int main(int argc, char** argv) {
  int gaps = 20;
  double seconds = 0.5;
  bool pulse = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 < argc && arg == "--songs") {
      gaps = std::atoi(argv[++i]);
    } else if (i + 1 < argc && arg == "--seconds") {
      seconds = std::atof(argv[++i]);
    } else if (arg == "--pulse") {
      pulse = true;
    } else {
      std::fprintf(stderr, "usage: jubo-bench-gap [--songs N] [--seconds S] [--pulse]\n");
      return 1;
    }
  }
  if (gaps <= 0 || seconds < 0.1) {
    std::fprintf(stderr,
                 "jubo-bench-gap: --songs takes a positive number, --seconds 0.1 or more\n");
    return 1;
  }

  std::string scratch = (fs::temp_directory_path() / "jubo-bench-gap-XXXXXX").string();
  if (mkdtemp(scratch.data()) == nullptr) {
    std::fprintf(stderr, "jubo-bench-gap: cannot make a scratch folder in /tmp\n");
    return 2;
  }
  const int songs = gaps + 2;
  setenv("SDL_VIDEODRIVER", "offscreen", /*overwrite=*/0);
  std::string error;
  std::unique_ptr<platform::SdlPlatform> sdl = platform::SdlPlatform::Create(&error);
  if (sdl == nullptr) {
    std::fprintf(stderr, "jubo-bench-gap: %s\n", error.c_str());
    return 2;
  }
  ground::EventLoop& loop = *sdl;
  std::unique_ptr<bench::PulseRecording> room;
  if (pulse && (room = bench::PulseRecording::Start(scratch, &error)) == nullptr) {
    std::fprintf(stderr, "jubo-bench-gap: %s\n", error.c_str());
    return 2;
  }
  std::unique_ptr<platform::MpvPlayer> player =
      platform::MpvPlayer::Create(loop, pulse ? "pulse" : "null", &error);
  if (player == nullptr) {
    std::fprintf(stderr, "jubo-bench-gap: %s\n", error.c_str());
    return 2;
  }
  app::Jubo jubo;
  jubo.loop = &loop;
  jubo.measure = sdl.get();  // the status panel follows the songs, as in the program
  jubo.player = player.get();
  std::vector<double> lengths;
  int64_t cut = 0;  // the tone's sample where the next song begins
  for (int i = 0; i < songs; ++i) {
    const int64_t count = std::lround((seconds + (i % 7) * 0.007) * bench::kToneRate);
    lengths.push_back(static_cast<double>(count) / bench::kToneRate);
    const bool flac = pulse && i % 2 == 1;
    std::string path = scratch + "/song" + std::to_string(i) + (flac ? ".flac" : ".wav");
    if (!bench::WriteToneSlice(path, cut, count,
                               flac ? bench::ToneFormat::kFlac : bench::ToneFormat::kWav)) {
      std::fprintf(stderr, "jubo-bench-gap: cannot write %s\n", path.c_str());
      return 2;
    }
    playback::AppendSong(jubo, "Song " + std::to_string(i), path);
    cut += count;
  }

  bool finished = false;
  {
    playback::PlayerWindow window(jubo);
    Stopwatch stopwatch(loop, window);
    player->SetListener(&stopwatch);
    playback::StartIfIdle(jubo);
    bool out_of_time = false;
    const int deadline = loop.StartTimer(static_cast<int>(songs * (seconds + 1.1) * 1000),
                                         [&] { out_of_time = true; });
    const auto enough = [&] { return static_cast<int>(stopwatch.ends.size()) >= songs; };
    loop.RunUntil([](int16_t, int16_t) {}, [&] { return enough() || out_of_time; });
    loop.StopTimer(deadline);
    finished = enough();
    player->SetListener(&window);
    if (finished) {
      std::vector<double> gap, to_report, to_start;
      for (int i = 1; i + 1 < songs; ++i) {
        const double start = static_cast<double>(stopwatch.starts[i]);
        const double end = start + lengths[static_cast<size_t>(i)] * 1000;
        gap.push_back(static_cast<double>(stopwatch.starts[i + 1]) - end);
        to_report.push_back(static_cast<double>(stopwatch.ends[i]) - end);
        to_start.push_back(static_cast<double>(stopwatch.starts[i + 1] - stopwatch.ends[i]));
      }
      std::printf("%d gaps between songs of about %.1f s, ao=%s, in ms\n", gaps, seconds,
                  pulse ? "pulse" : "null");
      std::printf("%-34s %8s %8s %8s\n", "", "median", "min", "max");
      PrintRow("end to next start (the gap)", gap);
      PrintRow("  end to its report", to_report);
      PrintRow("  report to next start", to_start);
      if (room != nullptr) PrintHeard(loop, *room, songs, cut);
    } else {
      std::fprintf(stderr, "jubo-bench-gap: the playlist stalled after %zu songs (%d errors)\n",
                   stopwatch.ends.size(), stopwatch.errors);
    }
  }
  std::error_code ignored;
  fs::remove_all(scratch, ignored);
  return finished ? 0 : 2;
}

// jubo-bench-vis: what the player's visualisation costs, drawn full screen the way the program
// draws it: real libmpv (no sound, ao=null) playing a generated tone, the program's own event
// loop and renderer, a form holding one Video control the size of the screen.
//
//   jubo-bench-vis [--seconds N]
//
// Measures N seconds (default 10) in each of three states, one after the other in the same
// run: the visualisation hidden; shown, mpv drawing at its pictures' own size and the renderer
// scaling them to the screen (the program's way); shown, mpv drawing at the screen's size (what
// it would cost the other way). Prints, for each, the process's CPU as % of one core
// (utime+stime of /proc/self/stat), frames put on the screen and pictures made per second.
// The screen is 1920x1080 on SDL's offscreen driver unless SDL_VIDEODRIVER or JUBO_WINDOW say
// otherwise. Exit status 0; 2 when the player cannot start or the song does not play; 1 on
// wrong usage.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "bench/tone_wav.h"
#include "platform/mpv_player.h"
#include "platform/sdl_platform.h"

namespace {

namespace fs = std::filesystem;

// The player's pictures, asked for at another size: mpv scales them itself.
class ScaledBySource final : public platform::VideoSource {
 public:
  ScaledBySource(platform::VideoSource& source, int width, int height)
      : source_(source), width_(width), height_(height) {}
  int64_t PicturesMade() const override { return source_.PicturesMade(); }
  int PictureWidth() const override { return width_; }
  int PictureHeight() const override { return height_; }
  bool DrawPicture(int width, int height, int pitch, void* pixels) override {
    return source_.DrawPicture(width, height, pitch, pixels);
  }

 private:
  platform::VideoSource& source_;
  int width_, height_;
};

class VideoForm final : public screen::Form {
 public:
  void Accept(screen::FormVisitor& visitor) const override { visitor.Visit(video); }
  screen::Video video;
};

// Seconds of processor time this process has used.
double CpuSeconds() {
  std::ifstream stat("/proc/self/stat");
  std::string line;
  std::getline(stat, line);
  // Fields after the command's closing parenthesis: utime and stime are the 12th and 13th.
  std::istringstream fields(line.substr(line.rfind(')') + 2));
  std::string field;
  double ticks = 0;
  for (int i = 1; i <= 13 && fields >> field; ++i) {
    if (i >= 12) ticks += std::stod(field);
  }
  return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Runs the loop for `ms`.
void RunFor(platform::SdlPlatform& loop, int ms) {
  bool done = false;
  const int timer = loop.StartTimer(ms, [&] { done = true; });
  loop.RunUntil([](int16_t, int16_t) {}, [&] { return done; });
  loop.StopTimer(timer);
}

}  // namespace

int main(int argc, char** argv) {
  int seconds = 10;
  if (argc == 3 && std::string(argv[1]) == "--seconds" && std::atoi(argv[2]) > 0) {
    seconds = std::atoi(argv[2]);
  } else if (argc != 1) {
    std::fprintf(stderr, "usage: jubo-bench-vis [--seconds N]\n");
    return 1;
  }
  setenv("SDL_VIDEODRIVER", "offscreen", /*overwrite=*/0);
  setenv("JUBO_WINDOW", "1920x1080", /*overwrite=*/0);
  std::string error;
  std::unique_ptr<platform::SdlPlatform> sdl = platform::SdlPlatform::Create(&error);
  std::unique_ptr<platform::MpvPlayer> player;
  if (sdl != nullptr) player = platform::MpvPlayer::Create(*sdl, "null", &error);
  const std::string song = (fs::temp_directory_path() / "jubo-bench-vis.wav").string();
  if (player != nullptr && !bench::WriteToneWav(song, 3 * (seconds + 2) + 10)) {
    error = "cannot write " + song;
    player.reset();
  }
  if (player == nullptr) {
    std::fprintf(stderr, "jubo-bench-vis: %s\n", error.c_str());
    return 2;
  }
  player->SetURL(song);
  player->play();
  RunFor(*sdl, 1000);
  if (player->playState() != playback::kPlaying) {
    std::fprintf(stderr, "jubo-bench-vis: the tone does not play\n");
    return 2;
  }

  const int width = sdl->WidthPixels(), height = sdl->HeightPixels();
  VideoForm form;
  form.full_screen = true;
  form.video = {0, 0, width * screen::kTwipsPerPixel, height * screen::kTwipsPerPixel};
  ScaledBySource screen_sized(*player, width, height);
  const std::string picture =
      std::to_string(player->PictureWidth()) + "x" + std::to_string(player->PictureHeight());
  const std::string screen = std::to_string(width) + "x" + std::to_string(height);
  struct State {
    std::string what;
    platform::VideoSource* source;  // nullptr: hidden
  };
  const State states[] = {
      {"hidden", nullptr},
      {"shown, " + picture + " scaled by the renderer", player.get()},
      {"shown, drawn by mpv at " + screen, &screen_sized},
  };
  std::printf("A tone playing (ao=null), the visualisation on a %s screen (%s), %d s a state\n",
              screen.c_str(), std::getenv("SDL_VIDEODRIVER"), seconds);
  std::printf("%-44s %6s %9s %11s\n", "", "CPU %", "frames/s", "pictures/s");
  for (const State& state : states) {
    player->SetVisualization(state.source != nullptr);
    sdl->SetVideoSource(state.source);
    if (state.source != nullptr) sdl->Show(&form);
    RunFor(*sdl, 2000);  // the graph rebuilt, the first pictures drawn
    const double cpu = CpuSeconds();
    const int64_t frames = sdl->FramesPresented(), pictures = player->PicturesMade();
    const int64_t start = sdl->NowMs();
    RunFor(*sdl, seconds * 1000);
    const double elapsed = static_cast<double>(sdl->NowMs() - start) / 1000;
    std::printf("%-44s %6.1f %9.1f %11.1f\n", state.what.c_str(),
                100 * (CpuSeconds() - cpu) / elapsed,
                static_cast<double>(sdl->FramesPresented() - frames) / elapsed,
                static_cast<double>(player->PicturesMade() - pictures) / elapsed);
    sdl->Hide(&form);
  }
  sdl->SetVideoSource(nullptr);
  std::error_code ignored;
  fs::remove(song, ignored);
  return player->playState() == playback::kPlaying ? 0 : 2;
}

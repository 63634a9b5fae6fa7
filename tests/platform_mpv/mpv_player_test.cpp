#include "platform/mpv_player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/jubo.h"
#include "bench/tone_wav.h"
#include "library/library_connection.h"
#include "platform/sdl_platform.h"
#include "playback/player_engine.h"
#include "screen/status_panel.h"
#include "support/fixture_library.h"
#include "support/temp_dir.h"

namespace platform {
namespace {

using playback::kFastForward;
using playback::kMediaEnded;
using playback::kPlaying;
using playback::kReady;
using playback::kStopped;

// Generous bounds on how long mpv may take: they only stop a broken test from hanging.
constexpr int64_t kOpenMs = 5000;

// The program's own event loop, on SDL's offscreen driver.
std::unique_ptr<SdlPlatform> OpenLoop() {
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  setenv("JUBO_WINDOW", "64x64", 1);
  std::string error;
  std::unique_ptr<SdlPlatform> loop = SdlPlatform::Create(&error);
  if (loop == nullptr) ADD_FAILURE() << error;
  return loop;
}

// Runs `loop` until `done()` holds or `ms` have passed; returns done(). `done` may turn on a
// position that moves without any event: a timer makes the loop look every few ms.
bool RunFor(SdlPlatform& loop, int64_t ms, const std::function<bool()>& done) {
  const int64_t deadline = loop.NowMs() + ms;
  const int poll = loop.StartTimer(5, [] {});
  loop.RunUntil([](int16_t, int16_t) {}, [&] { return done() || loop.NowMs() >= deadline; });
  loop.StopTimer(poll);
  return done();
}

// Writes down every event, and passes it on to `next` when there is one.
class Recorder : public playback::MediaPlayerEvents {
 public:
  void OpenStateChange() override {
    events.push_back("open");
    if (next != nullptr) next->OpenStateChange();
  }
  void PlayStateChange(int NewState) override {
    events.push_back("state " + std::to_string(NewState));
    if (next != nullptr) next->PlayStateChange(NewState);
  }
  void Error() override {
    events.push_back("error");
    if (next != nullptr) next->Error();
  }
  void AudioOutputFailed(const playback::AudioOutputFailure& failure) override {
    events.push_back("no output " + failure.output);
    if (next != nullptr) next->AudioOutputFailed(failure);
  }
  void AudioOutputOpened() override {
    events.push_back("output");
    if (next != nullptr) next->AudioOutputOpened();
  }
  int Count(const std::string& event) const {
    return static_cast<int>(std::count(events.begin(), events.end(), event));
  }

  std::vector<std::string> events;
  playback::MediaPlayerEvents* next = nullptr;
};

class MpvPlayerTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(loop_, nullptr);
    std::string error;
    player_ = MpvPlayer::Create(*loop_, "null", &error);
    ASSERT_NE(player_, nullptr) << error;
    player_->SetListener(&recorder_);
  }

  // A tone of `seconds` in the test's folder; returns its path.
  std::string Song(const std::string& name, double seconds) {
    std::string path = (dir_.path() / name).string();
    EXPECT_TRUE(bench::WriteToneWav(path, seconds)) << path;
    return path;
  }

  bool RunUntilState(int state, int64_t ms = kOpenMs) {
    return RunFor(*loop_, ms, [&] { return player_->playState() == state; });
  }

  jubo_test::TempDir dir_;
  std::unique_ptr<SdlPlatform> loop_ = OpenLoop();
  Recorder recorder_;
  std::unique_ptr<MpvPlayer> player_;
};

TEST_F(MpvPlayerTest, ALoadedSongWaitsReadyWithoutPlaying) {
  std::string song = Song("ready.wav", 2);
  player_->SetURL(song);
  EXPECT_EQ(player_->URL(), song);
  // Opening, then open.
  ASSERT_TRUE(RunFor(*loop_, kOpenMs, [&] { return recorder_.Count("open") == 2; }));
  EXPECT_EQ(player_->playState(), kReady);
  EXPECT_NEAR(player_->duration(), 2.0, 0.05);
  EXPECT_EQ(player_->currentPosition(), 0);
  EXPECT_EQ(recorder_.Count("state 3"), 0);
}

TEST_F(MpvPlayerTest, FilesThatCannotBePlayedRaiseErrorOnce) {
  std::string garbage(4096, '\0');
  for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>(i * 7919 % 251);
  struct Case {
    std::string name;
    std::string bytes;  // empty: the file is not written at all
  };
  const Case kCases[] = {
      {"missing.wav", ""},
      {"corrupt.wav", garbage},
      {"notes.txt", "Title,Artist\nThis is a text file, not a song.\n"},
      {"riff.wav", "RIFF\x24\x08\x00\x00WAVEfmt " + garbage},
  };
  for (const Case& c : kCases) {
    if (!c.bytes.empty()) dir_.Write(c.name, c.bytes);
    recorder_.events.clear();
    player_->SetURL((dir_.path() / c.name).string());
    RunFor(*loop_, kOpenMs, [&] { return recorder_.Count("error") > 0; });
    EXPECT_EQ(recorder_.events, (std::vector<std::string>{"open", "open", "error"})) << c.name;
    EXPECT_EQ(player_->playState(), kStopped) << c.name;
    EXPECT_EQ(player_->URL(), (dir_.path() / c.name).string()) << c.name;
  }
}

TEST_F(MpvPlayerTest, AFailedFileIsTriedAgainByPlay) {
  std::string path = (dir_.path() / "late.wav").string();
  player_->SetURL(path);
  RunFor(*loop_, kOpenMs, [&] { return recorder_.Count("error") == 1; });
  // The music drive is back.
  Song("late.wav", 1);
  player_->play();
  EXPECT_TRUE(RunUntilState(kPlaying));
  RunFor(*loop_, kOpenMs, [&] { return recorder_.Count("state 3") == 1; });
  EXPECT_EQ(recorder_.Count("error"), 1);
}

TEST_F(MpvPlayerTest, ASongPlaysToItsEndAndStartsOverWhenPlayedAgain) {
  player_->SetURL(Song("short.wav", 0.4));
  player_->play();  // before it is open: it starts once it is
  ASSERT_TRUE(RunFor(*loop_, kOpenMs, [&] { return recorder_.Count("state 8") == 1; }));
  EXPECT_EQ(player_->playState(), kMediaEnded);
  EXPECT_NEAR(player_->currentPosition(), 0.4, 0.05);
  EXPECT_EQ(recorder_.Count("state 3"), 1);

  player_->play();
  ASSERT_TRUE(RunFor(*loop_, kOpenMs, [&] { return recorder_.Count("state 8") == 2; }));
  EXPECT_EQ(recorder_.Count("state 3"), 2);
}

TEST_F(MpvPlayerTest, StopKeepsTheSongLoadedAtItsBeginning) {
  std::string song = Song("stop.wav", 3);
  player_->SetURL(song);
  ASSERT_TRUE(RunUntilState(kReady));
  player_->play();
  RunFor(*loop_, kOpenMs, [&] { return player_->currentPosition() >= 0.3; });
  player_->stop();
  EXPECT_EQ(player_->playState(), kStopped);
  EXPECT_TRUE(RunFor(*loop_, kOpenMs, [&] {
    return player_->currentPosition() < 0.05 && recorder_.Count("state 1") == 1;
  }));
  EXPECT_EQ(player_->URL(), song);
  EXPECT_NEAR(player_->duration(), 3.0, 0.05);
  EXPECT_EQ(recorder_.Count("state 1"), 1);

  player_->play();
  EXPECT_TRUE(RunFor(*loop_, kOpenMs, [&] { return player_->currentPosition() >= 0.2; }));
  EXPECT_EQ(player_->playState(), kPlaying);
}

TEST_F(MpvPlayerTest, FastForwardThenPlayGoesOnAtNormalSpeedFromThere) {
  player_->SetURL(Song("ff.wav", 4));
  ASSERT_TRUE(RunUntilState(kReady));
  player_->fastForward();
  EXPECT_EQ(player_->playState(), kFastForward);
  ASSERT_TRUE(RunFor(*loop_, kOpenMs, [&] { return player_->currentPosition() >= 1.0; }));
  player_->play();
  EXPECT_EQ(player_->playState(), kPlaying);
  double resumed_at = player_->currentPosition();
  EXPECT_GE(resumed_at, 1.0);
  EXPECT_TRUE(RunFor(*loop_, kOpenMs, [&] {
    return player_->currentPosition() >= resumed_at + 0.2 && recorder_.Count("state 3") == 1;
  }));
  // The output opening is news of its own, told whenever mpv gets to it.
  std::vector<std::string> states = recorder_.events;
  std::erase(states, "output");
  EXPECT_EQ(states, (std::vector<std::string>{"open", "open", "state 4", "state 3"}));
}

TEST_F(MpvPlayerTest, PositionsOutsideTheSongGoToItsNearestEnd) {
  player_->SetURL(Song("seek.wav", 3));
  player_->play();
  ASSERT_TRUE(RunFor(*loop_, kOpenMs, [&] { return player_->currentPosition() >= 0.5; }));
  // Ten seconds back from half a second in (paused, so that the position holds still): the
  // song goes to its beginning, not to ten seconds before its end, and plays on from there.
  player_->pause();
  player_->SetCurrentPosition(player_->currentPosition() - 10);
  EXPECT_TRUE(RunFor(*loop_, kOpenMs, [&] { return player_->currentPosition() == 0; }));
  player_->play();
  EXPECT_TRUE(RunFor(*loop_, kOpenMs, [&] { return player_->currentPosition() >= 0.4; }));
  EXPECT_EQ(player_->playState(), kPlaying);

  player_->SetCurrentPosition(60);
  EXPECT_TRUE(RunUntilState(kMediaEnded));
  EXPECT_DOUBLE_EQ(player_->currentPosition(), player_->duration());
}

TEST_F(MpvPlayerTest, EventsOfAReplacedFileAreNeverDelivered) {
  player_->SetURL((dir_.path() / "gone.wav").string());
  player_->SetURL(Song("here.wav", 0.3));
  player_->play();
  // mpv reports the replaced file's end before anything of the new one.
  ASSERT_TRUE(RunUntilState(kMediaEnded));
  EXPECT_EQ(recorder_.Count("error"), 0);
  EXPECT_EQ(recorder_.Count("open"), 2);
}

TEST_F(MpvPlayerTest, SongsPlayAtHalfVolume) {
  // mpv's "pcm" output writes what it plays to audiodump.wav in the current folder.
  const std::filesystem::path folder = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  std::string error;
  auto player = MpvPlayer::Create(*loop_, "pcm", &error);
  ASSERT_NE(player, nullptr) << error;
  player->SetURL(Song("tone.wav", 0.5));
  player->play();
  EXPECT_TRUE(RunFor(*loop_, kOpenMs, [&] { return player->playState() == kMediaEnded; }));
  player.reset();  // closes the output file
  std::filesystem::current_path(folder);

  std::ifstream dump(dir_.path() / "audiodump.wav", std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(dump)), std::istreambuf_iterator<char>());
  size_t data = bytes.find("data");
  ASSERT_NE(data, std::string::npos);
  int peak = 0;
  for (size_t i = data + 8; i + 1 < bytes.size(); i += 2) {
    int16_t sample = 0;
    std::memcpy(&sample, &bytes[i], 2);
    peak = std::max(peak, std::abs(static_cast<int>(sample)));
  }
  // The tone peaks at 8000; mpv's volume is cubic: half volume leaves an eighth.
  EXPECT_NEAR(peak, 1000, 60);
}

TEST(MpvPlayerCreateTest, AnUnknownAudioOutputIsRefusedWithAReason) {
  std::unique_ptr<SdlPlatform> loop = OpenLoop();
  ASSERT_NE(loop, nullptr);
  std::string error;
  EXPECT_EQ(MpvPlayer::Create(*loop, "no-such-output", &error), nullptr);
  EXPECT_NE(error.find("no-such-output"), std::string::npos) << error;
}

// The engine and the status panel over the real player: a playlist of real files, in a
// library that knows them.
struct EngineRig {
  explicit EngineRig(const std::string& audio_output = "null") {
    std::string error;
    player = MpvPlayer::Create(*loop, audio_output, &error);
    EXPECT_NE(player, nullptr) << error;
    jubo.loop = loop.get();
    jubo.player = player.get();
    window = std::make_unique<playback::PlayerWindow>(jubo);
    // The window listens; the recorder sits in front of it.
    recorder.next = window.get();
    player->SetListener(&recorder);
  }

  // Songs named after their titles, appended and started as the views do; `seconds` < 0
  // leaves the file missing.
  void BuildPlaylist(const std::vector<std::pair<std::string, double>>& songs) {
    jubo_test::FixtureLibrary library;
    for (const auto& [title, seconds] : songs) {
      if (seconds >= 0) {
        EXPECT_TRUE(bench::WriteToneWav(File(title), seconds));
      }
      library.Song({"Album", "Artist", title, "1", File(title), "Genre", ""});
      playback::AppendSong(jubo, title + " by Artist", File(title));
    }
    library.WriteTo(dir.path());
    EXPECT_TRUE(library::OpenLibrary(jubo.library, dir.path().string()).ok());
    playback::StartIfIdle(jubo);
  }
  std::string File(const std::string& title) const {
    return (dir.path() / (title + ".wav")).string();
  }

  jubo_test::TempDir dir;
  std::unique_ptr<SdlPlatform> loop = OpenLoop();
  Recorder recorder;
  std::unique_ptr<MpvPlayer> player;
  app::Jubo jubo;
  std::unique_ptr<playback::PlayerWindow> window;
};

TEST(EngineOnMpvTest, AThreeSongPlaylistPlaysThroughAndRestsStoppedOnTheFirst) {
  EngineRig rig;
  std::vector<std::string> state_lines;  // the status panel's, each text once
  int timer1 = rig.loop->StartTimer(screen::kTimer1Interval, [&] {
    screen::Timer1(rig.jubo);
    const std::string& line = rig.jubo.screen.frmMain.lblState.caption;
    if (state_lines.empty() || state_lines.back() != line) state_lines.push_back(line);
  });
  rig.BuildPlaylist({{"First", 3}, {"Second", 1}, {"Third", 1}});
  ASSERT_TRUE(RunFor(*rig.loop, kOpenMs, [&] { return rig.jubo.playlist.NowTitle == "First"; }));
  EXPECT_EQ(rig.jubo.playlist.NowArtist, "Artist");
  ASSERT_TRUE(RunFor(*rig.loop, 30000, [&] { return rig.recorder.Count("state 8") == 3; }));
  EXPECT_TRUE(RunFor(*rig.loop, kOpenMs, [&] { return state_lines.back() == "Stopped"; }));
  rig.loop->StopTimer(timer1);

  EXPECT_EQ(rig.jubo.playlist.CurrentSong, 0);
  EXPECT_EQ(rig.player->playState(), kStopped);
  EXPECT_EQ(rig.player->URL(), rig.File("First"));
  EXPECT_FALSE(rig.jubo.playlist.PlayPending);
  EXPECT_EQ(rig.recorder.Count("state 3"), 3);
  EXPECT_NE(std::find_if(state_lines.begin(), state_lines.end(),
                         [](const std::string& line) {
                           return line.starts_with("Playing 00:0") && line.ends_with(" of 00:03");
                         }),
            state_lines.end());
  EXPECT_EQ(rig.jubo.playlist.NowTitle, "");  // forgotten once stopped
}

TEST(EngineOnMpvTest, WithoutAnAudioOutputTheListStopsOnTheSongAndTheStatusPanelSaysWhy) {
  // ALSA with an empty configuration has no device at all, on any machine.
  jubo_test::TempDir config;
  config.Write("asound.conf", "");
  setenv("ALSA_CONFIG_PATH", (config.path() / "asound.conf").c_str(), 1);
  EngineRig rig("alsa");
  const std::string& state = rig.jubo.screen.frmMain.lblState.caption;
  int timer1 = rig.loop->StartTimer(screen::kTimer1Interval, [&] { screen::Timer1(rig.jubo); });
  testing::internal::CaptureStderr();
  rig.BuildPlaylist({{"First", 1}, {"Second", 1}});
  EXPECT_TRUE(
      RunFor(*rig.loop, kOpenMs, [&] { return rig.recorder.Count("no output alsa") == 1; }));
  // Trying again fails alike, and is not reported again.
  playback::PlayPause(rig.jubo);
  EXPECT_TRUE(
      RunFor(*rig.loop, kOpenMs, [&] { return rig.recorder.Count("no output alsa") == 2; }));
  EXPECT_TRUE(
      RunFor(*rig.loop, kOpenMs, [&] { return state == "No sound: audio output alsa failed"; }));
  rig.loop->StopTimer(timer1);
  std::string err = testing::internal::GetCapturedStderr();
  unsetenv("ALSA_CONFIG_PATH");

  const std::string line =
      "jubo: the audio output \"alsa\" could not be opened (audio output initialization "
      "failed); choose another with JUBO_AUDIO_OUTPUT, for example pulse, pipewire or alsa.\n";
  EXPECT_NE(err.find(line), std::string::npos) << err;
  EXPECT_EQ(err.find(line), err.rfind(line)) << err;
  EXPECT_EQ(rig.recorder.Count("error"), 0);
  EXPECT_EQ(rig.jubo.playlist.CurrentSong, 0);
  EXPECT_EQ(rig.player->URL(), rig.File("First"));
  EXPECT_EQ(rig.player->playState(), kStopped);
}

}  // namespace
}  // namespace platform

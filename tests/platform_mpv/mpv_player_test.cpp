#include "platform/mpv_player.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <taglib/fileref.h>
#include <taglib/tpropertymap.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "app/jubo.h"
#include "bench/pulse_recording.h"
#include "bench/tone_wav.h"
#include "platform/sdl_platform.h"
#include "playback/player_engine.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace platform {
namespace {

using playback::kFastForward;
using playback::kMediaEnded;
using playback::kPaused;
using playback::kPlaying;
using playback::kReady;
using playback::kStopped;

// A generous bound on how long mpv may take: it only stops a broken test from hanging.
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
  void OpenStateChange() override { Log("open", &MediaPlayerEvents::OpenStateChange); }
  void PlayStateChange(int state) override {
    Log("state " + std::to_string(state), &MediaPlayerEvents::PlayStateChange, state);
  }
  void Error() override { Log("error", &MediaPlayerEvents::Error); }
  void AudioOutputFailed(const playback::AudioOutputFailure& failure) override {
    Log("no output " + failure.output + ": " + failure.message,
        &MediaPlayerEvents::AudioOutputFailed, failure);
  }
  void AudioOutputOpened() override { Log("output", &MediaPlayerEvents::AudioOutputOpened); }
  void MovedToNext() override { Log("next", &MediaPlayerEvents::MovedToNext); }
  int Count(const std::string& event) const {
    return static_cast<int>(std::count(events.begin(), events.end(), event));
  }

  std::vector<std::string> events;
  playback::MediaPlayerEvents* next = nullptr;

 private:
  template <typename... Args>
  void Log(const std::string& event, void (MediaPlayerEvents::*pass)(Args...),
           std::type_identity_t<Args>... args) {
    events.push_back(event);
    if (next != nullptr) (next->*pass)(args...);
  }
};

class MpvPlayerTest : public testing::Test {
 protected:
  void SetUp() override { player_ = Player("null"); }

  std::unique_ptr<MpvPlayer> Player(const std::string& audio_output) {
    std::string error;
    std::unique_ptr<MpvPlayer> player = MpvPlayer::Create(*loop_, audio_output, &error);
    EXPECT_NE(player, nullptr) << error;
    if (player != nullptr) player->SetListener(&recorder_);
    return player;
  }
  // A tone of `seconds` in the test's folder; returns its path.
  std::string Song(const std::string& name, double seconds) {
    std::string path = (dir_.path() / name).string();
    EXPECT_TRUE(bench::WriteToneWav(path, seconds)) << path;
    return path;
  }
  bool RunUntil(const std::function<bool()>& done) { return RunFor(*loop_, kOpenMs, done); }
  double Position() const { return player_->currentPosition(); }

  jubo_test::TempDir dir_;
  std::unique_ptr<SdlPlatform> loop_ = OpenLoop();
  Recorder recorder_;
  std::unique_ptr<MpvPlayer> player_;
};

// A second of the tone, tagged with ReplayGain gains and peaks (mpv takes no gain without one).
std::string TaggedTone(const std::filesystem::path& path, double amplitude, double track_db,
                       double album_db) {
  EXPECT_TRUE(bench::WriteToneFlac(path, 1, amplitude));
  TagLib::FileRef tagged(path.c_str());
  TagLib::PropertyMap tags;
  for (auto [kind, db] : {std::pair("TRACK", track_db), std::pair("ALBUM", album_db)}) {
    tags[std::string("REPLAYGAIN_") + kind + "_GAIN"] = TagLib::String(std::to_string(db) + " dB");
    tags[std::string("REPLAYGAIN_") + kind + "_PEAK"] = TagLib::String(std::to_string(amplitude));
  }
  tagged.file()->setProperties(tags);
  EXPECT_TRUE(tagged.save()) << path;
  return path.string();
}

// The level in dB (RMS against full scale) of mpv's PCM output file.
double OutputLevel(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  std::vector<double> samples(static_cast<size_t>(info.frames * info.channels));
  sf_readf_double(file, samples.data(), info.frames);
  sf_close(file);
  double sum = 0;
  for (double sample : samples) sum += sample * sample;
  return 10 * std::log10(sum / static_cast<double>(samples.size()));
}

// Two songs of one tone 6 dB apart, their tags' gains evening them (the album's gains the
// other way round), as mpv's PCM output (written to ./audiodump.wav) plays them.
TEST_F(MpvPlayerTest, ReplayGainEvensTheTaggedSongs) {
  const std::string quiet = TaggedTone(dir_.path() / "quiet.flac", 0.25, -3, -9);
  const std::string loud = TaggedTone(dir_.path() / "loud.flac", 0.5, -9.02, -3);
  const std::filesystem::path folder = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  using playback::ReplayGain;
  for (auto [mode, loud_minus_quiet] :
       {std::pair(ReplayGain::kOff, 6.02), std::pair(ReplayGain::kTrack, 0.0),
        std::pair(ReplayGain::kAlbum, 12.04)}) {
    double level[2];
    for (int song = 0; song < 2; ++song) {
      std::unique_ptr<MpvPlayer> player = Player("pcm");
      player->SetVolume(100, false);  // mpv's volume steps (1/256 on 16-bit sound) stay small
      player->SetReplayGain(mode);
      player->SetURL(song == 0 ? quiet : loud);
      player->play();
      EXPECT_TRUE(RunUntil([&] { return player->playState() == kMediaEnded; }));
      player.reset();  // mpv finishes the output file
      level[song] = OutputLevel("audiodump.wav");
    }
    EXPECT_NEAR(level[1] - level[0], loud_minus_quiet, 0.5) << static_cast<int>(mode);
  }
  std::filesystem::current_path(folder);
}

TEST_F(MpvPlayerTest, ASongLoadsReadyStopsAtItsBeginningAndFastForwards) {
  const std::string song = Song("song.wav", 4);
  player_->SetURL(song);
  ASSERT_TRUE(RunUntil([&] { return recorder_.Count("open") == 2; }));  // opening, then open
  EXPECT_EQ(player_->playState(), kReady);
  EXPECT_NEAR(player_->duration(), 4.0, 0.05);
  EXPECT_EQ(Position(), 0);

  // Stop keeps the song loaded, at its beginning.
  player_->play();
  ASSERT_TRUE(RunUntil([&] { return Position() >= 0.3; }));
  player_->stop();
  EXPECT_EQ(player_->playState(), kStopped);
  EXPECT_TRUE(RunUntil([&] { return Position() < 0.05 && recorder_.Count("state 1") == 1; }));
  EXPECT_EQ(player_->URL(), song);
  EXPECT_NEAR(player_->duration(), 4.0, 0.05);

  // Fast forward, then play: on at normal speed from where it got to.
  player_->fastForward();
  EXPECT_EQ(player_->playState(), kFastForward);
  ASSERT_TRUE(RunUntil([&] { return Position() >= 1.0; }));
  player_->play();
  EXPECT_EQ(player_->playState(), kPlaying);
  const double resumed_at = Position();
  EXPECT_GE(resumed_at, 1.0);
  // The play's state change is news posted to the loop: wait for it, not only for the clock.
  EXPECT_TRUE(
      RunUntil([&] { return Position() >= resumed_at + 0.2 && recorder_.Count("state 3") == 2; }));
  // The output opening is news of its own, told whenever mpv gets to it.
  std::erase(recorder_.events, "output");
  EXPECT_EQ(recorder_.events,
            (std::vector<std::string>{"open", "open", "state 3", "state 1", "state 4", "state 3"}));
}

TEST_F(MpvPlayerTest, FilesThatCannotBePlayedRaiseErrorOnceAndAreTriedAgain) {
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
    RunUntil([&] { return recorder_.Count("error") > 0; });
    EXPECT_EQ(recorder_.events, (std::vector<std::string>{"open", "open", "error"})) << c.name;
    EXPECT_EQ(player_->playState(), kStopped) << c.name;
    EXPECT_EQ(player_->URL(), (dir_.path() / c.name).string()) << c.name;
  }
  // The music drive is back: play opens the file again.
  Song("riff.wav", 1);
  player_->play();
  EXPECT_TRUE(RunUntil([&] { return recorder_.Count("state 3") == 1; }));
  EXPECT_EQ(recorder_.Count("error"), 1);
}

// The first file is replaced before it opens: none of its events is ever delivered.
TEST_F(MpvPlayerTest, PositionsGoToTheNearestEndAndAnEndedSongStartsOver) {
  player_->SetURL((dir_.path() / "gone.wav").string());
  player_->SetURL(Song("seek.wav", 3));
  player_->play();  // before it is open: it starts once it is
  ASSERT_TRUE(RunUntil([&] { return Position() >= 0.5; }));
  EXPECT_EQ(recorder_.Count("open"), 2);
  // Ten seconds back from half a second in (paused, so that the position holds still): the
  // song goes to its beginning, not to ten seconds before its end.
  player_->pause();
  player_->SetCurrentPosition(Position() - 10);
  EXPECT_TRUE(RunUntil([&] { return Position() == 0; }));
  player_->play();
  player_->SetCurrentPosition(60);
  ASSERT_TRUE(RunUntil([&] { return recorder_.Count("state 8") == 1; }));
  EXPECT_EQ(player_->playState(), kMediaEnded);
  EXPECT_DOUBLE_EQ(Position(), player_->duration());
  // Played again, it plays from its beginning to its end.
  player_->play();
  EXPECT_TRUE(RunFor(*loop_, 30000, [&] { return recorder_.Count("state 8") == 2; }));
  EXPECT_EQ(recorder_.Count("error"), 0);
}

TEST_F(MpvPlayerTest, SongsPlayAtHalfVolume) {
  // mpv's "pcm" output writes what it plays to audiodump.wav in the current folder.
  const std::filesystem::path folder = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  player_ = Player("pcm");
  player_->SetURL(Song("tone.wav", 0.5));
  player_->play();
  EXPECT_TRUE(RunUntil([&] { return player_->playState() == kMediaEnded; }));
  player_.reset();  // closes the output file
  std::filesystem::current_path(folder);

  const std::string bytes = jubo_test::ReadFile(dir_.path() / "audiodump.wav");
  const size_t data = bytes.find("data");
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

// Not a song that cannot be played: the file stays, and play tries the output again.
TEST_F(MpvPlayerTest, AnAudioOutputThatCannotOpenIsReportedAsSuch) {
  std::string error;
  EXPECT_EQ(MpvPlayer::Create(*loop_, "no-such-output", &error), nullptr);
  EXPECT_NE(error.find("no-such-output"), std::string::npos) << error;

  // ALSA with an empty configuration has no device at all, on any machine.
  dir_.Write("asound.conf", "");
  setenv("ALSA_CONFIG_PATH", (dir_.path() / "asound.conf").c_str(), 1);
  player_ = Player("alsa");
  const std::string song = Song("song.wav", 1);
  const std::string kFailed = "no output alsa: audio output initialization failed";
  player_->SetURL(song);
  player_->play();
  EXPECT_TRUE(RunUntil([&] { return recorder_.Count(kFailed) == 1; }));
  player_->play();
  EXPECT_TRUE(RunUntil([&] { return recorder_.Count(kFailed) == 2; }));
  unsetenv("ALSA_CONFIG_PATH");
  EXPECT_EQ(recorder_.Count("error"), 0);
  EXPECT_EQ(player_->URL(), song);
  EXPECT_EQ(player_->playState(), kStopped);
}

// Pictures of the song while the visualisation shows and none while hidden; switching either
// way keeps the song where it is, playing or paused, and the graph holds for the next file.
TEST_F(MpvPlayerTest, TheVisualisationShowsTheSongWithoutDisturbingIt) {
  const int width = player_->PictureWidth(), height = player_->PictureHeight();
  auto pictures_come = [&](int64_t pictures) {
    const int64_t made = player_->PicturesMade();
    return RunUntil([&] { return player_->PicturesMade() >= made + pictures; });
  };
  player_->SetURL(Song("song.wav", 30));
  player_->play();
  ASSERT_TRUE(RunUntil([&] { return Position() >= 0.3; }));
  EXPECT_EQ(player_->PicturesMade(), 0) << "hidden";
  for (bool visible : {true, false, true}) {
    const double before = Position();
    player_->SetVisualization(visible);
    EXPECT_TRUE(RunUntil([&] { return Position() >= before + 0.3; })) << visible;
    EXPECT_EQ(player_->playState(), kPlaying) << visible;
  }
  ASSERT_TRUE(pictures_come(3));
  std::vector<uint8_t> pixels(4 * width * height);
  ASSERT_TRUE(player_->DrawPicture(width, height, 4 * width, pixels.data()));
  EXPECT_GT(std::count_if(pixels.begin(), pixels.end(), [](uint8_t byte) { return byte > 64; }),
            1000)
      << "a tone's bar";

  player_->pause();
  const double paused_at = Position();
  player_->SetVisualization(false);
  player_->SetVisualization(true);
  ASSERT_TRUE(pictures_come(1)) << "the picture where it paused";
  EXPECT_NEAR(Position(), paused_at, 0.05);
  EXPECT_EQ(player_->playState(), kPaused);

  player_->SetURL((dir_.path() / "missing.wav").string());
  EXPECT_TRUE(RunUntil([&] { return recorder_.Count("error") == 1; }));
  player_->SetURL(Song("next.wav", 30));
  player_->play();
  EXPECT_TRUE(pictures_come(3)) << "the next song";
  player_->SetVisualization(false);
  const double hidden_at = Position();
  ASSERT_TRUE(RunUntil([&] { return Position() >= hidden_at + 0.3; }));
  const int64_t made = player_->PicturesMade();
  ASSERT_TRUE(RunUntil([&] { return Position() >= hidden_at + 0.8; }));
  EXPECT_EQ(player_->PicturesMade(), made) << "hidden again";
}

// The engine over the real player: a playlist of real files plays through, song to song without
// the engine loading them, and rests stopped on its first song.
TEST(EngineOnMpvTest, AThreeSongPlaylistPlaysThroughAndRestsStoppedOnTheFirst) {
  jubo_test::TempDir dir;
  std::unique_ptr<SdlPlatform> loop = OpenLoop();
  std::string error;
  std::unique_ptr<MpvPlayer> player = MpvPlayer::Create(*loop, "null", &error);
  ASSERT_NE(player, nullptr) << error;
  app::Jubo jubo;
  jubo.loop = loop.get();
  jubo.measure = loop.get();  // the status panel fits the song line
  jubo.player = player.get();
  playback::PlayerWindow window(jubo);
  Recorder recorder;  // in front of the window
  recorder.next = &window;
  player->SetListener(&recorder);

  auto file = [&](const std::string& title) { return (dir.path() / (title + ".wav")).string(); };
  const std::pair<std::string, double> kSongs[] = {{"First", 3}, {"Second", 1}, {"Third", 1}};
  for (const auto& [title, seconds] : kSongs) {
    EXPECT_TRUE(bench::WriteToneWav(file(title), seconds));
    playback::AppendSong(jubo, title + " by Artist", file(title));
  }
  playback::StartIfIdle(jubo);
  // The player moves into the second and third songs by itself; the third ends.
  ASSERT_TRUE(RunFor(*loop, 30000, [&] {
    return recorder.Count("next") == 2 && recorder.Count("state 8") == 1 &&
           player->playState() == kStopped;
  })) << testing::PrintToString(recorder.events);
  EXPECT_EQ(jubo.playlist.CurrentSong, 0);
  EXPECT_EQ(player->URL(), file("First"));
}

// The frequency (zero crossings) of 48 kHz 16-bit stereo's left channel, and how long it sounds.
std::pair<double, double> ToneIn(const std::filesystem::path& raw) {
  const std::vector<int16_t> samples = bench::ReadSamples(raw);
  size_t first = samples.size(), last = 0, crossings = 0;
  for (size_t i = 0; i + 2 < samples.size(); i += 2) {
    if (std::abs(samples[i]) > 100) first = std::min(first, i), last = i;
    crossings += i > first && (samples[i] < 0) != (samples[i + 2] < 0);
  }
  const double seconds = first < last ? static_cast<double>(last - first) / 2 / 48000 : 0;
  return {static_cast<double>(crossings) / 2 / seconds, seconds};
}

TEST_F(MpvPlayerTest, ASnapcastServerTakesTheToneOnlyWhileItReadsItsPipe) {
  const std::string song = Song("tone.wav", 3), port = std::to_string(jubo_test::FreePort());
  const std::filesystem::path dir = dir_.path(), fifo = dir / "fifo", raw = dir / "client.raw";
  std::ofstream(dir / "snap.conf")
      << "[server]\ndatadir = " << dir.string() << "\n[stream]\nsource = pipe://" << fifo.string()
      << "?name=Jubo&sampleformat=48000:16:2&mode=create\n"
      << "bind_to_address = 127.0.0.1\nport = " << port
      << "\n[tcp]\nenabled = false\n[http]\nenabled = false\n";
  player_ = Player("snapcast:" + fifo.string());
  // The pipe without its server: refused at once with the reason, nothing waiting on the pipe.
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  player_->SetURL(song);
  EXPECT_TRUE(RunUntil([&] {
    return recorder_.Count("no output snapcast:" + fifo.string() + ": no Snapcast server reads " +
                           fifo.string()) == 1;
  }));
  const bench::Peer server(dir, "snapserver", {"-c", (dir / "snap.conf").string()});
  const bench::Peer client(dir, "snapclient",
                           {"-h", "127.0.0.1", "-p", port, "--player",
                            "file:filename=" + raw.string(), "--logsink", "null"});
  // Played once the client is connected (its file appears) to hear the tone from its start, and
  // again while the server, a moment behind, has not opened the pipe yet.
  ASSERT_TRUE(RunFor(*loop_, 60000, [&] {
    if (player_->playState() == kStopped && std::filesystem::exists(raw)) player_->play();
    return recorder_.Count("state 8") == 1;
  }));
  player_.reset();
  std::pair<double, double> tone;  // the client plays a second or so behind the server
  EXPECT_TRUE(RunFor(*loop_, 20000, [&] { return (tone = ToneIn(raw)).second > 2.5; }))
      << tone.second << " s of tone";
  EXPECT_NEAR(tone.first, 440, 5);
}

// One tone cut into WAV and FLAC files at odd sample positions plays, through the engine and
// on a real-time sound server, as the tone itself, from the last file round to the first with
// repeat on: not one run of silence, and no step between two samples above the tone's own.
TEST(EngineOnMpvTest, ATonesConsecutiveFilesPlayAsOneToneAcrossTheWrap) {
  jubo_test::TempDir dir;
  std::string error;
  const std::unique_ptr<bench::PulseRecording> room =
      bench::PulseRecording::Start(dir.path(), &error);
  ASSERT_NE(room, nullptr) << error;
  std::unique_ptr<SdlPlatform> loop = OpenLoop();
  std::unique_ptr<MpvPlayer> player = MpvPlayer::Create(*loop, "pulse", &error);
  ASSERT_NE(player, nullptr) << error;
  app::Jubo jubo;
  jubo.loop = loop.get();
  jubo.player = player.get();
  jubo.settings.PlaylistLoop = 1;
  playback::PlayerWindow window(jubo);
  const int64_t kCuts[] = {0, 20011, 43217, 66150};
  for (int i = 0; i < 3; ++i) {
    const bool flac = i == 1;
    const std::string file =
        (dir.path() / ("part" + std::to_string(i) + (flac ? ".flac" : ".wav"))).string();
    ASSERT_TRUE(bench::WriteToneSlice(file, kCuts[i], kCuts[i + 1] - kCuts[i],
                                      flac ? bench::ToneFormat::kFlac : bench::ToneFormat::kWav));
    playback::AppendSong(jubo, "Part by Tone", file);
  }
  playback::StartIfIdle(jubo);
  // Plays on until the recording holds the whole tone and a fifth of a second from its sound.
  const int64_t enough = kCuts[3] + bench::kToneRate / 5;
  // Read a tenth of a second apart: reading it all at every turn of the loop would starve the
  // loop that queues the songs.
  int64_t looked_at = 0;
  bool heard = false;
  ASSERT_TRUE(RunFor(*loop, 30000, [&] {
    if (!heard && room->Recorded() >= looked_at + bench::kToneRate / 10) {
      looked_at = room->Recorded();
      heard = bench::FindBreaks(room->Samples()).sounded >= enough;
    }
    return heard;
  }));
  playback::StopSong(jubo);
  // Where the tone falls silent or jumps where one file gives way to the next, in samples from
  // its first sound (about the tone's 8th): nowhere. Elsewhere a break is a busy machine falling
  // behind the sound server, whatever the player does.
  std::vector<int64_t> at_changes;
  for (const int64_t at : bench::FindBreaks(room->Samples()).at) {
    const auto near = [in_tone = (at + 8) % kCuts[3]](int64_t cut) {
      return std::abs(in_tone - cut) < 1000;
    };
    if (std::any_of(std::begin(kCuts), std::end(kCuts), near)) at_changes.push_back(at);
  }
  EXPECT_EQ(at_changes, std::vector<int64_t>());
}

}  // namespace
}  // namespace platform

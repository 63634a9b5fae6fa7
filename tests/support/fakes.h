// Honest fakes of the display, text measurement, the wave player, the media player and the
// random source.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "ground/event_loop.h"
#include "ground/random.h"
#include "playback/media_player.h"
#include "screen/display.h"
#include "screen/text.h"
#include "screen/text_measure.h"
#include "sound/wave_player.h"

namespace jubo_test {

class FakeDisplay : public screen::Display {
 public:
  FakeDisplay(int width = 800, int height = 600) : width_(width), height_(height) {}
  int WidthPixels() const override { return width_; }
  int HeightPixels() const override { return height_; }
  void Show(const screen::Form* form) override {
    Hide(form);
    shown.push_back(form);
    ever_shown.push_back(form);
  }
  void Hide(const screen::Form* form) override {
    shown.erase(std::remove(shown.begin(), shown.end(), form), shown.end());
  }
  void Repaint() override {
    ++repaints;
    if (on_repaint) on_repaint();
  }
  // Nothing shows here but on a repaint.
  int64_t FramesPresented() const override { return repaints; }
  void SetPointerVisible(bool visible) override { pointer_visible = visible; }
  void SetSystemSaver(bool enabled) override { system_saver.push_back(enabled); }

  const screen::Form* top() const { return shown.empty() ? nullptr : shown.back(); }

  std::vector<const screen::Form*> shown;       // bottom to top
  std::vector<const screen::Form*> ever_shown;  // every Show, in order (not to be followed)
  int repaints = 0;
  std::function<void()> on_repaint;  // lets a test look at what a repaint would draw
  bool pointer_visible = true;
  std::vector<bool> system_saver;  // every switch, in order

 private:
  int width_, height_;
};

// Every character is `points` x 10 twips wide, bold or not: easy to reason about in tests.
class FakeTextMeasure : public screen::TextMeasure {
 public:
  int WidthTwips(std::string_view text, double points, bool) const override {
    return static_cast<int>(static_cast<double>(screen::Len(text)) * points * 10);
  }
};

class FakeWavePlayer : public sound::WavePlayer {
 public:
  bool Play(const std::string& path, std::string* error) override {
    if (unplayable.count(path) != 0) {
      *error = "not a sound file";
      return false;
    }
    played.push_back(path);
    return true;
  }
  std::vector<std::string> played;
  std::set<std::string> unplayable;
};

// A media player that plays by the clock of the loop it is given: a file opens `open_ms` after it
// is set (or fails to, when it is in `unplayable`), a song plays at its speed (four times while
// fast-forwarding) and ends by itself at its length, unless no audio output opens
// (failing_output), or moves at once into the next file set. Its events are posted to the loop,
// as the real player's are, and dropped once another file is set.
class FakeMediaPlayer : public playback::MediaPlayer {
 public:
  explicit FakeMediaPlayer(ground::EventLoop& loop) : loop_(loop) {}
  ~FakeMediaPlayer() override;

  const std::string& URL() const override { return url_; }
  void SetURL(const std::string& url) override;
  const std::string& NextURL() const override { return next_url_; }
  void SetNextURL(const std::string& url) override { next_url_ = url; }
  int playState() const override { return state; }
  void play() override;
  void pause() override;
  void stop() override;
  void fastForward() override;
  double currentPosition() const override;
  void SetCurrentPosition(double seconds) override;
  double duration() const override { return loaded_ ? length_ : 0; }
  void SetVisualization(bool visible) override { visualization = visible; }
  void SetVolume(int percent, bool muted) override { volume = {percent, muted}; }
  void SetReplayGain(playback::ReplayGain) override {}  // nothing sounds here
  void SetListener(playback::MediaPlayerEvents* listener) override { listener_ = listener; }
  std::vector<AudioDevice> AudioDevices() const override { return devices; }
  void SetAudioDevice(const std::string& name) override {
    if (fixed_output.empty()) device = name;
  }
  const std::string& FixedAudioOutput() const override { return fixed_output; }

  // The songs: files that cannot be played, their length in seconds, and how long opening
  // takes.
  std::set<std::string> unplayable;
  double default_length = 180;
  int open_ms = 4;
  // While set, no audio output opens: a song that starts ends at once, reporting this output.
  std::string failing_output;

  std::vector<AudioDevice> devices = {{"auto", "Autoselect device"}};  // the system's
  std::string device = "auto", fixed_output;  // chosen, and an output named from outside

  // Every file set or moved into, in order.
  std::vector<std::string> loads;

  int state = playback::kStopped;  // a test may set it to look at a state without events
  bool visualization = false;      // the player window shows

  std::pair<int, bool> volume{50, false};  // the level and mute, as last set

 private:
  void Opened();
  void Run(int new_state);  // kPlaying or kFastForward, from the current position
  void ScheduleEnd();       // the song ends by itself at its length
  void End();
  // Stops the song at `position` in `new_state`, told when the state changes.
  void Halt(int new_state, double position);
  void StopTimers();
  void Raise(std::function<void(playback::MediaPlayerEvents&)> event);

  ground::EventLoop& loop_;
  playback::MediaPlayerEvents* listener_ = nullptr;
  std::string url_, next_url_;
  bool loaded_ = false;
  int pending_ = playback::kReady;  // the state asked for while the file opens
  double length_ = 0;
  double position_ = 0;  // at mark_ms_
  int64_t mark_ms_ = 0;
  double speed_ = 0;  // 0 while not running
  bool output_open_ = false;
  int open_timer_ = 0, end_timer_ = 0;
  uint64_t generation_ = 0;
  std::shared_ptr<FakeMediaPlayer*> self_ = std::make_shared<FakeMediaPlayer*>(this);
};

// A seeded generator: the same draws on every run. `next`, when filled, is drawn first.
class FakeRandom : public ground::Random {
 public:
  void Randomize() override { ++randomized; }
  double Rnd() override {
    if (next.empty()) return std::uniform_real_distribution<double>(0.0, 1.0)(generator_);
    double value = next.front();
    next.pop_front();
    return value;
  }
  std::deque<double> next;
  int randomized = 0;  // Randomize calls

 private:
  std::mt19937_64 generator_{20240601};
};

}  // namespace jubo_test

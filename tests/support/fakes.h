// Honest fakes of the display, text measurement, the wave player and the media player.
#pragma once

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/display.h"
#include "playback/media_player.h"
#include "screen/text.h"
#include "screen/text_measure.h"
#include "sound/wave_player.h"

namespace jubo_test {

class FakeDisplay : public app::Display {
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

class FakeMediaPlayer : public playback::MediaPlayer {
 public:
  int playState() const override { return state; }
  int state = playback::kStopped;
};

}  // namespace jubo_test

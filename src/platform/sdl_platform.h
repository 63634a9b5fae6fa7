// The program's window on SDL: one window titled "Jubo Music Player", full screen on the
// desktop's resolution (or JUBO_WINDOW=WIDTHxHEIGHT, a window of that size), that draws the
// shown forms as layers, runs the event loop with its timers and posted tasks, and measures
// text in the font it draws with. It runs the same on SDL's offscreen video driver, with no
// display at all (SDL_VIDEODRIVER=offscreen).
//
// Drawing: every shown form, bottom to top; full-screen forms fill the window, the others
// (dialogs) are centred over it. After each batch of events the loop compares the shown forms,
// control by control, with the picture on the screen and draws a frame only when they differ,
// so program code only changes its forms and never asks for a redraw, and a timer that
// changes nothing visible costs no frame. A shown Video control differs with each new picture
// of the video source, so each is drawn as it comes. Between batches the loop sleeps until the next
// timer falls due or an event (a posted task included) arrives.
//
// Keys: Return and keypad Enter 13, Escape 27, Page Up/Down 33/34, the arrows 37-40, letters
// 65-90; the media keys as the player hotkeys (see key_map.h); other keys are not delivered.
// The quit handler hears the window being closed, SIGTERM and SIGINT.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "ground/event_loop.h"
#include "platform/video_source.h"
#include "screen/display.h"
#include "screen/text_measure.h"

namespace platform {

class SdlPlatform final : public ground::EventLoop,
                          public screen::Display,
                          public screen::TextMeasure {
 public:
  // Opens the window. Returns nullptr, with a reason in *error, when SDL, the font or the
  // window cannot be had, or when JUBO_WINDOW is set but is no WIDTHxHEIGHT. One SdlPlatform
  // at a time: it starts SDL's video and stops it again when destroyed.
  static std::unique_ptr<SdlPlatform> Create(std::string* error);
  ~SdlPlatform() override;
  SdlPlatform(const SdlPlatform&) = delete;
  SdlPlatform& operator=(const SdlPlatform&) = delete;

  // ground::EventLoop. Timers run on the loop's thread from RunUntil, in the order they fall
  // due, each at most once per batch of events; a timer whose tick is still running (it
  // opened a modal loop) skips its ticks until it returns. Post may be called from any thread
  // until the platform is destroyed.
  void RunUntil(const KeyHandler& on_key, const std::function<bool()>& done) override;
  int StartTimer(int interval_ms, std::function<void()> tick) override;
  void StopTimer(int id) override;
  void Post(std::function<void()> task) override;
  // A key from elsewhere (the remote control): reaches the innermost loop's handler with shift
  // 0, in its place among the posted tasks. Safe from any thread.
  void PostKey(int16_t key_code) override;
  int64_t NowMs() const override;
  void SetClickHandler(std::function<void()> on_click) override;
  void SetQuitHandler(std::function<void()> on_quit) override;

  // screen::Display. The size is the window's drawable area. Repaint draws only when the screen
  // does not show the forms as they are already.
  int WidthPixels() const override;
  int HeightPixels() const override;
  void Show(const screen::Form* form) override;
  void Hide(const screen::Form* form) override;
  void Repaint() override;
  int64_t FramesPresented() const override;
  void SetPointerVisible(bool visible) override;
  void SetSystemSaver(bool enabled) override;
  void SetFrameListener(std::function<void()> listener) override;

  // Where shown Video controls get their pictures; nullptr for none, when they show black. The
  // platform does not own the source: it must be set to another (or nullptr) before it goes.
  void SetVideoSource(VideoSource* source);

  // screen::TextMeasure: the width TTF_SizeUTF8 gives in the font labels are drawn with.
  int WidthTwips(std::string_view text, double points, bool bold) const override;

  // Draws the shown forms and writes them to a PNG file. Returns false, with a reason in
  // *error, when the picture cannot be read back or written.
  bool SaveScreenshot(const std::string& png_path, std::string* error);

  // Queues a key press or a mouse click as if the user made it; it travels SDL's event queue
  // to the innermost running loop like a real one. `sdl_keycode` as SdlKeycodeNamed gives.
  void PushKeyDown(int32_t sdl_keycode, bool shift = false);
  void PushClick();

  // The folder pictures are read from (see asset_folder.h).
  const std::string& asset_folder() const;

 private:
  class Impl;
  explicit SdlPlatform(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

// Reads JUBO_WINDOW's "WIDTHxHEIGHT" (each 1 to 16384, digits only). False when malformed.
bool ParseWindowSize(std::string_view text, int* width, int* height);

}  // namespace platform

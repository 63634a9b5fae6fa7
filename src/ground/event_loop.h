// The program's one event loop, seen from program code. Everything runs on the loop's thread:
// key presses, timer ticks, player events and tasks posted by other threads (the remote
// listener, the media player). Modal dialogs run a nested loop on the same events, so timers
// and player events keep firing while a question is open.
#pragma once

#include <cstdint>
#include <functional>

namespace ground {

class EventLoop {
 public:
  using KeyHandler = std::function<void(int16_t key_code, int16_t shift)>;

  virtual ~EventLoop() = default;

  // Delivers events until `done()` holds (checked after each one): keys to `on_key`, timer
  // ticks and posted tasks to their functions. Calls nest; the innermost loop gets the keys.
  virtual void RunUntil(const KeyHandler& on_key, const std::function<bool()>& done) = 0;

  // Calls `tick` every `interval_ms` until stopped; returns the timer's id.
  virtual int StartTimer(int interval_ms, std::function<void()> tick) = 0;
  virtual void StopTimer(int id) = 0;

  // Runs `task` on the loop's thread soon; safe to call from any thread.
  virtual void Post(std::function<void()> task) = 0;
  // Delivers `key_code` to the innermost running loop exactly as if it were pressed, after
  // whatever was posted before it; safe to call from any thread (the remote control).
  virtual void PostKey(int16_t key_code) = 0;

  // Milliseconds on a steady clock.
  virtual int64_t NowMs() const = 0;

  // What a click on the main screen's background does; what a request to end the program
  // (window closed, SIGTERM, SIGINT) does.
  virtual void SetClickHandler(std::function<void()> on_click) = 0;
  virtual void SetQuitHandler(std::function<void()> on_quit) = 0;
};

}  // namespace ground

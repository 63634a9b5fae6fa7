// A real event loop without a window, for running the program's parts on real libmpv: timers
// on the steady clock, tasks posted from any thread, keys posted to the innermost loop. It
// waits on a condition variable, never spins.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

#include "app/event_loop.h"

namespace jubo_test {

class WallClockLoop : public app::EventLoop {
 public:
  static constexpr int kPollMs = 5;

  void RunUntil(const KeyHandler& on_key, const std::function<bool()>& done) override;
  // Runs until `done()` holds or `ms` have passed, looking at `done()` at least every
  // kPollMs; returns done().
  bool RunFor(int64_t ms, const std::function<bool()>& done);

  int StartTimer(int interval_ms, std::function<void()> tick) override;
  void StopTimer(int id) override;
  void Post(std::function<void()> task) override;
  void PostKey(int16_t key_code) override;
  int64_t NowMs() const override;
  void SetClickHandler(std::function<void()>) override {}
  void SetQuitHandler(std::function<void()>) override {}

 private:
  struct Timer {
    int interval;
    int64_t due;
    std::function<void()> tick;
  };

  // Fires each timer that is due once; returns true when one fired.
  bool RunTimers(const std::function<bool()>& done);
  // Runs the tasks posted before the call.
  bool RunTasks(const std::function<bool()>& done);
  void WaitUntil(int64_t deadline_ms);

  std::map<int, Timer> timers_;
  int next_timer_ = 1;
  std::vector<const KeyHandler*> key_handlers_;
  std::mutex mutex_;  // guards tasks_
  std::condition_variable posted_;
  std::deque<std::function<void()>> tasks_;
};

}  // namespace jubo_test

// The event loop's timers: repeating ticks kept in due order on a millisecond clock the
// caller supplies, so the loop decides when to run them and tests can drive them by hand.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

namespace platform {

class TimerQueue {
 public:
  // Schedules `tick` every `interval_ms` (at least 1) from `now_ms`; returns the timer's id,
  // never 0 and never reused.
  int Start(int64_t now_ms, int interval_ms, std::function<void()> tick);

  // Stops the timer; unknown ids are ignored. Safe inside any tick, the timer's own included.
  void Stop(int id);

  // Milliseconds from `now_ms` until the next tick is due: 0 when one is due already, -1 when
  // no timer can fire.
  int64_t MsUntilNext(int64_t now_ms) const;

  // Runs the tick of the timer that fell due first (the earliest started on a tie), if any
  // is due at `now_ms`, and returns whether it ran one. The timer's next tick is one interval
  // later; ticks missed while the loop was busy are dropped, not run in a burst. A timer whose
  // tick is still running (a tick that opened a modal loop) does not fire again until it
  // returns.
  bool RunOneDue(int64_t now_ms);

  bool empty() const { return timers_.empty(); }

 private:
  struct Timer {
    int64_t due_ms;
    int interval_ms;
    bool running = false;
    // Shared so that a tick that stops its own timer keeps running to its end.
    std::shared_ptr<std::function<void()>> tick;
  };
  // Ids grow with every start, so map order is start order.
  std::map<int, Timer> timers_;
  int next_id_ = 1;
};

}  // namespace platform

#include "platform/timer_queue.h"

#include <algorithm>
#include <utility>

namespace platform {

int TimerQueue::Start(int64_t now_ms, int interval_ms, std::function<void()> tick) {
  const int interval = std::max(interval_ms, 1);
  const int id = next_id_++;
  timers_.emplace(id, Timer{now_ms + interval, interval, false,
                            std::make_shared<std::function<void()>>(std::move(tick))});
  return id;
}

void TimerQueue::Stop(int id) { timers_.erase(id); }

int64_t TimerQueue::MsUntilNext(int64_t now_ms) const {
  int64_t wait = -1;
  for (const auto& [id, timer] : timers_) {
    if (timer.running) continue;
    const int64_t until = std::max<int64_t>(timer.due_ms - now_ms, 0);
    if (wait < 0 || until < wait) wait = until;
  }
  return wait;
}

bool TimerQueue::RunOneDue(int64_t now_ms) {
  auto first = timers_.end();
  for (auto it = timers_.begin(); it != timers_.end(); ++it) {
    const Timer& timer = it->second;
    if (timer.running || timer.due_ms > now_ms) continue;
    if (first == timers_.end() || timer.due_ms < first->second.due_ms) first = it;
  }
  if (first == timers_.end()) return false;

  const int id = first->first;
  Timer& timer = first->second;
  timer.due_ms += timer.interval_ms;
  if (timer.due_ms <= now_ms) timer.due_ms = now_ms + timer.interval_ms;
  timer.running = true;
  const std::shared_ptr<std::function<void()>> tick = timer.tick;
  // The tick may start and stop timers, so `timer` is not to be touched after it.
  (*tick)();
  if (auto again = timers_.find(id); again != timers_.end()) again->second.running = false;
  return true;
}

}  // namespace platform

#include "platform_mpv/wall_clock_loop.h"

#include <algorithm>
#include <chrono>
#include <limits>

namespace jubo_test {

void WallClockLoop::RunUntil(const KeyHandler& on_key, const std::function<bool()>& done) {
  key_handlers_.push_back(&on_key);
  while (!done()) {
    bool busy = RunTimers(done);
    if (!done()) busy = RunTasks(done) || busy;
    if (busy || done()) continue;
    int64_t next_due = std::numeric_limits<int64_t>::max();
    for (const auto& [id, timer] : timers_) next_due = std::min(next_due, timer.due);
    WaitUntil(next_due);
  }
  key_handlers_.pop_back();
}

bool WallClockLoop::RunFor(int64_t ms, const std::function<bool()>& done) {
  const int64_t deadline = NowMs() + ms;
  // `done` may turn on a position that moves without any event: look every few ms.
  int timer = StartTimer(kPollMs, [] {});
  RunUntil([](int16_t, int16_t) {}, [&] { return done() || NowMs() >= deadline; });
  StopTimer(timer);
  return done();
}

bool WallClockLoop::RunTimers(const std::function<bool()>& done) {
  bool fired = false;
  const int64_t now = NowMs();
  std::vector<int> due;
  for (const auto& [id, timer] : timers_) {
    if (timer.due <= now) due.push_back(id);
  }
  for (int id : due) {
    auto it = timers_.find(id);  // an earlier tick may have stopped it
    if (it == timers_.end() || done()) continue;
    it->second.due = now + it->second.interval;
    std::function<void()> tick = it->second.tick;  // the tick may stop its own timer
    tick();
    fired = true;
  }
  return fired;
}

bool WallClockLoop::RunTasks(const std::function<bool()>& done) {
  std::deque<std::function<void()>> batch;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    batch.swap(tasks_);
  }
  bool ran = !batch.empty();
  while (!batch.empty() && !done()) {
    std::function<void()> task = std::move(batch.front());
    batch.pop_front();
    task();
  }
  if (!batch.empty()) {
    // The loop is ending: what is left waits for the next loop, in order.
    std::lock_guard<std::mutex> lock(mutex_);
    tasks_.insert(tasks_.begin(), std::make_move_iterator(batch.begin()),
                  std::make_move_iterator(batch.end()));
  }
  return ran;
}

void WallClockLoop::WaitUntil(int64_t deadline_ms) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!tasks_.empty()) return;
  auto deadline = std::chrono::steady_clock::time_point(std::chrono::milliseconds(deadline_ms));
  if (deadline_ms == std::numeric_limits<int64_t>::max()) {
    posted_.wait(lock, [this] { return !tasks_.empty(); });
  } else {
    posted_.wait_until(lock, deadline, [this] { return !tasks_.empty(); });
  }
}

int WallClockLoop::StartTimer(int interval_ms, std::function<void()> tick) {
  timers_[next_timer_] = {interval_ms, NowMs() + interval_ms, std::move(tick)};
  return next_timer_++;
}

void WallClockLoop::StopTimer(int id) { timers_.erase(id); }

void WallClockLoop::Post(std::function<void()> task) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  posted_.notify_one();
}

void WallClockLoop::PostKey(int16_t key_code) {
  Post([this, key_code] {
    if (!key_handlers_.empty()) (*key_handlers_.back())(key_code, 0);
  });
}

int64_t WallClockLoop::NowMs() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace jubo_test

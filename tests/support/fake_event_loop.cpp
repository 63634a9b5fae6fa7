#include "support/fake_event_loop.h"

#include <gtest/gtest.h>

namespace jubo_test {

std::string FakeEventLoop::StepsLeft() const {
  static const char* const kWords[] = {"key ", "wait ", "click", "quit", "check"};  // by kind
  std::string left;
  for (const Step& step : steps_) {
    if (!left.empty()) left += ", ";
    left += kWords[step.kind];
    if (step.kind == Step::kKey) left += std::to_string(step.key);
    if (step.kind == Step::kWait) left += std::to_string(step.ms) + " ms";
  }
  return left;
}

void FakeEventLoop::RunUntil(const KeyHandler& on_key, const std::function<bool()>& done) {
  ++depth_;
  for (;;) {
    RunPosted(on_key, done);
    if (done() || ran_out_) break;
    if (steps_.empty()) {
      ran_out_ = true;
      if (!end_quietly_) {
        ADD_FAILURE() << "the script ran out while a loop " << depth_ << " deep was waiting";
      }
      break;
    }
    Step step = std::move(steps_.front());
    steps_.pop_front();
    switch (step.kind) {
      case Step::kKey:
        on_key(step.key, 0);
        break;
      case Step::kWait:
        if (int64_t left = Advance(step.ms, on_key, done); left > 0) {
          steps_.push_front({Step::kWait, 0, left});
        }
        break;
      case Step::kClick:
        if (on_click_) on_click_();
        break;
      case Step::kQuit:
        if (on_quit_) on_quit_();
        break;
      case Step::kCheck:
        step.check();
        break;
    }
  }
  --depth_;
}

int64_t FakeEventLoop::Advance(int64_t ms, const KeyHandler& on_key,
                               const std::function<bool()>& done) {
  const int64_t target = now_ + ms;
  for (;;) {
    auto next = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
      if (next == timers_.end() || it->second.due < next->second.due) next = it;
    }
    if (next == timers_.end() || next->second.due > target) break;
    now_ = next->second.due;
    next->second.due += next->second.interval;
    std::function<void()> tick = next->second.tick;  // the tick may stop its own timer
    tick();
    RunPosted(on_key, done);
    if (done()) return target - now_;
  }
  now_ = target;
  return 0;
}

int FakeEventLoop::StartTimer(int interval_ms, std::function<void()> tick) {
  timers_[next_timer_] = {interval_ms, now_ + interval_ms, std::move(tick)};
  return next_timer_++;
}

void FakeEventLoop::StopTimer(int id) { timers_.erase(id); }

void FakeEventLoop::Post(std::function<void()> task) {
  std::lock_guard<std::mutex> lock(posted_mutex_);
  posted_.push_back([task = std::move(task)](const KeyHandler&) { task(); });
}

void FakeEventLoop::PostKey(int16_t key_code) {
  std::lock_guard<std::mutex> lock(posted_mutex_);
  posted_.push_back([key_code](const KeyHandler& on_key) { on_key(key_code, 0); });
}

void FakeEventLoop::RunPosted(const KeyHandler& on_key, const std::function<bool()>& done) {
  // One at a time: a posted key may open a nested loop, which must find the rest still queued,
  // or end this loop, whose caller then takes the rest.
  while (!done()) {
    std::function<void(const KeyHandler&)> next;
    {
      std::lock_guard<std::mutex> lock(posted_mutex_);
      if (posted_.empty()) return;
      next = std::move(posted_.front());
      posted_.erase(posted_.begin());
    }
    next(on_key);
  }
}

}  // namespace jubo_test

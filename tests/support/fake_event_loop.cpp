#include "support/fake_event_loop.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace jubo_test {

std::string FakeEventLoop::StepsLeft() const {
  std::string left;
  for (const Step& step : steps_) left += (left.empty() ? "" : ", ") + step.word;
  return left;
}

void FakeEventLoop::RunUntil(const KeyHandler& on_key, const std::function<bool()>& done) {
  ++depth_;
  for (RunPosted(on_key, done); !done() && !ran_out_; RunPosted(on_key, done)) {
    if (steps_.empty()) {
      ran_out_ = true;
      if (!end_quietly_) {
        ADD_FAILURE() << "the script ran out while a loop " << depth_ << " deep was waiting";
      }
      break;
    }
    Step step = std::move(steps_.front());
    steps_.pop_front();
    if (step.act) {
      step.act(on_key);
    } else if (int64_t left = Advance(step.wait_ms, on_key, done); left > 0) {
      steps_.push_front(WaitStep(left));
    }
  }
  --depth_;
}

int64_t FakeEventLoop::Advance(int64_t ms, const KeyHandler& on_key,
                               const std::function<bool()>& done) {
  const int64_t target = now_ + ms;
  for (;;) {
    auto next = std::min_element(timers_.begin(), timers_.end(), [](const auto& a, const auto& b) {
      return a.second.due < b.second.due;
    });
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
      posted_.pop_front();
    }
    next(on_key);
  }
}

}  // namespace jubo_test

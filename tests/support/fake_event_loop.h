// A scripted event loop for tests: keys, waits (the clock advances and timers fire in due order),
// clicks, quit requests and checks, taken in order by whichever RunUntil is innermost. A script
// that runs out while a loop still waits fails the test instead of hanging, unless the test said
// that running out simply ends every loop.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "ground/event_loop.h"

namespace jubo_test {

class FakeEventLoop : public ground::EventLoop {
 public:
  // Script steps.
  FakeEventLoop& Keys(const std::vector<int16_t>& keys) {
    for (int16_t key : keys) {
      Add({"key " + std::to_string(key), [key](const KeyHandler& on_key) { on_key(key, 0); }});
    }
    return *this;
  }
  FakeEventLoop& Keys(int16_t key, int times) { return Keys(std::vector<int16_t>(times, key)); }
  FakeEventLoop& Wait(int64_t ms) { return Add(WaitStep(ms)); }
  FakeEventLoop& Click() {
    return Add({"click", [this](const KeyHandler&) { on_click_(); }});
  }
  FakeEventLoop& Quit() {
    return Add({"quit", [this](const KeyHandler&) { on_quit_(); }});
  }
  FakeEventLoop& Then(std::function<void()> check) {
    return Add({"check", [check](const KeyHandler&) { check(); }});
  }
  // When the script runs out, every loop returns quietly (for tests that end mid-program).
  void EndWhenScriptRunsOut() { end_quietly_ = true; }
  bool script_done() const { return steps_.empty(); }
  // The steps not taken yet, one word each ("key 40, check, wait 100 ms"); empty when none.
  std::string StepsLeft() const;

  void RunUntil(const KeyHandler& on_key, const std::function<bool()>& done) override;
  int StartTimer(int interval_ms, std::function<void()> tick) override;
  void StopTimer(int id) override { timers_.erase(id); }
  void Post(std::function<void()> task) override;
  void PostKey(int16_t key_code) override;
  int64_t NowMs() const override { return now_; }
  void SetClickHandler(std::function<void()> on_click) override { on_click_ = std::move(on_click); }
  void SetQuitHandler(std::function<void()> on_quit) override { on_quit_ = std::move(on_quit); }

 private:
  struct Step {
    std::string word;                            // for StepsLeft
    std::function<void(const KeyHandler&)> act;  // none for a wait
    int64_t wait_ms = 0;
  };
  struct Timer {
    int interval;
    int64_t due;
    std::function<void()> tick;
  };

  FakeEventLoop& Add(Step step) {
    steps_.push_back(std::move(step));
    return *this;
  }
  static Step WaitStep(int64_t ms) { return {"wait " + std::to_string(ms) + " ms", nullptr, ms}; }
  void RunPosted(const KeyHandler& on_key, const std::function<bool()>& done);
  // Advances the clock by up to `ms`, firing timers; stops early when `done()` holds and
  // returns the time left.
  int64_t Advance(int64_t ms, const KeyHandler& on_key, const std::function<bool()>& done);

  std::deque<Step> steps_;
  std::map<int, Timer> timers_;
  int next_timer_ = 1;
  int64_t now_ = 0;
  int depth_ = 0;
  bool end_quietly_ = false;
  bool ran_out_ = false;
  std::mutex posted_mutex_;
  // Posted tasks and keys, in the order they were posted; a key is a task that needs the
  // innermost loop's key handler.
  std::deque<std::function<void(const KeyHandler&)>> posted_;
  std::function<void()> on_click_ = [] {}, on_quit_ = [] {};
};

}  // namespace jubo_test

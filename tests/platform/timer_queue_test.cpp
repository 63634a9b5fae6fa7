#include "platform/timer_queue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace platform {
namespace {

// Runs every tick due at `now`, as the loop does once per batch.
int RunDue(TimerQueue& timers, int64_t now) {
  int ran = 0;
  while (timers.RunOneDue(now)) ++ran;
  return ran;
}

TEST(TimerQueueTest, TicksComeInDueOrder) {
  struct Case {
    std::string name;
    std::vector<int> intervals;    // one timer each, all started at 0, named a, b, c...
    std::vector<int64_t> batches;  // the loop's clock readings
    std::string expected;          // ticks in order
  };
  const Case kCases[] = {
      {"one timer repeats", {100}, {99, 100, 150, 200, 300}, "aaa"},
      {"shorter first; a tie to the earlier started", {300, 100}, {100, 200, 300}, "bbab"},
      {"late batch runs each due timer once, earliest due first", {50, 20}, {60}, "ba"},
      {"missed ticks are dropped", {10}, {95, 100, 104, 105}, "aa"},
      {"interval 0 counts as 1 ms", {0}, {1, 2, 2}, "aa"},
  };
  for (const Case& c : kCases) {
    TimerQueue timers;
    std::string ticks;
    for (size_t i = 0; i < c.intervals.size(); ++i) {
      const char name = static_cast<char>('a' + i);
      timers.Start(0, c.intervals[i], [&ticks, name] { ticks += name; });
    }
    for (int64_t now : c.batches) RunDue(timers, now);
    EXPECT_EQ(ticks, c.expected) << c.name;
  }
}

TEST(TimerQueueTest, TellsHowLongTheLoopMaySleep) {
  TimerQueue timers;
  EXPECT_EQ(timers.MsUntilNext(0), -1) << "no timer";
  const int slow = timers.Start(0, 1000, [] {});
  timers.Start(0, 250, [] {});
  EXPECT_EQ(timers.MsUntilNext(100), 150);
  EXPECT_EQ(timers.MsUntilNext(400), 0) << "overdue";
  RunDue(timers, 400);
  EXPECT_EQ(timers.MsUntilNext(400), 100) << "the short one keeps its rhythm: next at 500";
  timers.Stop(slow);
  timers.Stop(12345);  // unknown: ignored
  EXPECT_EQ(timers.MsUntilNext(1000), 0);
}

TEST(TimerQueueTest, TicksThatStopAndStartTimers) {
  TimerQueue timers;
  std::string ticks;
  int self = 0, other = 0;
  // `self` stops itself on its second tick; on its first it stops `other`, due in the same
  // batch, and starts `late`, which must not run in that batch.
  int count = 0;
  self = timers.Start(0, 10, [&] {
    ticks += 's';
    if (++count == 1) {
      timers.Stop(other);
      timers.Start(10, 5, [&] { ticks += 'l'; });
    } else {
      timers.Stop(self);
    }
  });
  other = timers.Start(0, 10, [&] { ticks += 'o'; });
  RunDue(timers, 10);
  EXPECT_EQ(ticks, "s");
  for (int64_t now : {15, 20, 30, 40}) RunDue(timers, now);
  EXPECT_EQ(ticks, "slslll") << "l at 15; s (stopping) then l at 20; l at 30 and at 40";
  EXPECT_EQ(timers.MsUntilNext(40), 5) << "only `late` is left";
}

TEST(TimerQueueTest, ATickInAModalLoopDoesNotRunItselfAgain) {
  TimerQueue timers;
  std::string ticks;
  int depth = 0;
  timers.Start(0, 10, [&] {
    ticks += 'a';
    if (++depth == 1) {
      // The tick opens a modal loop that goes on for a while.
      EXPECT_EQ(timers.MsUntilNext(10), 5) << "the running tick is no reason to wake";
      RunDue(timers, 50);
      RunDue(timers, 100);
    }
  });
  timers.Start(0, 15, [&] { ticks += 'b'; });
  RunDue(timers, 10);
  EXPECT_EQ(ticks, "abb") << "b runs inside a's modal loop; a does not";
  RunDue(timers, 100);
  EXPECT_EQ(ticks, "abba") << "a ticks again once its first tick returned";
}

}  // namespace
}  // namespace platform

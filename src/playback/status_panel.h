// The status panel at the bottom of the main screen, and the idle count the screen saver
// waits on. Timer1 ticks every second from start-up to the end.
#pragma once

namespace app {
struct Jubo;
}

namespace playback {

inline constexpr int kTimer1Interval = 1000;

// One tick: the switch line (repeat, Non-Stop Music) and the idle count.
void Timer1(app::Jubo& jubo);

}  // namespace playback

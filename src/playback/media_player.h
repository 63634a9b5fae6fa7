// The media player component, as program code sees it. Play-state codes are the component's:
// 1 Stopped, 2 Paused, 3 Playing, 4 fast-forwarding, 8 media ended, 10 Ready.
#pragma once

namespace playback {

inline constexpr int kStopped = 1;
inline constexpr int kPaused = 2;
inline constexpr int kPlaying = 3;
inline constexpr int kFastForward = 4;
inline constexpr int kMediaEnded = 8;
inline constexpr int kReady = 10;

class MediaPlayer {
 public:
  virtual ~MediaPlayer() = default;
  virtual int playState() const = 0;
};

}  // namespace playback

#include <algorithm>
#include <cmath>
#include <utility>

#include "support/fakes.h"

namespace jubo_test {

using playback::MediaPlayerEvents;

FakeMediaPlayer::~FakeMediaPlayer() {
  StopTimers();
  *self_ = nullptr;
}

void FakeMediaPlayer::SetURL(const std::string& url) {
  StopTimers();
  ++generation_;
  url_ = url;
  loads.push_back(url);
  loaded_ = false;
  pending_ = playback::kReady;
  speed_ = 0;
  state = playback::kTransitioning;
  Raise([](MediaPlayerEvents& l) { l.OpenStateChange(); });
  open_timer_ = loop_.StartTimer(open_ms, [this] {
    loop_.StopTimer(open_timer_);
    open_timer_ = 0;
    Opened();
  });
}

void FakeMediaPlayer::Opened() {
  if (url_.empty() || unplayable.count(url_) != 0) {
    state = playback::kStopped;
    Raise([](MediaPlayerEvents& l) { l.OpenStateChange(); });
    Raise([](MediaPlayerEvents& l) { l.Error(); });
    return;
  }
  loaded_ = true;
  length_ = default_length;
  position_ = 0;
  mark_ms_ = loop_.NowMs();
  Raise([](MediaPlayerEvents& l) { l.OpenStateChange(); });
  const int pending = std::exchange(pending_, playback::kReady);
  if (pending == playback::kPlaying || pending == playback::kFastForward) {
    Run(pending);
  } else {
    state = pending;
  }
}

void FakeMediaPlayer::play() {
  if (!loaded_ && state != playback::kTransitioning) {
    if (url_.empty()) return;
    SetURL(url_);
  }
  if (state == playback::kTransitioning) {
    pending_ = playback::kPlaying;
  } else if (state != playback::kPlaying) {
    Run(playback::kPlaying);
  }
}

void FakeMediaPlayer::pause() {
  if (state == playback::kTransitioning) {
    pending_ = playback::kReady;
    return;
  }
  if (!loaded_ || (state != playback::kPlaying && state != playback::kFastForward)) return;
  Settle();
  StopTimers();
  speed_ = 0;
  state = playback::kPaused;
  Raise([](MediaPlayerEvents& l) { l.PlayStateChange(playback::kPaused); });
}

void FakeMediaPlayer::stop() {
  if (state == playback::kTransitioning) {
    pending_ = playback::kStopped;
    return;
  }
  if (!loaded_) return;
  StopTimers();
  speed_ = 0;
  position_ = 0;
  mark_ms_ = loop_.NowMs();
  if (state == playback::kStopped) return;
  state = playback::kStopped;
  Raise([](MediaPlayerEvents& l) { l.PlayStateChange(playback::kStopped); });
}

void FakeMediaPlayer::fastForward() {
  if (state == playback::kTransitioning) {
    pending_ = playback::kFastForward;
    return;
  }
  if (!loaded_ || state == playback::kFastForward) return;
  Run(playback::kFastForward);
}

void FakeMediaPlayer::Run(int new_state) {
  Settle();
  if (state == playback::kMediaEnded) position_ = 0;
  StopTimers();
  speed_ = new_state == playback::kFastForward ? 4 : 1;
  state = new_state;
  Raise([new_state](MediaPlayerEvents& l) { l.PlayStateChange(new_state); });
  // As mpv does, the output opens (or fails to) once the song has been told to start.
  if (!failing_output.empty()) {
    Unload();
    Raise([failure = playback::AudioOutputFailure{failing_output, "cannot open"}](
              MediaPlayerEvents& l) { l.AudioOutputFailed(failure); });
    output_open_ = false;
    return;
  }
  if (!output_open_) Raise([](MediaPlayerEvents& l) { l.AudioOutputOpened(); });
  output_open_ = true;
  ScheduleEnd();
}

void FakeMediaPlayer::ScheduleEnd() {
  if (end_timer_ != 0) loop_.StopTimer(end_timer_);
  auto left_ms = static_cast<int>(std::ceil((length_ - position_) / speed_ * 1000));
  end_timer_ = loop_.StartTimer(std::max(left_ms, 1), [this] {
    StopTimers();
    position_ = length_;
    mark_ms_ = loop_.NowMs();
    speed_ = 0;
    state = playback::kMediaEnded;
    Raise([](MediaPlayerEvents& l) { l.PlayStateChange(playback::kMediaEnded); });
  });
}

double FakeMediaPlayer::currentPosition() const {
  if (!loaded_) return 0;
  double moved = static_cast<double>(loop_.NowMs() - mark_ms_) / 1000 * speed_;
  return std::clamp(position_ + moved, 0.0, length_);
}

void FakeMediaPlayer::SetCurrentPosition(double seconds) {
  if (!loaded_) return;
  position_ = std::clamp(seconds, 0.0, length_);
  mark_ms_ = loop_.NowMs();
  if (speed_ > 0) ScheduleEnd();
}

void FakeMediaPlayer::Unload() {
  StopTimers();
  loaded_ = false;
  speed_ = 0;
  state = playback::kStopped;
  Raise([](MediaPlayerEvents& l) { l.OpenStateChange(); });
}

void FakeMediaPlayer::Settle() {
  position_ = currentPosition();
  mark_ms_ = loop_.NowMs();
}

void FakeMediaPlayer::StopTimers() {
  for (int* timer : {&open_timer_, &end_timer_}) {
    if (*timer != 0) loop_.StopTimer(*timer);
    *timer = 0;
  }
}

void FakeMediaPlayer::Raise(std::function<void(MediaPlayerEvents&)> event) {
  loop_.Post([self = self_, generation = generation_, event = std::move(event)] {
    FakeMediaPlayer* player = *self;
    if (player == nullptr || player->generation_ != generation || player->listener_ == nullptr) {
      return;
    }
    event(*player->listener_);
  });
}

}  // namespace jubo_test

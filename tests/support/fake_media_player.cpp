#include <algorithm>
#include <cmath>
#include <utility>

#include "support/fakes.h"

namespace jubo_test {

using playback::MediaPlayerEvents;

namespace {
void OpenStateChange(MediaPlayerEvents& l) { l.OpenStateChange(); }
}  // namespace

FakeMediaPlayer::~FakeMediaPlayer() {
  StopTimers();
  *self_ = nullptr;
}

void FakeMediaPlayer::SetURL(const std::string& url) {
  StopTimers();
  ++generation_;
  url_ = url;
  next_url_.clear();
  loads.push_back(url);
  loaded_ = false;
  pending_ = playback::kReady;
  speed_ = 0;
  state = playback::kTransitioning;
  Raise(OpenStateChange);
  open_timer_ = loop_.StartTimer(open_ms, [this] {
    loop_.StopTimer(open_timer_);
    open_timer_ = 0;
    Opened();
  });
}

void FakeMediaPlayer::Opened() {
  if (url_.empty() || unplayable.count(url_) != 0) {
    state = playback::kStopped;
    Raise(OpenStateChange);
    Raise([](MediaPlayerEvents& l) { l.Error(); });
    return;
  }
  loaded_ = true;
  length_ = default_length;
  position_ = 0;
  mark_ms_ = loop_.NowMs();
  Raise(OpenStateChange);
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
  } else if (loaded_ && (state == playback::kPlaying || state == playback::kFastForward)) {
    Halt(playback::kPaused, currentPosition());
  }
}

void FakeMediaPlayer::stop() {
  if (state == playback::kTransitioning) {
    pending_ = playback::kStopped;
  } else if (loaded_) {
    Halt(playback::kStopped, 0);
  }
}

void FakeMediaPlayer::fastForward() {
  if (state == playback::kTransitioning) {
    pending_ = playback::kFastForward;
  } else if (loaded_ && state != playback::kFastForward) {
    Run(playback::kFastForward);
  }
}

void FakeMediaPlayer::Run(int new_state) {
  position_ = state == playback::kMediaEnded ? 0 : currentPosition();
  mark_ms_ = loop_.NowMs();
  StopTimers();
  speed_ = new_state == playback::kFastForward ? 4 : 1;
  state = new_state;
  Raise([new_state](MediaPlayerEvents& l) { l.PlayStateChange(new_state); });
  // As mpv does, the output opens (or fails to) once the song has been told to start; when it
  // fails, the song is unloaded.
  if (!failing_output.empty()) {
    loaded_ = false;
    speed_ = 0;
    state = playback::kStopped;
    Raise(OpenStateChange);
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
  end_timer_ = loop_.StartTimer(std::max(left_ms, 1), [this] { End(); });
}

void FakeMediaPlayer::End() {
  if (state != playback::kPlaying || next_url_.empty()) return Halt(playback::kMediaEnded, length_);
  StopTimers();
  ++generation_;
  loads.push_back(url_ = std::exchange(next_url_, {}));
  loaded_ = false;
  speed_ = 0;
  Raise([](MediaPlayerEvents& l) { l.MovedToNext(); });
  pending_ = playback::kPlaying;  // opened ahead of time: it plays at once
  Opened();
}

void FakeMediaPlayer::Halt(int new_state, double position) {
  StopTimers();
  speed_ = 0;
  position_ = position;
  mark_ms_ = loop_.NowMs();
  if (state == new_state) return;
  state = new_state;
  Raise([new_state](MediaPlayerEvents& l) { l.PlayStateChange(new_state); });
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

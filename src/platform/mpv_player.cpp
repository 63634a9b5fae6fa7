#include "platform/mpv_player.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <mpv/client.h>
#include <mpv/render.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {
namespace {

// libmpv is opened when the first player is made rather than linked: it brings some hundred
// and fifty libraries of its own, whose loading would delay every start of the program by a
// fifth of a second, even a second copy's that only finds the first one running.
// clang-format off
#define JUBO_LIBMPV_FUNCTIONS(X)                                                     \
  X(command) X(create) X(error_string) X(free) X(get_property) X(get_property_string) \
  X(free_node_contents) X(initialize) X(observe_property) X(set_option_string)       \
  X(set_property)                                                                    \
  X(set_property_string) X(set_wakeup_callback) X(terminate_destroy) X(wait_event)   \
  X(render_context_create) X(render_context_free) X(render_context_render)           \
  X(render_context_set_update_callback) X(render_context_update)
// clang-format on

struct Libmpv {
#define JUBO_LIBMPV_POINTER(name) decltype(&mpv_##name) name = nullptr;
  JUBO_LIBMPV_FUNCTIONS(JUBO_LIBMPV_POINTER)
#undef JUBO_LIBMPV_POINTER
};

// The library, opened once for the program's life; null, with the reason in *error, when it
// cannot be opened or lacks a function.
const Libmpv* OpenLibmpv(std::string* error) {
  static const std::pair<Libmpv, std::string> opened = [] {
    std::pair<Libmpv, std::string> result;
    void* handle = dlopen(JUBO_LIBMPV, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
      result.second = std::string("cannot open libmpv: ") + dlerror();
      return result;
    }
#define JUBO_LIBMPV_RESOLVE(name)                                                           \
  result.first.name = reinterpret_cast<decltype(&mpv_##name)>(dlsym(handle, "mpv_" #name)); \
  if (result.first.name == nullptr) result.second = JUBO_LIBMPV " lacks mpv_" #name;
    JUBO_LIBMPV_FUNCTIONS(JUBO_LIBMPV_RESOLVE)
#undef JUBO_LIBMPV_RESOLVE
    return result;
  }();
  if (!opened.second.empty()) {
    *error = opened.second;
    return nullptr;
  }
  return &opened.first;
}

// The visualisation's pictures: a constant-Q spectrum, broad bars and a scrolling history that
// read from across a room, at half of a 1920x1080 screen so that it scales up by a clean factor
// of two. Of the filters tried it looked best, at some 8% of a core here (showcqt at full HD
// costs 19%; a waveform or a vector scope some 7% at smaller sizes; a scrolling showspectrum
// held playback back). The axis of note names is left out: scaled up it would be a blur.
constexpr int kPictureWidth = 960, kPictureHeight = 540;
std::string VisualizationGraph() {
  return "[aid1] asplit [ao][spectrum]; [spectrum] showcqt=s=" + std::to_string(kPictureWidth) +
         "x" + std::to_string(kPictureHeight) + ":r=30:axis=0 [vo]";
}

std::vector<std::string> SplitCommas(std::string_view list) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start < list.size()) {
    size_t end = std::min(list.find(',', start), list.size());
    if (end > start) names.emplace_back(list.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

std::string JoinCommas(const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& name : names) list += (list.empty() ? "" : ",") + name;
  return list;
}

// What a Snapcast server's pipe source expects by default (sampleformat=48000:16:2): raw
// samples, no header. mpv's pcm output writes them as fast as the pipe takes them, and the
// server reads in real time, so the server sets the pace.
std::vector<std::pair<const char*, std::string>> SnapcastOptions(const std::string& pipe) {
  return {{"ao-pcm-file", pipe},         {"ao-pcm-waveheader", "no"},  {"audio-format", "s16"},
          {"audio-samplerate", "48000"}, {"audio-channels", "stereo"}, {"ao", "pcm"}};
}

// Why no Snapcast server can take sound from `pipe` now; empty when one reads it. Opening a
// pipe for writing blocks until a reader comes, and mpv would open it on its core thread,
// which every call into mpv waits for: the program would hang. A non-blocking open tells
// without waiting.
std::string SnapcastPipeProblem(const std::string& pipe) {
  struct stat st {};
  if (stat(pipe.c_str(), &st) != 0) return "the pipe " + pipe + " does not exist";
  if (!S_ISFIFO(st.st_mode)) return pipe + " is not a pipe";
  int fd = open(pipe.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    return errno == ENXIO ? "no Snapcast server reads " + pipe : pipe + ": " + strerror(errno);
  }
  close(fd);
  return "";
}

}  // namespace

using playback::MediaPlayerEvents;

class MpvPlayer::Impl {
 public:
  Impl(const Libmpv& lib, ground::EventLoop& loop, mpv_handle* mpv)
      : lib_(lib), loop_(loop), mpv_(mpv), link_(std::make_shared<Link>(Link{this})) {}
  ~Impl();

  bool Start(const std::string& audio_output, std::string* error);

  void SetURL(const std::string& url);
  void SetNextURL(const std::string& url);
  void Play();
  void Pause();
  void Stop();
  void FastForward();
  double Position() const;
  void SetPosition(double seconds);
  double Duration() const;
  void SetVisualization(bool visible);
  void SetVolume(int percent, bool muted);
  void SetReplayGain(playback::ReplayGain mode);
  bool DrawPicture(int width, int height, int pitch, void* pixels);
  std::vector<MediaPlayer::AudioDevice> AudioDevices() const;
  void SetAudioDevice(const std::string& name);

  std::string url_;
  std::string next_url_;
  int state_ = playback::kStopped;
  MediaPlayerEvents* listener_ = nullptr;
  int64_t pictures_made_ = 0;
  std::string fixed_output_;  // the output named when mpv was started, which no choice changes

 private:
  // What was asked for while the file was still opening; it takes effect once it is open.
  enum class Pending { kNothing, kPlay, kFastForward, kStop };

  // Posted tasks reach the player through this; it is emptied when the player goes, so a task
  // still queued then does nothing.
  struct Link {
    Impl* impl;
  };

  static void Wakeup(void* data);
  void DrainEvents();
  static void PictureReady(void* data);
  void ReadRenderUpdate();
  void OnFileLoaded();
  // The loaded file's ReplayGain tags, as mpv's demuxer read them.
  void ReadGains();
  // The volume mpv is to play at: the level, and the file's gain folded into it.
  void ApplyVolume();
  void OnEndFile(const mpv_event_end_file& end);
  void OnPropertyChange(const mpv_event_property& property);
  void OnPauseOrEof();
  // No audio output opened for the song: Stopped, and play opens the file again to retry.
  void OnOutputFailed(const std::string& reason);
  // False, with mpv's file unloaded and the failure raised, when the Snapcast pipe chosen has
  // no server reading it. mpv gets the pipe only once one does.
  bool SnapcastReady();
  void SetProperties(const std::vector<std::pair<const char*, std::string>>& properties) {
    for (const auto& [name, value] : properties) {
      lib_.set_property_string(mpv_, name, value.c_str());
    }
  }
  // The file that follows goes into mpv's playlist, which mpv moves into without closing the
  // audio output, only once the song is open (a song that fails to open would otherwise hand
  // over to it), and never while fast-forwarding (the next song starts at normal speed).
  void Enqueue();
  // Takes the file that follows out of mpv's playlist again, stopping it if mpv has begun it;
  // next_url_ stays.
  void Unqueue();
  // The song ended with a file to follow: mpv is moving into it.
  void MoveToNext();
  // The place of entry `id` in mpv's playlist, or -1.
  int64_t IndexOf(int64_t id) const;
  // Before the song plays on: back to its beginning when it is at its end. False, the failure
  // raised, when its sound ended at once for want of an output.
  bool Rewind();
  // Hands `event` to the listener from a posted task, unless another file has been loaded
  // by then.
  void Raise(std::function<void(MediaPlayerEvents&)> event);

  void SetFlag(const char* name, bool value) {
    int flag = value ? 1 : 0;
    lib_.set_property(mpv_, name, MPV_FORMAT_FLAG, &flag);
  }
  void SetSpeed(double speed) { lib_.set_property(mpv_, "speed", MPV_FORMAT_DOUBLE, &speed); }
  bool Flag(const char* name) const {
    int flag = 0;
    return lib_.get_property(mpv_, name, MPV_FORMAT_FLAG, &flag) >= 0 && flag != 0;
  }
  // Through the visualisation's filter graph, a song whose audio output does not open is not
  // ended by mpv as an error: its sound ends at once, no output open.
  bool OutputFailed() const {
    if (!Flag("eof-reached")) return false;
    char* output = lib_.get_property_string(mpv_, "current-ao");
    if (output == nullptr) return true;
    lib_.free(output);
    return false;
  }
  double Double(const char* name) const {
    double value = 0;
    return lib_.get_property(mpv_, name, MPV_FORMAT_DOUBLE, &value) >= 0 ? value : 0;
  }
  void Seek(double seconds) {
    // Never negative: mpv counts a negative absolute seek from the end.
    std::string target = std::to_string(std::max(0.0, seconds));
    const char* command[] = {"seek", target.c_str(), "absolute", nullptr};
    lib_.command(mpv_, command);
  }

  const Libmpv& lib_;
  ground::EventLoop& loop_;
  mpv_handle* mpv_;
  std::shared_ptr<Link> link_;
  std::atomic<bool> drain_posted_{false};
  // Draws mpv's pictures; null when mpv cannot, and the visualisation then stays hidden.
  mpv_render_context* render_ = nullptr;
  std::atomic<bool> update_posted_{false};
  bool visualization_ = false;

  int64_t entry_id_ = -1;     // mpv's playlist entry of the file loaded (or opening)
  int64_t next_id_ = -1;      // mpv's playlist entry of next_url_ while it is queued there
  int64_t starting_id_ = -1;  // the entry mpv last began to open
  bool loaded_ = false;       // the file is open: position and length can be read
  Pending pending_ = Pending::kNothing;
  uint64_t generation_ = 0;        // counts files loaded; events of older ones are dropped
  std::string tried_outputs_;      // the audio output mpv tries, or those it tries in turn
  std::string default_outputs_;    // tried_outputs_ with the automatic choice
  std::string snapcast_pipe_;      // the Snapcast pipe chosen; empty for another device
  bool snapcast_applied_ = false;  // mpv's output is the pipe

  // Volume and loudness.
  struct Gains {
    double track_gain, track_peak, album_gain, album_peak;  // dB, and linear peaks
  };
  int volume_ = 50;
  playback::ReplayGain replay_gain_ = playback::ReplayGain::kOff;
  std::optional<Gains> gains_;  // the loaded file's; none before it is loaded or untagged
};

MpvPlayer::Impl::~Impl() {
  // After this no mpv thread calls Wakeup; tasks already posted find the link empty.
  lib_.set_wakeup_callback(mpv_, nullptr, nullptr);
  link_->impl = nullptr;
  // mpv requires the render context gone before the core; freeing it ends any video first.
  lib_.render_context_free(render_);
  lib_.terminate_destroy(mpv_);
}

bool MpvPlayer::Impl::Start(const std::string& output, std::string* error) {
  fixed_output_ = output;
  // The Snapcast pipe is handed to mpv once a server reads it (SnapcastReady).
  const bool snapcast = output.rfind(MediaPlayer::kSnapcast, 0) == 0;
  const std::string audio_output = snapcast ? "" : output;
  // Nothing plays unless asked: a loaded file waits paused, and stays loaded at its end.
  const std::pair<const char*, std::string> options[] = {
      {"ao", audio_output},
      // Pictures are drawn only through the render context below, and only while the
      // visualisation's graph makes any.
      {"vo", "libmpv"},
      // A picture is announced when it is due, so drawing it never waits for its time.
      {"video-timing-offset", "0"},
      {"vid", "no"},
      {"audio-display", "no"},
      {"idle", "yes"},
      {"keep-open", "yes"},
      {"pause", "yes"},
      {"input-default-bindings", "no"},
      {"ytdl", "no"},
      {"load-scripts", "no"},
      {"volume", "50"},
      // Room for the gain of a quiet song folded into the volume (see ApplyVolume).
      {"volume-max", "1000"},
      // mpv's built-in Lua scripts run whatever load-scripts says, and keep a Lua state busy
      // all day for overlays and profiles nobody sees here.
      {"load-stats-overlay", "no"},
      {"load-osd-console", "no"},
      {"load-auto-profiles", "no"},
      // The file that follows is opened ahead and played on through the same audio output.
      // "weak" reopens the output for a song of another sample rate or channel layout rather
      // than resampling every song to the first one's.
      {"prefetch-playlist", "yes"},
      {"gapless-audio", "weak"},
  };
  for (const auto& [name, value] : options) {
    if (value.empty()) continue;  // mpv's own default
    if (int rc = lib_.set_option_string(mpv_, name, value.c_str()); rc < 0) {
      *error =
          std::string("mpv does not accept ") + name + "=" + value + ": " + lib_.error_string(rc);
      return false;
    }
  }
  if (int rc = lib_.initialize(mpv_); rc < 0) {
    *error = std::string("mpv does not start: ") + lib_.error_string(rc);
    return false;
  }
  std::vector<std::string> known;
  if (char* choices = lib_.get_property_string(mpv_, "option-info/ao/choices")) {
    known = SplitCommas(choices);
    lib_.free(choices);
  }
  // mpv takes any name for the output and plays nothing when it knows none of them.
  for (const std::string& name : SplitCommas(audio_output)) {
    if (!known.empty() && std::find(known.begin(), known.end(), name) == known.end()) {
      *error = "mpv has no audio output \"" + name + "\"; it knows " + JoinCommas(known);
      return false;
    }
  }
  tried_outputs_ = audio_output;
  if (audio_output.empty()) {
    // Unless told otherwise, mpv tries the outputs it knows in turn, up to "null". Its "sdl"
    // output would play into nothing where SDL's silent dummy driver is chosen: leave it out
    // then, so that no sound says so.
    auto null = std::find(known.begin(), known.end(), "null");
    std::vector<std::string> outputs(known.begin(), null);
    const char* sdl_driver = std::getenv("SDL_AUDIODRIVER");
    if (sdl_driver != nullptr && std::string_view(sdl_driver) == "dummy") {
      outputs.erase(std::remove(outputs.begin(), outputs.end(), "sdl"), outputs.end());
      if (!outputs.empty()) {
        lib_.set_property_string(mpv_, "ao", JoinCommas(outputs).c_str());
      }
    }
    tried_outputs_ = JoinCommas(outputs);
  }
  default_outputs_ = tried_outputs_;
  if (snapcast) {
    snapcast_pipe_ = output.substr(std::strlen(MediaPlayer::kSnapcast));
    tried_outputs_ = output;
  }
  lib_.observe_property(mpv_, 0, "pause", MPV_FORMAT_FLAG);
  lib_.observe_property(mpv_, 0, "eof-reached", MPV_FORMAT_FLAG);
  lib_.observe_property(mpv_, 0, "current-ao", MPV_FORMAT_STRING);
  lib_.set_wakeup_callback(mpv_, &Impl::Wakeup, this);
  // In software, into memory the screen hands over: no OpenGL context to share with SDL's. Music
  // plays without it, so a failure only leaves the visualisation off.
  mpv_render_param params[] = {
      {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_SW)},
      {MPV_RENDER_PARAM_INVALID, nullptr}};
  if (lib_.render_context_create(&render_, mpv_, params) < 0) render_ = nullptr;
  if (render_ != nullptr)
    lib_.render_context_set_update_callback(render_, &Impl::PictureReady, this);
  return true;
}

void MpvPlayer::Impl::Wakeup(void* data) {
  // On one of mpv's threads: only post. One drain at a time is queued; it reads every event
  // there is, including those that arrive while it is waiting.
  auto* impl = static_cast<Impl*>(data);
  if (impl->drain_posted_.exchange(true)) return;
  impl->loop_.Post([link = impl->link_] {
    if (link->impl != nullptr) link->impl->DrainEvents();
  });
}

void MpvPlayer::Impl::PictureReady(void* data) {
  // On one of mpv's threads, as Wakeup: only post, one task at a time.
  auto* impl = static_cast<Impl*>(data);
  if (impl->update_posted_.exchange(true)) return;
  impl->loop_.Post([link = impl->link_] {
    if (link->impl != nullptr) link->impl->ReadRenderUpdate();
  });
}

void MpvPlayer::Impl::ReadRenderUpdate() {
  // Cleared first: an update that comes while this reads posts the next task.
  update_posted_ = false;
  if ((lib_.render_context_update(render_) & MPV_RENDER_UPDATE_FRAME) != 0) ++pictures_made_;
}

void MpvPlayer::Impl::DrainEvents() {
  drain_posted_ = false;
  for (;;) {
    mpv_event* event = lib_.wait_event(mpv_, 0);
    switch (event->event_id) {
      case MPV_EVENT_NONE:
        return;
      case MPV_EVENT_START_FILE:
        starting_id_ = static_cast<mpv_event_start_file*>(event->data)->playlist_entry_id;
        break;
      case MPV_EVENT_FILE_LOADED:
        // FILE_LOADED names no entry: it belongs to the last one started.
        if (starting_id_ == entry_id_) OnFileLoaded();
        break;
      case MPV_EVENT_END_FILE:
        OnEndFile(*static_cast<mpv_event_end_file*>(event->data));
        break;
      case MPV_EVENT_PROPERTY_CHANGE:
        OnPropertyChange(*static_cast<mpv_event_property*>(event->data));
        break;
      default:
        break;
    }
  }
}

void MpvPlayer::Impl::OnFileLoaded() {
  if (loaded_ || state_ != playback::kTransitioning) return;
  loaded_ = true;
  ReadGains();
  ApplyVolume();
  // A song asked to play starts only now, its gain in the volume: started as it opened, mpv
  // played its first moments at the last song's level (all of it, into a file output).
  if (pending_ == Pending::kPlay || pending_ == Pending::kFastForward) SetFlag("pause", false);
  Raise([](MediaPlayerEvents& l) { l.OpenStateChange(); });
  switch (pending_) {
    case Pending::kNothing:
      state_ = playback::kReady;
      break;
    case Pending::kPlay:
      state_ = playback::kPlaying;
      Raise([](MediaPlayerEvents& l) { l.PlayStateChange(playback::kPlaying); });
      break;
    case Pending::kFastForward:
      state_ = playback::kFastForward;
      Raise([](MediaPlayerEvents& l) { l.PlayStateChange(playback::kFastForward); });
      break;
    case Pending::kStop:
      state_ = playback::kStopped;
      break;
  }
  pending_ = Pending::kNothing;
  Enqueue();
}

void MpvPlayer::Impl::OnEndFile(const mpv_event_end_file& end) {
  // The entry a new file replaced ends too (reason STOP): that is no news.
  if (end.playlist_entry_id != entry_id_) return;
  if (end.reason == MPV_END_FILE_REASON_EOF && state_ == playback::kPlaying && next_id_ != -1) {
    MoveToNext();
    return;
  }
  loaded_ = false;
  pending_ = Pending::kNothing;
  // mpv would go on to the file that follows by itself.
  Unqueue();
  if (end.reason == MPV_END_FILE_REASON_ERROR && end.error == MPV_ERROR_AO_INIT_FAILED) {
    OnOutputFailed(lib_.error_string(MPV_ERROR_AO_INIT_FAILED));
  } else if (end.reason == MPV_END_FILE_REASON_ERROR) {
    state_ = playback::kStopped;
    Raise([](MediaPlayerEvents& l) { l.OpenStateChange(); });
    Raise([](MediaPlayerEvents& l) { l.Error(); });
  } else if (end.reason == MPV_END_FILE_REASON_EOF &&
             (state_ == playback::kPlaying || state_ == playback::kFastForward)) {
    state_ = playback::kMediaEnded;
    Raise([](MediaPlayerEvents& l) { l.PlayStateChange(playback::kMediaEnded); });
  } else {
    state_ = playback::kStopped;
  }
}

void MpvPlayer::Impl::OnPropertyChange(const mpv_event_property& property) {
  if (std::string_view(property.name) != "current-ao") {
    OnPauseOrEof();
    return;
  }
  // current-ao is unavailable until an output is open. It is news whatever file is loaded by
  // the time it arrives, so it goes out unconditionally.
  if (property.format != MPV_FORMAT_STRING) return;
  loop_.Post([link = link_] {
    if (Impl* impl = link->impl; impl != nullptr && impl->listener_ != nullptr) {
      impl->listener_->AudioOutputOpened();
    }
  });
}

void MpvPlayer::Impl::OnPauseOrEof() {
  // At the end of a song mpv pauses by itself and keeps the file: a pause nobody asked for
  // while playing. eof-reached is read directly, since its own change is not always reported.
  if (!loaded_ || (state_ != playback::kPlaying && state_ != playback::kFastForward)) return;
  if (OutputFailed()) {
    OnOutputFailed(lib_.error_string(MPV_ERROR_AO_INIT_FAILED));
    return;
  }
  if (!Flag("pause") || !Flag("eof-reached")) return;
  state_ = playback::kMediaEnded;
  Raise([](MediaPlayerEvents& l) { l.PlayStateChange(playback::kMediaEnded); });
}

void MpvPlayer::Impl::OnOutputFailed(const std::string& reason) {
  Unqueue();
  loaded_ = false;
  pending_ = Pending::kNothing;
  state_ = playback::kStopped;
  Raise([](MediaPlayerEvents& l) { l.OpenStateChange(); });
  Raise([failure = playback::AudioOutputFailure{tried_outputs_, reason}](MediaPlayerEvents& l) {
    l.AudioOutputFailed(failure);
  });
}

bool MpvPlayer::Impl::SnapcastReady() {
  if (snapcast_pipe_.empty()) return true;
  const std::string problem = SnapcastPipeProblem(snapcast_pipe_);
  if (problem.empty()) {
    if (!snapcast_applied_) {
      // A server that goes away would end the program on the next write into its pipe;
      // ignored, the write fails and the song plays on into nothing.
      std::signal(SIGPIPE, SIG_IGN);
      SetProperties(SnapcastOptions(snapcast_pipe_));
      snapcast_applied_ = true;
    }
    return true;
  }
  // Unloaded, nothing of mpv's can reopen the pipe and wait on it.
  const char* command[] = {"stop", nullptr};
  lib_.command(mpv_, command);
  OnOutputFailed(problem);
  return false;
}

std::vector<playback::MediaPlayer::AudioDevice> MpvPlayer::Impl::AudioDevices() const {
  std::vector<MediaPlayer::AudioDevice> devices;
  mpv_node list{};
  if (lib_.get_property(mpv_, "audio-device-list", MPV_FORMAT_NODE, &list) < 0) return devices;
  for (int i = 0; list.format == MPV_FORMAT_NODE_ARRAY && i < list.u.list->num; ++i) {
    const mpv_node& entry = list.u.list->values[i];
    if (entry.format != MPV_FORMAT_NODE_MAP) continue;
    MediaPlayer::AudioDevice device;
    for (int k = 0; k < entry.u.list->num; ++k) {
      const mpv_node& value = entry.u.list->values[k];
      if (value.format != MPV_FORMAT_STRING) continue;
      const std::string_view key = entry.u.list->keys[k];
      if (key == "name") device.name = value.u.string;
      if (key == "description") device.description = value.u.string;
    }
    if (!device.name.empty()) devices.push_back(std::move(device));
  }
  lib_.free_node_contents(&list);
  return devices;
}

void MpvPlayer::Impl::SetAudioDevice(const std::string& name) {
  if (!fixed_output_.empty()) return;
  const std::string device = name.empty() ? "auto" : name;
  if (device.rfind(MediaPlayer::kSnapcast, 0) == 0) {
    snapcast_pipe_ = device.substr(std::strlen(MediaPlayer::kSnapcast));
    snapcast_applied_ = false;
    tried_outputs_ = device;
    // A song in mpv has its output reopened on the pipe at once: only when a server reads it.
    if (loaded_ || state_ == playback::kTransitioning) SnapcastReady();
    return;
  }
  if (snapcast_applied_) {
    // mpv cannot unset audio-format: float is what its outputs take anyway, at no loss.
    SetProperties({{"ao", default_outputs_},
                   {"audio-format", "float"},
                   {"audio-samplerate", "0"},
                   {"audio-channels", "auto-safe"}});
  }
  snapcast_pipe_.clear();
  snapcast_applied_ = false;
  tried_outputs_ = default_outputs_;
  for (const MediaPlayer::AudioDevice& offered : AudioDevices()) {
    if (offered.name == device && device != "auto") tried_outputs_ = offered.description;
  }
  lib_.set_property_string(mpv_, "audio-device", device.c_str());
}

void MpvPlayer::Impl::Raise(std::function<void(MediaPlayerEvents&)> event) {
  loop_.Post([link = link_, generation = generation_, event = std::move(event)] {
    Impl* impl = link->impl;
    if (impl == nullptr || impl->generation_ != generation || impl->listener_ == nullptr) return;
    event(*impl->listener_);
  });
}

void MpvPlayer::Impl::SetURL(const std::string& url) {
  ++generation_;
  url_ = url;
  // Replacing the file clears mpv's playlist, the file that follows too.
  next_url_.clear();
  next_id_ = -1;
  loaded_ = false;
  pending_ = Pending::kNothing;
  entry_id_ = -1;
  gains_.reset();
  // pause and speed are global: a file loaded while another plays would start at once.
  SetFlag("pause", true);
  SetSpeed(1);
  if (url.empty()) {
    const char* command[] = {"stop", nullptr};
    lib_.command(mpv_, command);
    state_ = playback::kStopped;
    Raise([](MediaPlayerEvents& l) { l.OpenStateChange(); });
    return;
  }
  if (!SnapcastReady()) return;
  // An argument array: no quoting, whatever the file name holds.
  const char* command[] = {"loadfile", url.c_str(), "replace", nullptr};
  int64_t id = -1;
  if (lib_.command(mpv_, command) < 0 ||
      lib_.get_property(mpv_, "playlist/0/id", MPV_FORMAT_INT64, &id) < 0) {
    state_ = playback::kStopped;
    Raise([](MediaPlayerEvents& l) { l.OpenStateChange(); });
    Raise([](MediaPlayerEvents& l) { l.Error(); });
    return;
  }
  entry_id_ = id;
  state_ = playback::kTransitioning;
  Raise([](MediaPlayerEvents& l) { l.OpenStateChange(); });
}

void MpvPlayer::Impl::SetNextURL(const std::string& url) {
  if (url == next_url_) return;
  Unqueue();
  next_url_ = url;
  Enqueue();
}

void MpvPlayer::Impl::Enqueue() {
  if (next_url_.empty() || next_id_ != -1 || !loaded_ || state_ == playback::kFastForward) return;
  // Entries played before the one loaded go first; mpv keeps the loaded one.
  const char* clear[] = {"playlist-clear", nullptr};
  lib_.command(mpv_, clear);
  const char* command[] = {"loadfile", next_url_.c_str(), "append", nullptr};
  int64_t count = 0;
  if (lib_.command(mpv_, command) < 0 ||
      lib_.get_property(mpv_, "playlist-count", MPV_FORMAT_INT64, &count) < 0) {
    return;
  }
  const std::string last = "playlist/" + std::to_string(count - 1) + "/id";
  if (lib_.get_property(mpv_, last.c_str(), MPV_FORMAT_INT64, &next_id_) < 0) next_id_ = -1;
}

void MpvPlayer::Impl::Unqueue() {
  if (next_id_ == -1) return;
  if (int64_t index = IndexOf(next_id_); index >= 0) {
    const std::string place = std::to_string(index);
    const char* command[] = {"playlist-remove", place.c_str(), nullptr};
    lib_.command(mpv_, command);
  }
  next_id_ = -1;
}

void MpvPlayer::Impl::MoveToNext() {
  ++generation_;
  url_ = std::exchange(next_url_, std::string());
  entry_id_ = std::exchange(next_id_, -1);
  loaded_ = false;
  // Already playing: FILE_LOADED tells it as it does for a file set and asked to play.
  state_ = playback::kTransitioning;
  pending_ = Pending::kPlay;
  Raise([](MediaPlayerEvents& l) { l.MovedToNext(); });
}

int64_t MpvPlayer::Impl::IndexOf(int64_t id) const {
  int64_t count = 0;
  lib_.get_property(mpv_, "playlist-count", MPV_FORMAT_INT64, &count);
  for (int64_t i = 0; i < count; ++i) {
    const std::string name = "playlist/" + std::to_string(i) + "/id";
    int64_t entry = -1;
    if (lib_.get_property(mpv_, name.c_str(), MPV_FORMAT_INT64, &entry) >= 0 && entry == id) {
      return i;
    }
  }
  return -1;
}

void MpvPlayer::Impl::Play() {
  if (state_ == playback::kTransitioning) {
    SetSpeed(1);
    pending_ = Pending::kPlay;  // it starts once open (OnFileLoaded)
    return;
  }
  if (!loaded_) {
    // Nothing open (the file failed, or none was given): open it again, and play it then.
    if (url_.empty()) return;
    SetURL(url_);
    if (state_ == playback::kTransitioning) Play();
    return;
  }
  if (state_ == playback::kPlaying) return;
  if (!Rewind()) return;
  SetSpeed(1);
  SetFlag("pause", false);
  state_ = playback::kPlaying;
  Enqueue();
  Raise([](MediaPlayerEvents& l) { l.PlayStateChange(playback::kPlaying); });
}

bool MpvPlayer::Impl::Rewind() {
  if (OutputFailed()) {
    OnOutputFailed(lib_.error_string(MPV_ERROR_AO_INIT_FAILED));
    return false;
  }
  if (!SnapcastReady()) return false;
  // At the end of the song mpv stays there: playing again starts it over.
  if (state_ == playback::kMediaEnded || Flag("eof-reached")) Seek(0);
  return true;
}

void MpvPlayer::Impl::Pause() {
  if (state_ == playback::kTransitioning) {
    SetFlag("pause", true);
    pending_ = Pending::kNothing;
    return;
  }
  if (!loaded_ || (state_ != playback::kPlaying && state_ != playback::kFastForward)) return;
  SetFlag("pause", true);
  SetSpeed(1);
  state_ = playback::kPaused;
  Raise([](MediaPlayerEvents& l) { l.PlayStateChange(playback::kPaused); });
}

void MpvPlayer::Impl::Stop() {
  if (state_ == playback::kTransitioning) {
    SetFlag("pause", true);
    SetSpeed(1);
    pending_ = Pending::kStop;
    return;
  }
  if (!loaded_) return;
  // mpv's own stop would unload the file; here the file stays, at its beginning.
  SetFlag("pause", true);
  SetSpeed(1);
  Seek(0);
  if (state_ == playback::kStopped) return;
  state_ = playback::kStopped;
  Raise([](MediaPlayerEvents& l) { l.PlayStateChange(playback::kStopped); });
}

void MpvPlayer::Impl::FastForward() {
  if (state_ == playback::kTransitioning) {
    SetSpeed(4);
    pending_ = Pending::kFastForward;  // it starts once open (OnFileLoaded)
    return;
  }
  if (!loaded_ || state_ == playback::kFastForward) return;
  if (!Rewind()) return;
  Unqueue();
  // Four times: faster, mpv's tempo filter gives up and the sound goes silent.
  SetSpeed(4);
  SetFlag("pause", false);
  state_ = playback::kFastForward;
  Raise([](MediaPlayerEvents& l) { l.PlayStateChange(playback::kFastForward); });
}

double MpvPlayer::Impl::Position() const {
  if (!loaded_) return 0;
  // mpv reports a little below 0 after a seek to the start, and past the end at high speed.
  return std::clamp(Double("time-pos"), 0.0, Duration());
}

void MpvPlayer::Impl::SetPosition(double seconds) {
  if (!loaded_) return;
  Seek(std::clamp(seconds, 0.0, Duration()));
}

double MpvPlayer::Impl::Duration() const { return loaded_ ? std::max(0.0, Double("duration")) : 0; }

void MpvPlayer::Impl::SetVisualization(bool visible) {
  if (render_ == nullptr || visible == visualization_) return;
  visualization_ = visible;
  // mpv rebuilds its filters where the song is, playing or paused, and keeps the graph for the
  // songs that follow. Hidden, no graph at all: through one, mpv reopens the audio output at
  // every change of song, a gap between songs. Emptied at run time, the graph leaves no audio
  // track selected, hence the track chosen again.
  lib_.set_property_string(mpv_, "lavfi-complex", visible ? VisualizationGraph().c_str() : "");
  if (!visible) lib_.set_property_string(mpv_, "aid", "1");
}

bool MpvPlayer::Impl::DrawPicture(int width, int height, int pitch, void* pixels) {
  if (render_ == nullptr || pictures_made_ == 0) return false;
  int size[2] = {width, height};
  size_t stride = static_cast<size_t>(pitch);
  // Pictures are announced when due (video-timing-offset is 0): there is nothing to wait for.
  int block = 0;
  mpv_render_param params[] = {{MPV_RENDER_PARAM_SW_SIZE, size},
                               {MPV_RENDER_PARAM_SW_FORMAT, const_cast<char*>("bgr0")},
                               {MPV_RENDER_PARAM_SW_STRIDE, &stride},
                               {MPV_RENDER_PARAM_SW_POINTER, pixels},
                               {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
                               {MPV_RENDER_PARAM_INVALID, nullptr}};
  return lib_.render_context_render(render_, params) >= 0;
}

void MpvPlayer::Impl::SetVolume(int percent, bool muted) {
  volume_ = std::clamp(percent, 0, 100);
  SetFlag("mute", muted);
  ApplyVolume();
}

void MpvPlayer::Impl::SetReplayGain(playback::ReplayGain mode) {
  replay_gain_ = mode;
  ApplyVolume();
}

void MpvPlayer::Impl::ReadGains() {
  // mpv's own replaygain option does nothing while lavfi-complex carries the sound (measured
  // with libmpv 0.35: the same output with it on and off), and that graph is always set (see
  // SetVisualization). The gains are read here and applied through the volume instead. The
  // graph plays the audio track with id 1.
  int64_t count = 0;
  lib_.get_property(mpv_, "track-list/count", MPV_FORMAT_INT64, &count);
  for (int64_t n = 0; n < count; ++n) {
    const std::string track = "track-list/" + std::to_string(n) + "/";
    int64_t id = 0;
    char* type = lib_.get_property_string(mpv_, (track + "type").c_str());
    const bool audio = type != nullptr && std::string_view(type) == "audio";
    if (type != nullptr) lib_.free(type);
    if (!audio || lib_.get_property(mpv_, (track + "id").c_str(), MPV_FORMAT_INT64, &id) < 0 ||
        id != 1) {
      continue;
    }
    Gains gains{};
    // Untagged, the track has none of these (mpv needs a gain and its peak).
    if (lib_.get_property(mpv_, (track + "replaygain-track-gain").c_str(), MPV_FORMAT_DOUBLE,
                          &gains.track_gain) < 0) {
      return;
    }
    gains.track_peak = Double((track + "replaygain-track-peak").c_str());
    gains.album_gain = Double((track + "replaygain-album-gain").c_str());
    gains.album_peak = Double((track + "replaygain-album-peak").c_str());
    gains_ = gains;
    return;
  }
}

void MpvPlayer::Impl::ApplyVolume() {
  double gain = 1;
  if (gains_ && replay_gain_ != playback::ReplayGain::kOff) {
    const bool album = replay_gain_ == playback::ReplayGain::kAlbum;
    const double db = album ? gains_->album_gain : gains_->track_gain;
    const double peak = album ? gains_->album_peak : gains_->track_peak;
    gain = std::pow(10.0, db / 20);
    // Clipping prevention, as mpv's replaygain-clip: the loudest sample stays at full scale.
    if (peak > 0) gain = std::min(gain, 1 / peak);
  }
  // mpv's volume is cubic: the sound is scaled by (volume / 100)^3. On 16-bit sound mpv 0.35
  // scales in steps of 1/256 (measured), so at low volumes a gain lands within some 0.4 dB.
  double volume = std::min(volume_ * std::cbrt(gain), 1000.0);
  lib_.set_property(mpv_, "volume", MPV_FORMAT_DOUBLE, &volume);
}

std::unique_ptr<MpvPlayer> MpvPlayer::Create(ground::EventLoop& loop,
                                             const std::string& audio_output, std::string* error) {
  const Libmpv* lib = OpenLibmpv(error);
  if (lib == nullptr) return nullptr;
  mpv_handle* mpv = lib->create();
  if (mpv == nullptr) {
    *error = "mpv cannot be created (out of memory, or an unusable locale)";
    return nullptr;
  }
  auto impl = std::make_unique<Impl>(*lib, loop, mpv);
  if (!impl->Start(audio_output, error)) return nullptr;
  return std::unique_ptr<MpvPlayer>(new MpvPlayer(std::move(impl)));
}

MpvPlayer::MpvPlayer(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
MpvPlayer::~MpvPlayer() = default;

const std::string& MpvPlayer::URL() const { return impl_->url_; }
void MpvPlayer::SetURL(const std::string& url) { impl_->SetURL(url); }
const std::string& MpvPlayer::NextURL() const { return impl_->next_url_; }
void MpvPlayer::SetNextURL(const std::string& url) { impl_->SetNextURL(url); }
int MpvPlayer::playState() const { return impl_->state_; }
void MpvPlayer::play() { impl_->Play(); }
void MpvPlayer::pause() { impl_->Pause(); }
void MpvPlayer::stop() { impl_->Stop(); }
void MpvPlayer::fastForward() { impl_->FastForward(); }
double MpvPlayer::currentPosition() const { return impl_->Position(); }
void MpvPlayer::SetCurrentPosition(double seconds) { impl_->SetPosition(seconds); }
double MpvPlayer::duration() const { return impl_->Duration(); }
void MpvPlayer::SetVisualization(bool visible) { impl_->SetVisualization(visible); }
void MpvPlayer::SetVolume(int percent, bool muted) { impl_->SetVolume(percent, muted); }
void MpvPlayer::SetReplayGain(playback::ReplayGain mode) { impl_->SetReplayGain(mode); }
void MpvPlayer::SetListener(playback::MediaPlayerEvents* listener) { impl_->listener_ = listener; }
int64_t MpvPlayer::PicturesMade() const { return impl_->pictures_made_; }
int MpvPlayer::PictureWidth() const { return kPictureWidth; }
int MpvPlayer::PictureHeight() const { return kPictureHeight; }
bool MpvPlayer::DrawPicture(int width, int height, int pitch, void* pixels) {
  return impl_->DrawPicture(width, height, pitch, pixels);
}
std::vector<playback::MediaPlayer::AudioDevice> MpvPlayer::AudioDevices() const {
  return impl_->AudioDevices();
}
void MpvPlayer::SetAudioDevice(const std::string& name) { impl_->SetAudioDevice(name); }
const std::string& MpvPlayer::FixedAudioOutput() const { return impl_->fixed_output_; }

}  // namespace platform

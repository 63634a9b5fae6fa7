#include "remote/mpris.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <systemd/sd-bus.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "ground/keys.h"
#include "playback/loudness.h"
#include "playback/player_engine.h"
#include "screen/screen_context.h"
#include "screen/status_panel.h"

namespace remote {
namespace {

constexpr const char* kName = "org.mpris.MediaPlayer2.jubo";
constexpr const char* kPath = "/org/mpris/MediaPlayer2";
constexpr const char* kRootInterface = "org.mpris.MediaPlayer2";
constexpr const char* kPlayerInterface = "org.mpris.MediaPlayer2.Player";
constexpr const char* kNoTrack = "/org/mpris/MediaPlayer2/TrackList/NoTrack";
// A bus that does not answer at start-up holds the program up this long, not sd-bus's 25 s.
constexpr uint64_t kCallTimeoutUs = 5'000'000;
// How long a read of the position waits for the loop (busy with a long query) before it answers
// with the position last published.
constexpr auto kLoopAnswerLimit = std::chrono::seconds(1);

std::string TrackId(int32_t entry) {
  return entry < 0 ? kNoTrack : "/org/jubo/track/" + std::to_string(entry);
}

// A file as a file:// URL: every byte outside the unreserved set and '/' percent-encoded. A name
// that is a URL already is kept.
std::string FileUrl(const std::string& file) {
  if (file.empty() || file.find("://") != std::string::npos) return file;
  std::error_code ignored;
  const std::string path = std::filesystem::absolute(file, ignored).string();
  std::string url = "file://";
  for (unsigned char c : path) {
    if (std::isalnum(c) || std::strchr("/-._~", c) != nullptr) {
      url += static_cast<char>(c);
    } else {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", c);
      url += escaped;
    }
  }
  return url;
}

bool CanSeek(const MprisState& s) { return s.has_songs && s.status != "Stopped"; }
bool SameSong(const MprisState& a, const MprisState& b) {
  return a.entry == b.entry && a.title == b.title && a.artist == b.artist && a.album == b.album &&
         a.url == b.url && a.length_us == b.length_us;
}

enum class Want { kPlay, kPause, kToggle };

// Play and Pause as MPRIS means them, through the P key, which toggles: pressed only when it
// leads there. From a fast forward P goes back to normal play, so pausing takes it twice.
void PlayOrPause(screen::ScreenContext& jubo, Want want) {
  if (jubo.playlist.SongCount < 1 || jubo.player == nullptr) return;
  const int state = jubo.player->playState();
  const bool playing = state == playback::kPlaying || state == playback::kFastForward;
  if (want == Want::kToggle) want = playing ? Want::kPause : Want::kPlay;
  if (want == Want::kPlay && state != playback::kPlaying) jubo.loop->PostKey(ground::KeyOf('P'));
  if (want == Want::kPause && playing) {
    if (state == playback::kFastForward) jubo.loop->PostKey(ground::KeyOf('P'));
    jubo.loop->PostKey(ground::KeyOf('P'));
  }
}

}  // namespace

MprisState ReadMprisState(const screen::ScreenContext& jubo) {
  MprisState s;
  const playback::PlaylistState& p = jubo.playlist;
  s.has_songs = p.SongCount > 0;
  s.repeat = jubo.settings.PlaylistLoop == 1;
  s.volume = jubo.settings.Muted ? 0 : jubo.settings.Volume / 100.0;
  const playback::MediaPlayer* player = jubo.player;
  if (player == nullptr) return s;
  const int state = player->playState();
  if (state == playback::kPlaying || state == playback::kFastForward) s.status = "Playing";
  if (state == playback::kPaused) s.status = "Paused";
  if (p.CurrentSong >= 0 && p.CurrentSong < p.SongCount) {
    s.entry = p.CurrentSong;
    s.url = FileUrl(p.Playlist[static_cast<size_t>(p.CurrentSong)].file());
    // The details the engine looked up when the song started (the status panel's).
    s.title = p.NowTitle;
    s.artist = p.NowArtist;
    s.album = p.NowAlbum;
    s.length_us = std::llround(player->duration() * 1e6);
    s.position = player->currentPosition();
  }
  return s;
}

int VolumeLevel(double volume) {
  const int step = settings::kVolumeStep;
  return std::clamp(static_cast<int>(std::lround(volume * 100 / step)) * step, 0, 100);
}

class Mpris::Bus {
 public:
  Bus(sd_bus* bus, int wake_fd, screen::ScreenContext& jubo, std::function<void()> quit)
      : bus_(bus), jubo_(jubo), quit_(std::move(quit)) {
    shared_->wake_fd = wake_fd;
  }

  ~Bus() {
    {
      std::lock_guard<std::mutex> lock(shared_->mutex);
      shared_->stopping = true;
    }
    shared_->answered.notify_all();
    shared_->Wake();
    if (thread_.joinable()) thread_.join();
    sd_bus_flush_close_unref(bus_);
  }

  // Serves the bus from here on, on a thread of its own.
  std::string Serve() {
    emitted_ = shared_->published = ReadMprisState(jubo_);
    int r = sd_bus_add_object_vtable(bus_, nullptr, kPath, kRootInterface, kRootTable, this);
    if (r >= 0) {
      r = sd_bus_add_object_vtable(bus_, nullptr, kPath, kPlayerInterface, kPlayerTable, this);
    }
    if (r < 0) return std::string("cannot serve the player on the session bus: ") + strerror(-r);
    r = sd_bus_request_name(bus_, kName, 0);
    if (r == -EEXIST) {
      const std::string instance = std::string(kName) + ".instance" + std::to_string(getpid());
      r = sd_bus_request_name(bus_, instance.c_str(), 0);
    }
    if (r < 0) return std::string("the session bus refuses the player's name: ") + strerror(-r);
    thread_ = std::thread([this] { Run(); });
    return "";
  }

  void Publish() {
    const MprisState state = ReadMprisState(jubo_);
    {
      std::lock_guard<std::mutex> lock(shared_->mutex);
      if (shared_->published == state) return;
      shared_->published = state;
    }
    shared_->Wake();
  }

 private:
  // What the loop's thread and the bus thread share. Tasks posted to the loop hold it, so it
  // outlives the bus when they run late.
  struct Shared {
    std::mutex mutex;
    std::condition_variable answered;
    MprisState published;
    bool stopping = false;
    uint64_t asked = 0;              // position questions asked so far
    std::optional<double> position;  // the loop's answer to the last
    std::optional<int64_t> seeked;   // a seek asked on the bus went there (µs): to be signalled
    int wake_fd = -1;                // an eventfd: something to signal, or the bus is to be left

    ~Shared() { close(wake_fd); }
    void Wake() {
      const uint64_t one = 1;
      (void)!write(wake_fd, &one, sizeof one);
    }
  };

  // On the bus thread.
  void Run() {
    for (;;) {
      int r;
      while ((r = sd_bus_process(bus_, nullptr)) > 0) {
      }
      const int events = r < 0 ? r : sd_bus_get_events(bus_);
      if (events < 0) {
        std::fprintf(stderr, "jubo: the session bus was lost (%s): MPRIS is off\n",
                     strerror(-events));
        return;
      }
      // sd-bus has a deadline only while a call of its own awaits an answer: idle, it has none.
      int timeout_ms = -1;
      uint64_t until = 0;
      if (sd_bus_get_timeout(bus_, &until) > 0 && until != UINT64_MAX) {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        const uint64_t now_us = uint64_t(now.tv_sec) * 1'000'000 + uint64_t(now.tv_nsec) / 1000;
        timeout_ms = until <= now_us ? 0 : static_cast<int>((until - now_us + 999) / 1000);
      }
      pollfd fds[2] = {{sd_bus_get_fd(bus_), static_cast<short>(events), 0},
                       {shared_->wake_fd, POLLIN, 0}};
      if (poll(fds, 2, timeout_ms) < 0 && errno != EINTR) return;
      if (fds[1].revents == 0) continue;
      uint64_t count;
      (void)!read(shared_->wake_fd, &count, sizeof count);
      MprisState now;
      std::optional<int64_t> seeked;
      {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        if (shared_->stopping) return;
        now = shared_->published;
        seeked = std::exchange(shared_->seeked, std::nullopt);
      }
      SignalChanges(now);
      if (seeked) sd_bus_emit_signal(bus_, kPath, kPlayerInterface, "Seeked", "x", *seeked);
    }
  }

  void SignalChanges(const MprisState& now) {
    std::vector<const char*> names;
    if (now.status != emitted_.status) names.push_back("PlaybackStatus");
    if (now.repeat != emitted_.repeat) names.push_back("LoopStatus");
    if (now.volume != emitted_.volume) names.push_back("Volume");
    if (!SameSong(now, emitted_)) names.push_back("Metadata");
    if (now.has_songs != emitted_.has_songs) {
      names.insert(names.end(), {"CanGoNext", "CanGoPrevious", "CanPlay", "CanPause"});
    }
    if (CanSeek(now) != CanSeek(emitted_)) names.push_back("CanSeek");
    emitted_ = now;
    if (names.empty()) return;
    names.push_back(nullptr);
    sd_bus_emit_properties_changed_strv(bus_, kPath, kPlayerInterface,
                                        const_cast<char**>(names.data()));
  }

  MprisState Published() {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    return shared_->published;
  }

  // Runs `task` on the loop's thread with the program's state, as a key would be.
  void OnLoop(std::function<void(screen::ScreenContext&)> task) {
    jubo_.loop->Post([&jubo = jubo_, task = std::move(task)] { task(jubo); });
  }

  // The player's position, asked of the loop's thread.
  double Position() {
    std::unique_lock<std::mutex> lock(shared_->mutex);
    const uint64_t question = ++shared_->asked;
    shared_->position.reset();
    jubo_.loop->Post([shared = shared_, &jubo = jubo_, question] {
      const double seconds = jubo.player != nullptr ? jubo.player->currentPosition() : 0;
      std::lock_guard<std::mutex> answer(shared->mutex);
      if (question == shared->asked) shared->position = seconds;
      shared->answered.notify_all();
    });
    shared_->answered.wait_for(lock, kLoopAnswerLimit,
                               [this] { return shared_->position || shared_->stopping; });
    return shared_->position.value_or(shared_->published.position);
  }

  int Get(std::string_view name, sd_bus_message* m) {
    if (name == "Position") return sd_bus_message_append(m, "x", std::llround(Position() * 1e6));
    const MprisState s = Published();
    if (name == "PlaybackStatus") return sd_bus_message_append(m, "s", s.status.c_str());
    if (name == "LoopStatus") return sd_bus_message_append(m, "s", s.repeat ? "Playlist" : "None");
    if (name == "Volume") return sd_bus_message_append(m, "d", s.volume);
    if (name == "CanSeek") return sd_bus_message_append(m, "b", CanSeek(s));
    if (name == "Metadata") return AppendMetadata(s, m);
    // CanGoNext, CanGoPrevious, CanPlay, CanPause.
    return sd_bus_message_append(m, "b", s.has_songs);
  }

  static int AppendMetadata(const MprisState& s, sd_bus_message* m) {
    const std::string track = TrackId(s.entry);
    int r = sd_bus_message_open_container(m, 'a', "{sv}");
    if (r >= 0) r = sd_bus_message_append(m, "{sv}", "mpris:trackid", "o", track.c_str());
    if (s.entry >= 0) {
      if (r >= 0) r = sd_bus_message_append(m, "{sv}", "xesam:url", "s", s.url.c_str());
      if (r >= 0) r = sd_bus_message_append(m, "{sv}", "mpris:length", "x", s.length_us);
    }
    if (!s.title.empty()) {
      if (r >= 0) r = sd_bus_message_append(m, "{sv}", "xesam:title", "s", s.title.c_str());
      if (r >= 0) r = sd_bus_message_append(m, "{sv}", "xesam:album", "s", s.album.c_str());
      if (r >= 0) {
        r = sd_bus_message_append(m, "{sv}", "xesam:artist", "as", 1, s.artist.c_str());
      }
    }
    return r < 0 ? r : sd_bus_message_close_container(m);
  }

  int Set(std::string_view name, sd_bus_message* value, sd_bus_error* error) {
    if (name == "Volume") {
      double volume = 0;
      const int r = sd_bus_message_read(value, "d", &volume);
      if (r < 0) return r;
      OnLoop([level = VolumeLevel(volume)](screen::ScreenContext& jubo) {
        if (!jubo.settings.Muted && jubo.settings.Volume == level) return;
        jubo.IdleSeconds = 0;  // as a volume key would
        playback::SetVolumeLevel(jubo, level);
        screen::ShowVolume(jubo);
      });
      return 0;
    }
    const char* loop_status = nullptr;
    const int r = sd_bus_message_read(value, "s", &loop_status);
    if (r < 0) return r;
    const std::string_view wanted = loop_status;
    if (wanted != "None" && wanted != "Playlist") {
      return sd_bus_error_set(error, SD_BUS_ERROR_NOT_SUPPORTED,
                              "Jubo repeats the whole playlist or nothing");
    }
    OnLoop([repeat = wanted == "Playlist"](screen::ScreenContext& jubo) {
      if ((jubo.settings.PlaylistLoop == 1) != repeat) jubo.loop->PostKey(ground::KeyOf('L'));
    });
    return 0;
  }

  // The methods. Each answers at once; what it asks for happens on the loop's thread.
  int Call(std::string_view method, sd_bus_message* m, sd_bus_error* error) {
    int r = 0;
    if (method == "Play" || method == "Pause" || method == "PlayPause") {
      const Want want = method == "Play"    ? Want::kPlay
                        : method == "Pause" ? Want::kPause
                                            : Want::kToggle;
      OnLoop([want](screen::ScreenContext& jubo) { PlayOrPause(jubo, want); });
    } else if (method == "Stop" || method == "Next" || method == "Previous") {
      // With an empty playlist these letters would act as letters do in a list.
      const int16_t key = ground::KeyOf(method == "Stop" ? 'S' : method == "Next" ? 'N' : 'B');
      OnLoop([key](screen::ScreenContext& jubo) {
        if (jubo.playlist.SongCount > 0) jubo.loop->PostKey(key);
      });
    } else if (method == "Seek" || method == "SetPosition") {
      const char* track = nullptr;
      int64_t us = 0;
      r = method == "Seek" ? sd_bus_message_read(m, "x", &us)
                           : sd_bus_message_read(m, "ox", &track, &us);
      if (r < 0) return r;
      const bool relative = method == "Seek";
      OnLoop([relative, us, track = std::string(track ? track : ""),
              shared = shared_](screen::ScreenContext& jubo) {
        const MprisState s = ReadMprisState(jubo);
        if (!CanSeek(s)) return;
        const int64_t to = relative ? std::llround(s.position * 1e6) + us : us;
        if (!relative && (track != TrackId(s.entry) || to < 0 || to > s.length_us)) return;
        jubo.IdleSeconds = 0;
        playback::SeekTo(jubo, to / 1e6);
        {
          std::lock_guard<std::mutex> lock(shared->mutex);
          shared->seeked = std::clamp<int64_t>(to, 0, s.length_us);
        }
        shared->Wake();
      });
    } else if (method == "Quit") {
      OnLoop([quit = quit_](screen::ScreenContext&) { quit(); });
    } else if (method == "OpenUri") {
      return sd_bus_error_set(error, SD_BUS_ERROR_NOT_SUPPORTED,
                              "Jubo plays the songs of its library: add them from its lists");
    }
    // Raise: the window is the whole screen already.
    return sd_bus_reply_method_return(m, "");
  }

  static int OnGet(sd_bus*, const char*, const char*, const char* property, sd_bus_message* reply,
                   void* bus, sd_bus_error*) {
    return static_cast<Bus*>(bus)->Get(property, reply);
  }
  static int OnSet(sd_bus*, const char*, const char*, const char* property, sd_bus_message* value,
                   void* bus, sd_bus_error* error) {
    return static_cast<Bus*>(bus)->Set(property, value, error);
  }
  static int OnCall(sd_bus_message* m, void* bus, sd_bus_error* error) {
    return static_cast<Bus*>(bus)->Call(sd_bus_message_get_member(m), m, error);
  }
  static int Constant(sd_bus*, const char*, const char*, const char* property, sd_bus_message* m,
                      void*, sd_bus_error*) {
    const std::string_view name = property;
    if (name == "Identity") return sd_bus_message_append(m, "s", "Jubo Music Player");
    if (name == "DesktopEntry") return sd_bus_message_append(m, "s", "jubo");
    if (name == "SupportedUriSchemes") return sd_bus_message_append(m, "as", 1, "file");
    if (name == "SupportedMimeTypes") {
      return sd_bus_message_append(m, "as", 6, "audio/mpeg", "audio/flac", "audio/ogg",
                                   "audio/x-wav", "audio/mp4", "audio/x-ms-wma");
    }
    if (name.ends_with("Rate")) return sd_bus_message_append(m, "d", 1.0);
    // CanQuit and CanControl hold; CanRaise and HasTrackList do not.
    const bool yes = name == "CanQuit" || name == "CanControl";
    return sd_bus_message_append(m, "b", yes);
  }

  static constexpr uint64_t kConst = SD_BUS_VTABLE_PROPERTY_CONST;
  static constexpr uint64_t kChanges = SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE;
  static constexpr uint64_t kOpen = SD_BUS_VTABLE_UNPRIVILEGED;
  static const sd_bus_vtable kRootTable[];
  static const sd_bus_vtable kPlayerTable[];

  sd_bus* bus_;
  screen::ScreenContext& jubo_;
  std::function<void()> quit_;
  std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
  MprisState emitted_;  // what the bus was last told; the bus thread's
  std::thread thread_;
};

// clang-format off
const sd_bus_vtable Mpris::Bus::kRootTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("Raise", "", "", OnCall, kOpen),
    SD_BUS_METHOD("Quit", "", "", OnCall, kOpen),
    SD_BUS_PROPERTY("CanQuit", "b", Constant, 0, kConst),
    SD_BUS_PROPERTY("CanRaise", "b", Constant, 0, kConst),
    SD_BUS_PROPERTY("HasTrackList", "b", Constant, 0, kConst),
    SD_BUS_PROPERTY("Identity", "s", Constant, 0, kConst),
    SD_BUS_PROPERTY("DesktopEntry", "s", Constant, 0, kConst),
    SD_BUS_PROPERTY("SupportedUriSchemes", "as", Constant, 0, kConst),
    SD_BUS_PROPERTY("SupportedMimeTypes", "as", Constant, 0, kConst),
    SD_BUS_VTABLE_END};

const sd_bus_vtable Mpris::Bus::kPlayerTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("Next", "", "", OnCall, kOpen),
    SD_BUS_METHOD("Previous", "", "", OnCall, kOpen),
    SD_BUS_METHOD("Pause", "", "", OnCall, kOpen),
    SD_BUS_METHOD("PlayPause", "", "", OnCall, kOpen),
    SD_BUS_METHOD("Stop", "", "", OnCall, kOpen),
    SD_BUS_METHOD("Play", "", "", OnCall, kOpen),
    SD_BUS_METHOD("Seek", "x", "", OnCall, kOpen),
    SD_BUS_METHOD("SetPosition", "ox", "", OnCall, kOpen),
    SD_BUS_METHOD("OpenUri", "s", "", OnCall, kOpen),
    SD_BUS_SIGNAL("Seeked", "x", 0),
    SD_BUS_PROPERTY("PlaybackStatus", "s", OnGet, 0, kChanges),
    SD_BUS_WRITABLE_PROPERTY("LoopStatus", "s", OnGet, OnSet, 0, kChanges | kOpen),
    SD_BUS_PROPERTY("Rate", "d", Constant, 0, kConst),
    SD_BUS_PROPERTY("MinimumRate", "d", Constant, 0, kConst),
    SD_BUS_PROPERTY("MaximumRate", "d", Constant, 0, kConst),
    SD_BUS_PROPERTY("Metadata", "a{sv}", OnGet, 0, kChanges),
    SD_BUS_WRITABLE_PROPERTY("Volume", "d", OnGet, OnSet, 0, kChanges | kOpen),
    SD_BUS_PROPERTY("Position", "x", OnGet, 0, 0),
    SD_BUS_PROPERTY("CanGoNext", "b", OnGet, 0, kChanges),
    SD_BUS_PROPERTY("CanGoPrevious", "b", OnGet, 0, kChanges),
    SD_BUS_PROPERTY("CanPlay", "b", OnGet, 0, kChanges),
    SD_BUS_PROPERTY("CanPause", "b", OnGet, 0, kChanges),
    SD_BUS_PROPERTY("CanSeek", "b", OnGet, 0, kChanges),
    SD_BUS_PROPERTY("CanControl", "b", Constant, 0, kConst),
    SD_BUS_VTABLE_END};
// clang-format on

Mpris::Mpris(std::unique_ptr<Bus> bus) : bus_(std::move(bus)) {}
Mpris::~Mpris() = default;

std::unique_ptr<Mpris> Mpris::Start(screen::ScreenContext& jubo, std::function<void()> quit,
                                    std::string* error) {
  sd_bus* bus = nullptr;
  if (int r = sd_bus_open_user(&bus); r < 0) {
    *error = std::string("no session bus: ") + strerror(-r);
    return nullptr;
  }
  sd_bus_set_method_call_timeout(bus, kCallTimeoutUs);
  const int wake_fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wake_fd < 0) {
    *error = std::string("cannot make an eventfd: ") + strerror(errno);
    sd_bus_flush_close_unref(bus);
    return nullptr;
  }
  auto served = std::make_unique<Bus>(bus, wake_fd, jubo, std::move(quit));
  if (*error = served->Serve(); !error->empty()) return nullptr;
  return std::unique_ptr<Mpris>(new Mpris(std::move(served)));
}

void Mpris::Publish() { bus_->Publish(); }

}  // namespace remote

#include "phone/phone_server.h"

#include <httplib.h>
#include <limits.h>
#include <sys/stat.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <nlohmann/json.hpp>
#include <sstream>

#include "library/queries.h"
#include "phone/pairing.h"
#include "phone/song_search.h"
#include "remote/messages.h"
#include "screen/adding.h"
#include "screen/pairing_panel.h"
#include "settings/settings_store.h"

namespace phone {
namespace {

using Json = nlohmann::ordered_json;
using namespace std::chrono_literals;

constexpr int kThreads = 40;
constexpr int kMaxFollowers = 32;
constexpr size_t kMaxBody = 4096;
constexpr int kWrongCodes = 5;        // wrong codes before the TV shows another
constexpr auto kKeepAlive = 30s;      // the longest an event stream stays silent
constexpr auto kLoopAnswer = 30s;     // the longest a request waits for the event loop
constexpr auto kPairingPause = 5s;    // between two requests for a code from a page
constexpr int kPlaylistWindow = 200;  // entries /api/playlist gives at most
constexpr const char* kCookie = "jubo_token";
constexpr const char* kTenYears = "315360000";

std::string JsonText(const Json& json) {
  return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string ErrorBody(const std::string& message) { return JsonText({{"error", message}}); }

// The part of a screen answer that tells whether anything changed: all but the frame count,
// which the answer ends with.
std::string WithoutFrames(const std::string& answer) {
  return answer.substr(0, answer.rfind(",\"frames\":"));
}

std::string CookieToken(const httplib::Request& req) {
  const std::string cookies = req.get_header_value("Cookie");
  const std::string name = std::string(kCookie) + "=";
  for (size_t at = 0; at < cookies.size();) {
    size_t end = cookies.find(';', at);
    if (end == std::string::npos) end = cookies.size();
    size_t begin = cookies.find_first_not_of(' ', at);
    if (begin < end && cookies.compare(begin, name.size(), name) == 0) {
      return cookies.substr(begin + name.size(), end - begin - name.size());
    }
    at = end + 1;
  }
  return "";
}

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  unsigned char differ = 0;
  for (size_t i = 0; i < a.size(); ++i) differ |= static_cast<unsigned char>(a[i] ^ b[i]);
  return differ == 0;
}

const char* ContentType(const std::string& path) {
  static const std::pair<const char*, const char*> kTypes[] = {
      {".html", "text/html; charset=utf-8"},
      {".js", "text/javascript; charset=utf-8"},
      {".css", "text/css; charset=utf-8"},
      {".svg", "image/svg+xml"},
      {".png", "image/png"},
      {".json", "application/json"},
      {".ico", "image/x-icon"},
      {".webmanifest", "application/manifest+json"},
  };
  for (const auto& [ending, type] : kTypes) {
    const std::string_view e(ending);
    if (path.size() >= e.size() && path.compare(path.size() - e.size(), e.size(), e) == 0) {
      return type;
    }
  }
  return "application/octet-stream";
}

const char* StatusMessage(int status) {
  switch (status) {
    case 400:
      return "Bad request";
    case 404:
      return "Not found";
    case 413:
      return "The request is too large";
    case 414:
      return "The address is too long";
    case 431:
      return "The request's headers are too large";
    case 503:
      return "The TV is busy: try again";
  }
  return "The request failed";
}

}  // namespace

int WebPort() {
  if (const char* text = std::getenv("JUBO_WEB_PORT"); text != nullptr) {
    char* end = nullptr;
    const long port = std::strtol(text, &end, 10);
    if (end != text && *end == '\0' && port > 0 && port < 65536) return static_cast<int>(port);
  }
  return kDefaultPort;
}

struct PhoneService::Reply {
  int status = 204;
  std::string body;    // JSON; none for 204
  std::string cookie;  // a Set-Cookie value to send
};

// What the server's threads and the loop's tasks share, under `mutex`. Tasks still queued on
// the loop keep it alive after the server has gone.
struct PhoneService::Hub {
  std::mutex mutex;
  std::condition_variable changed;  // a loop answer came, the screen changed, or stopping
  bool stopping = false;
  std::vector<std::string> token_hashes;  // a copy of the settings' list
  std::shared_ptr<const SongSearch> search;
  std::string screen;    // the newest screen answer followers are to hear
  uint64_t version = 0;  // counts changes of `screen`
  std::atomic<int> followers{0};
  std::chrono::steady_clock::time_point last_pairing_request{};
};

class PhoneService::Server {
 public:
  Server(PhoneService& service, std::string root) : service_(service), hub_(*service.hub_) {
    root_ = std::move(root);
    http_.new_task_queue = [] { return new httplib::ThreadPool(kThreads); };
    http_.set_payload_max_length(kMaxBody);
    http_.set_read_timeout(5, 0);
    http_.set_write_timeout(5, 0);
    http_.set_keep_alive_timeout(5);
    http_.set_tcp_nodelay(true);
    Route();
  }

  // "" once listening on `port`, else why not.
  std::string Listen(int port) {
    if (!http_.bind_to_port("0.0.0.0", port)) {
      return "port " + std::to_string(port) + " is in use or cannot be opened";
    }
    thread_ = std::thread([this] { http_.listen_after_bind(); });
    return "";
  }

  ~Server() {
    {
      std::lock_guard<std::mutex> lock(hub_.mutex);
      hub_.stopping = true;
    }
    hub_.changed.notify_all();
    http_.stop();
    if (thread_.joinable()) thread_.join();
    std::lock_guard<std::mutex> lock(hub_.mutex);
    hub_.stopping = false;
  }

 private:
  using Request = httplib::Request;
  using Response = httplib::Response;

  static void Send(Response& res, const Reply& reply) {
    res.status = reply.status;
    if (!reply.cookie.empty()) res.set_header("Set-Cookie", reply.cookie);
    if (!reply.body.empty()) res.set_content(reply.body, "application/json");
  }
  static void Fail(Response& res, int status, const std::string& message) {
    Send(res, {status, ErrorBody(message), ""});
  }

  // Runs `task` on the loop's thread and gives its reply; 503 when the loop does not answer
  // in time or the server stops meanwhile.
  Reply OnLoop(std::function<Reply()> task) {
    struct Call {
      bool done = false;
      Reply reply;
    };
    auto call = std::make_shared<Call>();
    std::shared_ptr<Hub> hub = service_.hub_;
    service_.jubo_.loop->Post([hub, call, task = std::move(task)] {
      Reply reply = task();
      std::lock_guard<std::mutex> lock(hub->mutex);
      call->reply = std::move(reply);
      call->done = true;
      hub->changed.notify_all();
    });
    std::unique_lock<std::mutex> lock(hub_.mutex);
    hub_.changed.wait_for(lock, kLoopAnswer, [&] { return call->done || hub_.stopping; });
    if (!call->done) return {503, ErrorBody(StatusMessage(503)), ""};
    return call->reply;
  }

  // Whether the request carries a paired phone's token; answers 401 or 403 when not. A token
  // from the cookie must be repeated in X-Jubo-Token on a POST: another site's page can make
  // the browser send the cookie, but cannot read it to set the header.
  bool Allowed(const Request& req, Response& res) {
    bool bearer = false;
    const std::string token = TokenOf(req, &bearer);
    if (token.empty()) {
      Fail(res, 401, "Pair this phone first");
      return false;
    }
    bool known;
    {
      std::lock_guard<std::mutex> lock(hub_.mutex);
      known = TokenKnown(token, hub_.token_hashes);
    }
    if (!known) {
      Fail(res, 401, "This phone is not paired (any more): pair it again");
      return false;
    }
    if (!bearer && req.method == "POST" && !SameText(req.get_header_value("X-Jubo-Token"), token)) {
      Fail(res, 403, "The request lacks the X-Jubo-Token header");
      return false;
    }
    return true;
  }

  // The token a request carries: the Authorization header's (*bearer true), else the cookie's.
  static std::string TokenOf(const Request& req, bool* bearer) {
    const std::string authorization = req.get_header_value("Authorization");
    *bearer = authorization.rfind("Bearer ", 0) == 0;
    return *bearer ? authorization.substr(7) : CookieToken(req);
  }

  // The request's JSON object; answers 400 when it is not one.
  static std::optional<Json> Body(const Request& req, Response& res) {
    Json body = Json::parse(req.body, nullptr, false);
    if (body.is_discarded() || !body.is_object()) {
      Fail(res, 400, "The request is not a JSON object");
      return std::nullopt;
    }
    return body;
  }

  // An API handler that needs a paired phone.
  httplib::Server::Handler Paired(std::function<void(const Request&, Response&)> handler) {
    return [this, handler](const Request& req, Response& res) {
      if (Allowed(req, res)) handler(req, res);
    };
  }

  void Route() {
    http_.set_error_handler(httplib::Server::Handler([](const Request&, Response& res) {
      // Errors from the library itself (a body too large, no such route) in the API's form.
      if (res.body.empty()) {
        res.set_content(ErrorBody(StatusMessage(res.status)), "application/json");
      }
    }));
    http_.Post("/api/pairing", [this](const Request&, Response& res) { AskForCode(res); });
    http_.Post("/api/pair", [this](const Request& req, Response& res) { Pair(req, res); });
    http_.Get("/api/screen", Paired([this](const Request&, Response& res) {
                Send(res, OnLoop([this] { return Reply{200, service_.screen_(), ""}; }));
              }));
    http_.Post("/api/key", Paired([this](const Request& req, Response& res) { Key(req, res); }));
    http_.Post("/api/tap", Paired([this](const Request& req, Response& res) {
                 auto body = Body(req, res);
                 if (!body) return;
                 const Json row = body->value("row", Json());
                 if (!row.is_number_integer()) return Fail(res, 400, "Say which row");
                 Send(res, OnLoop([this, n = row.get<int>()] { return service_.Tap(n); }));
               }));
    http_.Get("/api/search",
              Paired([this](const Request& req, Response& res) { Search(req, res); }));
    http_.Post("/api/add", Paired([this](const Request& req, Response& res) { Add(req, res); }));
    http_.Get("/api/playlist", Paired([this](const Request&, Response& res) {
                Send(res, OnLoop([this] { return service_.Playlist(); }));
              }));
    http_.Get("/api/events",
              Paired([this](const Request& req, Response& res) { Follow(req, res); }));
    http_.Get(".*", [this](const Request& req, Response& res) { ServeFile(req, res); });
  }

  void AskForCode(Response& res) {
    {
      std::lock_guard<std::mutex> lock(hub_.mutex);
      const auto now = std::chrono::steady_clock::now();
      if (now - hub_.last_pairing_request < kPairingPause) {
        return Fail(res, 429, "Wait a few seconds before asking for another code");
      }
      hub_.last_pairing_request = now;
    }
    Send(res, OnLoop([this] {
           service_.ShowCode();
           return Reply{};
         }));
  }

  void Pair(const Request& req, Response& res) {
    auto body = Body(req, res);
    if (!body) return;
    const Json code = body->value("code", Json());
    if (!code.is_string()) return Fail(res, 400, "Send the code shown on the TV");
    Send(res, OnLoop([this, text = code.get<std::string>()] { return service_.Pair(text); }));
  }

  void Key(const Request& req, Response& res) {
    auto body = Body(req, res);
    if (!body) return;
    const Json name = body->value("key", Json());
    const remote::RemoteMessage* message =
        name.is_string() ? remote::MessageNamed(name.get<std::string>()) : nullptr;
    if (message == nullptr) return Fail(res, 400, "No such key");
    service_.jubo_.loop->PostKey(message->key);
    res.status = 204;
  }

  std::shared_ptr<const SongSearch> Searcher(Response& res) {
    std::lock_guard<std::mutex> lock(hub_.mutex);
    if (hub_.search == nullptr) Fail(res, 503, "Search is getting ready");
    return hub_.search;
  }

  void Search(const Request& req, Response& res) {
    const std::string query = req.get_param_value("q");
    std::shared_ptr<const SongSearch> search = Searcher(res);
    if (search == nullptr) return;
    Json results = Json::array();
    for (const SongSearch::Hit& hit : search->Find(query)) {
      const std::string id = "aru"[static_cast<int>(hit.kind)] + std::to_string(hit.index);
      switch (hit.kind) {
        case SongSearch::Kind::kAlbum: {
          const SongSearch::Album& album = search->albums()[hit.index];
          results.push_back({{"kind", "album"},
                             {"album", album.name},
                             {"artist", search->artists()[album.artist]},
                             {"id", id}});
          break;
        }
        case SongSearch::Kind::kArtist:
          results.push_back(
              {{"kind", "artist"}, {"artist", search->artists()[hit.index]}, {"id", id}});
          break;
        case SongSearch::Kind::kSong: {
          const SongSearch::Song& song = search->songs()[hit.index];
          results.push_back({{"kind", "song"},
                             {"title", search->Title(song)},
                             {"artist", search->artists()[song.artist]},
                             {"album", search->albums()[song.album].name},
                             {"id", id}});
          break;
        }
      }
    }
    Send(res, {200, JsonText({{"query", query}, {"results", results}}), ""});
  }

  void Add(const Request& req, Response& res) {
    auto body = Body(req, res);
    if (!body) return;
    const Json id = body->value("id", Json());
    const bool next = body->value("next", Json(false)).is_boolean() && body->value("next", false);
    std::shared_ptr<const SongSearch> search = Searcher(res);
    if (search == nullptr) return;
    const std::string text = id.is_string() ? id.get<std::string>() : "";
    char* end = nullptr;
    const unsigned long n = text.size() > 1 ? std::strtoul(text.c_str() + 1, &end, 10) : 0;
    const bool number = end != nullptr && *end == '\0' && std::isdigit(text[1]);
    std::function<Reply()> task;
    if (number && text[0] == 'a' && n < search->albums().size()) {
      task = [this, sql = library::AlbumTracksQuery(search->albums()[n].name, "All"), next] {
        return service_.Add(sql, next);
      };
    } else if (number && text[0] == 'r' && n < search->artists().size()) {
      task = [this, sql = library::ArtistSongsQuery(library::Escape(search->artists()[n])), next] {
        return service_.Add(sql, next);
      };
    } else if (number && text[0] == 'u' && n < search->songs().size()) {
      const SongSearch::Song& song = search->songs()[n];
      task = [this,
              entry = std::string(search->Title(song)) + " by " + search->artists()[song.artist],
              file = std::string(search->File(song)), next] {
        screen::AddSongNow(service_.jubo_, entry, file, next);
        return Reply{200, JsonText({{"added", 1}}), ""};
      };
    } else {
      return Fail(res, 404, "Nothing in the library has that id");
    }
    Send(res, OnLoop(std::move(task)));
  }

  // Server-sent events: the screen now, then at each change. The follower's thread waits for
  // a change and writes it; a follower that does not read fails its write after the write
  // timeout and is dropped, having held only the newest screen meanwhile.
  void Follow(const Request& req, Response& res) {
    if (++hub_.followers > kMaxFollowers) {
      --hub_.followers;
      return Fail(res, 503, "Too many followers");
    }
    Reply now = OnLoop([this] {
      service_.Publish(true);
      return Reply{200, "", ""};
    });
    if (now.status != 200) {
      --hub_.followers;
      return Send(res, now);
    }
    // Compressed, events would wait in the compressor until it had a block to send.
    const_cast<Request&>(req).headers.erase("Accept-Encoding");
    res.set_header("Cache-Control", "no-cache");
    auto heard = std::make_shared<uint64_t>(0);
    bool bearer = false;
    res.set_chunked_content_provider(
        "text/event-stream",
        [this, heard, token = TokenOf(req, &bearer)](size_t, httplib::DataSink& sink) {
          std::unique_lock<std::mutex> lock(hub_.mutex);
          // A phone forgotten meanwhile hears no more: its stream ends, and asking again it is
          // refused.
          const auto forgotten = [&] { return !TokenKnown(token, hub_.token_hashes); };
          const bool changed = hub_.changed.wait_for(lock, kKeepAlive, [&] {
            return hub_.version != *heard || hub_.stopping || forgotten();
          });
          if (hub_.stopping || forgotten()) return false;
          std::string event = ": keepalive\n\n";
          if (changed) {
            *heard = hub_.version;
            event = "event: screen\ndata: " + hub_.screen + "\n\n";
          }
          lock.unlock();
          return sink.write(event.data(), event.size());
        },
        [this](bool) { --hub_.followers; });
  }

  void ServeFile(const Request& req, Response& res) {
    const std::string path = req.path == "/" ? "/index.html" : req.path;
    char real[PATH_MAX];
    struct stat st;
    // Only files under the page's folder, whatever dots, encodings or links the path holds.
    if (req.path.rfind("/api/", 0) == 0 || path.find('\0') != std::string::npos || root_.empty() ||
        realpath((root_ + path).c_str(), real) == nullptr ||
        std::string_view(real).rfind(root_ + "/", 0) != 0 || stat(real, &st) != 0 ||
        !S_ISREG(st.st_mode)) {
      return Fail(res, 404, StatusMessage(404));
    }
    std::ifstream file(real, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    res.set_header("Cache-Control", "no-cache");
    res.set_content(bytes.str(), ContentType(real));
  }

  PhoneService& service_;
  Hub& hub_;
  std::string root_;  // the page's folder, its real path; "" when it does not exist
  httplib::Server http_;
  std::thread thread_;
};

PhoneService::PhoneService(dialogs::DialogContext& jubo, std::function<std::string()> screen,
                           std::string page_folder, int port)
    : jubo_(jubo),
      screen_(std::move(screen)),
      page_folder_(std::move(page_folder)),
      port_(port),
      hub_(std::make_shared<Hub>()) {}

PhoneService::~PhoneService() {
  Stop();
  if (search_builder_.joinable()) search_builder_.join();
}

std::string PhoneService::Start() {
  if (server_ != nullptr) return "";
  {
    std::lock_guard<std::mutex> lock(hub_->mutex);
    hub_->token_hashes = jubo_.settings.PhoneTokenHashes;
  }
  char real[PATH_MAX];
  auto server = std::make_unique<Server>(*this, realpath(page_folder_.c_str(), real) ? real : "");
  if (std::string problem = server->Listen(port_); !problem.empty()) return problem;
  server_ = std::move(server);
  jubo_.display->SetFrameListener([this] { Publish(false); });
  BuildSearch();
  return "";
}

void PhoneService::Stop() {
  if (server_ == nullptr) return;
  jubo_.display->SetFrameListener(nullptr);
  server_.reset();
  screen::HidePairing(jubo_);
}

std::string PhoneService::Switch(bool on) {
  if (!on) {
    Stop();
    return "";
  }
  if (std::string problem = Start(); !problem.empty()) return problem;
  ShowCode();
  return "";
}

void PhoneService::ForgetPhones() {
  jubo_.settings.PhoneTokenHashes.clear();
  settings::SavePhoneTokens(jubo_.store, jubo_.settings);
  {
    std::lock_guard<std::mutex> lock(hub_->mutex);
    hub_->token_hashes.clear();
  }
  hub_->changed.notify_all();  // followers end their streams
}

void PhoneService::LibraryLoaded(const textdb::TableImage& image, std::string folder) {
  image_ = image;
  library_folder_ = std::move(folder);
  if (server_ != nullptr) BuildSearch();
}

void PhoneService::BuildSearch() {
  if (image_.empty() || search_builder_.joinable()) return;
  search_builder_ = std::thread([hub = hub_, image = image_, folder = library_folder_] {
    std::string problem;
    std::shared_ptr<const SongSearch> search = SongSearch::Build(image, folder, &problem);
    if (search == nullptr) std::fprintf(stderr, "jubo: no phone search: %s\n", problem.c_str());
    std::lock_guard<std::mutex> lock(hub->mutex);
    hub->search = std::move(search);
  });
}

void PhoneService::ShowCode() {
  const std::string address = PageAddress(port_);
  tries_left_ = kWrongCodes;
  screen::ShowPairing(jubo_, NewPairingCode(), address, QrCodeOf(address));
}

void PhoneService::Publish(bool always) {
  if (hub_->followers == 0) return;
  std::string answer = screen_();
  std::string key = WithoutFrames(answer);
  if (!always && key == last_published_) return;
  last_published_ = std::move(key);
  {
    std::lock_guard<std::mutex> lock(hub_->mutex);
    hub_->screen = std::move(answer);
    ++hub_->version;
  }
  hub_->changed.notify_all();
}

PhoneService::Reply PhoneService::Pair(const std::string& code) {
  const screen::PairingState& shown = jubo_.pairing;
  if (!shown.shown) return {403, ErrorBody("Ask for a code on the TV first"), ""};
  if (!SameText(code, shown.code)) {
    if (--tries_left_ > 0) {
      return {403, JsonText({{"error", "Wrong code"}, {"tries", tries_left_}}), ""};
    }
    ShowCode();
    return {403, ErrorBody("Too many wrong codes: a new code is on the TV"), ""};
  }
  const std::string token = NewToken();
  jubo_.settings.PhoneTokenHashes.push_back(Sha256Hex(token));
  settings::SavePhoneTokens(jubo_.store, jubo_.settings);
  {
    std::lock_guard<std::mutex> lock(hub_->mutex);
    hub_->token_hashes = jubo_.settings.PhoneTokenHashes;
  }
  screen::HidePairing(jubo_);
  return {200, JsonText({{"token", token}}),
          std::string(kCookie) + "=" + token +
              "; HttpOnly; SameSite=Strict; Path=/; Max-Age=" + kTenYears};
}

PhoneService::Reply PhoneService::Add(const std::string& sql, bool next) {
  return {200, JsonText({{"added", screen::AddSongsNow(jubo_, sql, next)}}), ""};
}

PhoneService::Reply PhoneService::Tap(int row) {
  const screen::ScreenState& s = jubo_.screen;
  if (row < 1 || row > s.RowsShown) return {400, ErrorBody("No such row"), ""};
  // The arrow keys move the highlight, as if pressed: the views' own rules apply.
  const remote::RemoteMessage* key = remote::MessageNamed(row > s.CurrentRow ? "down" : "up");
  for (int steps = std::abs(row - s.CurrentRow); steps > 0; --steps) jubo_.loop->PostKey(key->key);
  return {};
}

PhoneService::Reply PhoneService::Playlist() {
  const playback::PlaylistState& p = jubo_.playlist;
  const int32_t first =
      std::max(0, std::min(p.CurrentSong - kPlaylistWindow / 2, p.SongCount - kPlaylistWindow));
  const int32_t last = std::min(p.SongCount, first + kPlaylistWindow);
  Json entries = Json::array();
  for (int32_t i = first; i < last; ++i) {
    // An entry is listed as "Title by Artist".
    const std::string& text = p.Playlist[static_cast<size_t>(i)].text();
    const size_t by = text.rfind(" by ");
    entries.push_back({{"title", by == std::string::npos ? text : text.substr(0, by)},
                       {"artist", by == std::string::npos ? "" : text.substr(by + 4)}});
  }
  return {200,
          JsonText({{"current", p.CurrentSong},
                    {"count", p.SongCount},
                    {"first", first},
                    {"entries", entries}}),
          ""};
}

}  // namespace phone

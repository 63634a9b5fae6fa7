#include "remote/endpoint.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "remote/line_reader.h"
#include "remote/messages.h"

namespace remote {
namespace {

// Lines posted to the loop and not yet run. Past this the listener stops reading until the
// loop catches up: a client that sends keys faster than they are handled waits in its socket's
// buffer (its send blocks) instead of growing the loop's queue without bound.
constexpr int kMaxInFlight = 1024;
// How often a listener that stopped reading looks whether the loop has caught up.
constexpr int kCatchUpPollMs = 5;
// Connections kept at once. Remote software connects, sends and goes; past this the oldest
// connection is closed for the newest, so idle connections can neither pile up nor run the
// process out of descriptors (where accept would fail and poll report the socket forever).
constexpr size_t kMaxClients = 64;

// A connected client. The listener thread reads from it; answers are written on the loop's
// thread, so the descriptor is closed under the lock and writes check it first. The listener
// and every answer still to send own it: a client that has finished sending is closed when
// the last of its answers has gone.
struct Client {
  std::mutex mutex;
  int fd = -1;
  uint64_t serial = 0;  // order of connection; the lowest is the oldest
  LineReader reader;

  ~Client() { Close(); }

  void Send(const std::string& line) {
    std::lock_guard<std::mutex> lock(mutex);
    if (fd < 0) return;
    size_t sent = 0;
    while (sent < line.size()) {
      ssize_t n = send(fd, line.data() + sent, line.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
      // A client that does not read its answers loses them; the program never waits on it.
      if (n <= 0) return;
      sent += static_cast<size_t>(n);
    }
  }
  void Close() {
    std::lock_guard<std::mutex> lock(mutex);
    if (fd >= 0) close(fd);
    fd = -1;
  }
};

bool PeerIsUs(int fd) {
  struct ucred peer;
  socklen_t length = sizeof peer;
  return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.uid == getuid();
}

}  // namespace

class Endpoint::Listener {
 public:
  Listener(std::string path, int listen_fd, int wake_read, int wake_write, ground::EventLoop& loop,
           std::function<std::string()> screen)
      : path_(std::move(path)),
        listen_fd_(listen_fd),
        wake_read_(wake_read),
        wake_write_(wake_write),
        loop_(loop),
        screen_(std::move(screen)) {
    thread_ = std::thread([this] { Run(); });
  }

  ~Listener() {
    char byte = 0;
    (void)!write(wake_write_, &byte, 1);
    thread_.join();
    for (auto& [fd, client] : clients_) client->Close();
    close(listen_fd_);
    close(wake_read_);
    close(wake_write_);
    unlink(path_.c_str());
  }

 private:
  void Run() {
    for (;;) {
      std::vector<pollfd> fds = {{wake_read_, POLLIN, 0}, {listen_fd_, POLLIN, 0}};
      const bool catching_up = *in_flight_ >= kMaxInFlight;
      if (!catching_up) {
        for (const auto& [fd, client] : clients_) fds.push_back({fd, POLLIN, 0});
      }
      if (poll(fds.data(), fds.size(), catching_up ? kCatchUpPollMs : -1) < 0) {
        if (errno == EINTR) continue;
        return;
      }
      if (fds[0].revents != 0) return;
      if (fds[1].revents & POLLIN) Accept();
      for (size_t i = 2; i < fds.size(); ++i) {
        if (fds[i].revents != 0) Read(fds[i].fd);
      }
    }
  }

  void Accept() {
    int fd = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) return;
    if (!PeerIsUs(fd)) {
      close(fd);
      return;
    }
    if (clients_.size() >= kMaxClients) {
      auto oldest = std::min_element(clients_.begin(), clients_.end(), [](auto& a, auto& b) {
        return a.second->serial < b.second->serial;
      });
      oldest->second->Close();
      clients_.erase(oldest);
    }
    auto client = std::make_shared<Client>();
    client->fd = fd;
    client->serial = ++serial_;
    clients_[fd] = std::move(client);
  }

  void Read(int fd) {
    std::shared_ptr<Client> client = clients_[fd];
    char buffer[4096];
    ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
    std::vector<std::string> lines;
    bool flood =
        n > 0 && !client->reader.Feed(std::string_view(buffer, static_cast<size_t>(n)), &lines);
    int posted = 0;
    for (const std::string& line : lines) posted += Handle(client, line);
    if (posted > 0) {
      *in_flight_ += posted;
      loop_.Post([in_flight = in_flight_, posted] { *in_flight -= posted; });
    }
    if (flood) {
      clients_.erase(fd);
      client->Close();  // its answers are dropped too
    } else if (n <= 0) {
      // The end of what it sends (socat and nc shut their writing side at the end of input):
      // stop reading, and leave the connection to the answers still owed, which close it.
      clients_.erase(fd);
    }
  }

  // Posts what `line` asks for; returns how many tasks that made (0 or 1).
  int Handle(const std::shared_ptr<Client>& client, const std::string& line) {
    if (line == "screen") {
      // Posted behind the keys this client sent before, so it answers once they are delivered.
      loop_.Post([screen = screen_, client] { client->Send(screen() + "\n"); });
      return 1;
    }
    std::optional<long> number = ParseMessageNumber(line);
    std::optional<int16_t> key = number ? KeyForMessage(*number) : std::nullopt;
    if (!key) return 0;
    loop_.PostKey(*key);
    return 1;
  }

  std::string path_;
  int listen_fd_, wake_read_, wake_write_;
  ground::EventLoop& loop_;
  std::function<std::string()> screen_;
  std::map<int, std::shared_ptr<Client>> clients_;  // listener thread only
  uint64_t serial_ = 0;                             // connections accepted so far
  // Lines posted and not yet run; tasks on the loop hold it, so it may outlive the listener.
  std::shared_ptr<std::atomic<int>> in_flight_ = std::make_shared<std::atomic<int>>(0);
  std::thread thread_;
};

Endpoint::Endpoint(std::unique_ptr<Listener> listener) : listener_(std::move(listener)) {}
Endpoint::~Endpoint() = default;

std::unique_ptr<Endpoint> Endpoint::Start(const std::string& folder, ground::EventLoop& loop,
                                          std::function<std::string()> screen, std::string* error) {
  const std::string path = folder + "/" + kSocketName;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) {
    *error = "the socket path " + path + " is too long";
    return nullptr;
  }
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) {
    *error = std::string("cannot make a socket: ") + std::strerror(errno);
    return nullptr;
  }
  unlink(path.c_str());  // one a killed copy left
  mode_t old_mask = umask(0177);
  bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  umask(old_mask);
  int pipe_fds[2];
  if (!bound || listen(fd, 16) != 0 || pipe2(pipe_fds, O_CLOEXEC) != 0) {
    *error = "cannot listen on " + path + ": " + std::strerror(errno);
    close(fd);
    return nullptr;
  }
  return std::unique_ptr<Endpoint>(new Endpoint(
      std::make_unique<Listener>(path, fd, pipe_fds[0], pipe_fds[1], loop, std::move(screen))));
}

}  // namespace remote

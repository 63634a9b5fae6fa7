#include "remote/endpoint.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "remote/line_reader.h"
#include "remote/messages.h"

namespace remote {
namespace {

// A connected client. The listener thread reads from it; answers are written on the loop's
// thread, so the descriptor is closed under the lock and writes check it first.
struct Client {
  std::mutex mutex;
  int fd = -1;
  LineReader reader;

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
  Listener(std::string path, int listen_fd, int wake_read, int wake_write, app::EventLoop& loop,
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
      for (const auto& [fd, client] : clients_) fds.push_back({fd, POLLIN, 0});
      if (poll(fds.data(), fds.size(), -1) < 0) {
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
    auto client = std::make_shared<Client>();
    client->fd = fd;
    clients_[fd] = std::move(client);
  }

  void Read(int fd) {
    std::shared_ptr<Client> client = clients_[fd];
    char buffer[4096];
    ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
    std::vector<std::string> lines;
    bool keep =
        n > 0 && client->reader.Feed(std::string_view(buffer, static_cast<size_t>(n)), &lines);
    for (const std::string& line : lines) Handle(client, line);
    if (!keep) {
      clients_.erase(fd);
      client->Close();
    }
  }

  void Handle(const std::shared_ptr<Client>& client, const std::string& line) {
    if (line == "screen") {
      // Posted behind the keys this client sent before, so it answers once they are delivered.
      loop_.Post([screen = screen_, client] { client->Send(screen() + "\n"); });
      return;
    }
    std::optional<long> number = ParseMessageNumber(line);
    std::optional<int16_t> key = number ? KeyForMessage(*number) : std::nullopt;
    if (key) loop_.PostKey(*key);
  }

  std::string path_;
  int listen_fd_, wake_read_, wake_write_;
  app::EventLoop& loop_;
  std::function<std::string()> screen_;
  std::map<int, std::shared_ptr<Client>> clients_;  // listener thread only
  std::thread thread_;
};

Endpoint::Endpoint(std::unique_ptr<Listener> listener) : listener_(std::move(listener)) {}
Endpoint::~Endpoint() = default;

std::unique_ptr<Endpoint> Endpoint::Start(const std::string& folder, app::EventLoop& loop,
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

// jubo-bench-clients SOCKET SECONDS: for SECONDS, plays every kind of remote client against a
// running Jubo, one after another as fast as it takes them, for the soak (bench/run_soak):
// bursts of keys (moving, paging, changing songs); floods of 20,000 keys sent without waiting;
// garbage and lines far longer than the protocol allows; a megabyte without a line break; the
// screen query followed by the end of input; half a line; and idle connections that stay open,
// 32 at a time. Prints what it did; exits 1 when the socket cannot be reached at all.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <random>
#include <string>

namespace {

int Connect(const char* path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (std::strlen(path) >= sizeof address.sun_path) return -1;
  std::strcpy(address.sun_path, path);
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    fd = -1;
  }
  return fd;
}

bool SendAll(int fd, const std::string& data) {
  for (size_t sent = 0; sent < data.size();) {
    ssize_t n = send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

// Keys that keep the program busy without ending it or stopping the music: no Escape (the exit
// question), no Enter, Stop, Clear or Settings.
const char* const kKeys[] = {"0x8001", "0x8002", "0x8003", "0x8004", "0x8007", "0x8008",
                             "0x8009", "0x800A", "0x800D", "0x800E", "0x8014"};

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc == 3 ? std::atof(argv[2]) : 0;
  if (seconds <= 0) {
    std::fprintf(stderr, "usage: jubo-bench-clients SOCKET SECONDS\n");
    return 1;
  }
  const char* path = argv[1];
  std::mt19937 random(42);
  auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
  std::deque<int> idle;
  long connections = 0, keys = 0, answers = 0, refused = 0;
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  timeval limit{10, 0};
  while (std::chrono::steady_clock::now() < end) {
    int fd = Connect(path);
    if (fd < 0) {
      if (++refused > 1000 && connections == 0) {
        std::fprintf(stderr, "jubo-bench-clients: cannot reach %s\n", path);
        return 1;
      }
      usleep(1000);
      continue;
    }
    ++connections;
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    std::string data;
    switch (connections % 10) {
      case 0:
        if (connections % 100 == 0) {  // a megabyte and more without a line break: dropped
          data.assign((1 << 20) + 4096, 'x');
        } else if (connections % 50 == 0) {  // a flood of keys, sent without waiting
          for (int i = 0; i < 20000; ++i) data += std::string(kKeys[pick(std::size(kKeys))]) + "\n";
          keys += 20000;
        }
        break;
      case 1:
      case 2: {  // garbage and long lines
        for (int i = 0; i < 20; ++i) {
          std::string line(1 + pick(i % 5 == 0 ? 5000 : 80), ' ');
          for (char& c : line) c = static_cast<char>(1 + pick(255));
          for (char& c : line) c = c == '\n' ? 'n' : c;
          data += line + "\n";
        }
        break;
      }
      case 3: {  // the screen query, then the end of input, as socat and nc do
        SendAll(fd, "screen\n");
        shutdown(fd, SHUT_WR);
        char buffer[4096];
        while (recv(fd, buffer, sizeof buffer, 0) > 0) {
        }
        ++answers;
        break;
      }
      case 4:  // says nothing; stays connected for a while
        idle.push_back(fd);
        fd = -1;
        if (idle.size() > 32) {
          close(idle.front());
          idle.pop_front();
        }
        break;
      case 5:  // half a line
        data = "0x80";
        break;
      default:  // a burst of keys
        for (int i = 0; i < 50; ++i) data += std::string(kKeys[pick(std::size(kKeys))]) + "\n";
        keys += 50;
        break;
    }
    if (fd >= 0) {
      SendAll(fd, data);
      close(fd);
    }
  }
  for (int fd : idle) close(fd);
  std::printf("%ld connections, %ld keys, %ld screen answers\n", connections, keys, answers);
  return 0;
}

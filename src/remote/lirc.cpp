#include "remote/lirc.h"

#include <lirc/lirc_client.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "remote/line_reader.h"
#include "remote/messages.h"

namespace remote {
namespace {

// lircd's button names for the remote messages. Left is "back" in every view, and Escape asks
// to leave the program from the Main Menu: Back steps back, Exit asks.
struct LircButton {
  std::string_view button;
  std::string_view message;  // jubo-remote's name for the message
  bool repeats;              // held down, it acts again at each repeat lircd sends
};
constexpr LircButton kButtons[] = {
    {"KEY_UP", "up", true},
    {"KEY_DOWN", "down", true},
    {"KEY_LEFT", "left", true},
    {"KEY_RIGHT", "right", true},
    {"KEY_PAGEUP", "pageup", true},
    {"KEY_PAGEDOWN", "pagedown", true},
    {"KEY_OK", "enter", false},
    {"KEY_ENTER", "enter", false},
    {"KEY_BACK", "left", false},
    {"KEY_EXIT", "escape", false},
    {"KEY_MENU", "menu", false},
    {"KEY_HOME", "menu", false},
    {"KEY_PLAY", "play", false},
    {"KEY_PAUSE", "play", false},
    {"KEY_PLAYPAUSE", "play", false},
    {"KEY_STOP", "stop", false},
    {"KEY_NEXT", "next", false},
    {"KEY_NEXTSONG", "next", false},
    {"KEY_PREVIOUS", "previous", false},
    {"KEY_PREVIOUSSONG", "previous", false},
    {"KEY_FASTFORWARD", "forward", false},
    {"KEY_REWIND", "rewind", false},
    // The level moves while the button is held, as on a television.
    {"KEY_VOLUMEUP", "volume+", true},
    {"KEY_VOLUMEDOWN", "volume-", true},
    {"KEY_MUTE", "mute", false},
};

// The next word of `line`, which loses it and the blanks before it.
std::string_view NextWord(std::string_view& line) {
  const size_t start = line.find_first_not_of(' ');
  if (start == std::string_view::npos) return line = {};
  line.remove_prefix(start);
  const size_t end = std::min(line.find(' '), line.size());
  const std::string_view word = line.substr(0, end);
  line.remove_prefix(end);
  return word;
}

}  // namespace

std::optional<int16_t> KeyForLircLine(std::string_view line) {
  const std::string_view code = NextWord(line), repeat_text = NextWord(line);
  const std::string_view button = NextWord(line);
  unsigned repeat = 0;
  const auto parsed =
      std::from_chars(repeat_text.data(), repeat_text.data() + repeat_text.size(), repeat, 16);
  if (code.empty() || button.empty() || parsed.ec != std::errc() ||
      parsed.ptr != repeat_text.data() + repeat_text.size()) {
    return std::nullopt;
  }
  for (const LircButton& b : kButtons) {
    if (b.button != button) continue;
    if (repeat > 0 && !b.repeats) return std::nullopt;
    return MessageNamed(b.message)->key;
  }
  return std::nullopt;
}

class Lirc::Reader {
 public:
  Reader(int fd, int wake_fd, ground::EventLoop& loop) : fd_(fd), wake_fd_(wake_fd), loop_(loop) {
    thread_ = std::thread([this] { Run(); });
  }
  ~Reader() {
    const uint64_t one = 1;
    (void)!write(wake_fd_, &one, sizeof one);
    thread_.join();
    close(fd_);
    close(wake_fd_);
  }

 private:
  void Run() {
    // A line names the remote as lircd.conf does, often at length
    // ("Microsoft_Xbox360_Universal_Media_Remote").
    LineReader reader(256);
    std::vector<std::string> lines;
    for (;;) {
      pollfd fds[2] = {{fd_, POLLIN, 0}, {wake_fd_, POLLIN, 0}};
      if (poll(fds, 2, -1) < 0) {
        if (errno == EINTR) continue;
        return;
      }
      if (fds[1].revents != 0) return;
      char buffer[1024];
      const ssize_t n = read(fd_, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      lines.clear();
      if (n <= 0 || !reader.Feed(std::string_view(buffer, static_cast<size_t>(n)), &lines)) {
        std::fprintf(stderr, "jubo: the infrared remote is gone: lircd %s\n",
                     n == 0  ? "closed its socket"
                     : n < 0 ? strerror(errno)
                             : "sent no lines");
        return;
      }
      for (const std::string& line : lines) {
        if (std::optional<int16_t> key = KeyForLircLine(line)) loop_.PostKey(*key);
      }
    }
  }

  int fd_, wake_fd_;
  ground::EventLoop& loop_;
  std::thread thread_;
};

Lirc::Lirc(std::unique_ptr<Reader> reader) : reader_(std::move(reader)) {}
Lirc::~Lirc() = default;

std::unique_ptr<Lirc> Lirc::Start(const std::string& path, ground::EventLoop& loop,
                                  std::string* error) {
  error->clear();
  const int fd = lirc_get_local_socket(path.empty() ? nullptr : path.c_str(), 1);
  if (fd == -ENOENT) return nullptr;
  const int wake_fd = fd < 0 ? -1 : eventfd(0, EFD_CLOEXEC);
  if (fd < 0 || wake_fd < 0) {
    *error = std::string("cannot read lircd's socket") + (path.empty() ? "" : " " + path) + ": " +
             strerror(fd < 0 ? -fd : errno);
    if (fd >= 0) close(fd);
    return nullptr;
  }
  return std::unique_ptr<Lirc>(new Lirc(std::make_unique<Reader>(fd, wake_fd, loop)));
}

}  // namespace remote

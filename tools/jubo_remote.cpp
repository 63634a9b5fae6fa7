// jubo-remote: drives a running Jubo from the command line or from remote-control software.
//
//   jubo-remote [--wait] KEY...      KEY: escape up down left right enter play next previous
//                                    forward rewind stop saver pageup pagedown nonstop shuffle
//                                    repeat clear settings menu volume+ volume- mute, or a
//                                    message number (0x8005)
//   jubo-remote screen               prints what is on the screen, as one line of JSON
//
// Keys are sent in order. With --wait each key waits until the program has taken it and waits
// for input again (in the main screen or inside a question), so a script can send a key that
// opens a question and answer it in the next call. Exit status: 0 when sent; 1 with "Jubo is
// not running" when no program listens; 2 for a key it does not know.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "remote/messages.h"
#include "remote/runtime_folder.h"

namespace {

int Connect() {
  std::string path = remote::RuntimeFolderPath() + "/" + remote::kSocketName;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return -1;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    fd = -1;
  }
  return fd;
}

bool SendLine(int fd, const std::string& line) {
  std::string data = line + "\n";
  size_t sent = 0;
  while (sent < data.size()) {
    ssize_t n = send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

// Reads one line of answer; false when the program went away first.
bool ReadLine(int fd, std::string* line) {
  line->clear();
  char c;
  for (;;) {
    ssize_t n = recv(fd, &c, 1, 0);
    if (n <= 0) return false;
    if (c == '\n') return true;
    line->push_back(c);
  }
}

int NotRunning() {
  std::fprintf(stderr, "Jubo is not running\n");
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  bool wait = false;
  std::vector<std::string> lines;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--wait") {
      wait = true;
    } else if (arg == "screen" || remote::ParseMessageNumber(arg)) {
      lines.push_back(arg);
    } else if (const remote::RemoteMessage* m = remote::MessageNamed(arg)) {
      lines.push_back(std::to_string(m->number));
    } else {
      std::string names;
      for (const remote::RemoteMessage& known : remote::kMessages) {
        names += std::string(" ") + known.name;
      }
      std::fprintf(stderr, "jubo-remote: unknown key '%s'; keys:%s, a message number, or screen\n",
                   arg.c_str(), names.c_str());
      return 2;
    }
  }
  if (lines.empty()) {
    std::fprintf(stderr, "usage: jubo-remote [--wait] KEY... | screen\n");
    return 2;
  }
  int fd = Connect();
  if (fd < 0) return NotRunning();
  std::string answer;
  for (const std::string& line : lines) {
    if (!SendLine(fd, line)) return NotRunning();
    if (line == "screen") {
      if (!ReadLine(fd, &answer)) return NotRunning();
      std::printf("%s\n", answer.c_str());
    } else if (wait) {
      // The answer comes once the key has been delivered and the program waits again.
      if (!SendLine(fd, "screen") || !ReadLine(fd, &answer)) return NotRunning();
    }
  }
  close(fd);
  return 0;
}

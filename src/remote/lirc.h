// The infrared remote: button presses that lircd decodes, read from its socket on a thread of
// its own that only posts keys into the event loop, each as if pressed. lircd writes a line a
// press, "code repeat button remote" ("0000000000000001 00 KEY_DOWN living-room"); a button is
// known by its name in the kernel's KEY_ namespace and stands for one of the remote messages
// (messages.h). Held down, only the arrows and the page keys repeat.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "ground/event_loop.h"

namespace remote {

// The key a line from lircd stands for; nullopt for a button Jubo has no use for, a repeat of
// one that does not repeat, or a line that is not a press.
std::optional<int16_t> KeyForLircLine(std::string_view line);

class Lirc {
 public:
  // Reads lircd's socket: `path`, else the LIRC client library's (LIRC_SOCKET_PATH, else
  // /var/run/lirc/lircd). Returns nullptr with *error empty when there is no socket (the
  // remote is optional hardware), or with the reason when it cannot be read.
  static std::unique_ptr<Lirc> Start(const std::string& path, ground::EventLoop& loop,
                                     std::string* error);
  // Stops reading and closes the socket.
  ~Lirc();
  Lirc(const Lirc&) = delete;
  Lirc& operator=(const Lirc&) = delete;

 private:
  class Reader;
  explicit Lirc(std::unique_ptr<Reader> reader);
  std::unique_ptr<Reader> reader_;
};

}  // namespace remote

// The "Remote" endpoint: a Unix stream socket in the runtime folder (mode 0600, peers of other
// users refused) on which remote-control software sends one message number a line, or the
// query `screen`. A listener thread only cuts lines and posts: each message becomes a key
// posted to the event loop, in arrival order, exactly as if pressed; each query becomes a task
// on the loop that answers with one line of JSON once the keys before it have been delivered
// and the program waits for input again. A client that shuts its writing side still gets an
// answer to every complete line it sent; its connection closes after the last one. Keys sent
// faster than the loop takes them wait in the client's socket; at most 64 clients stay
// connected, the oldest giving way to a new one.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "ground/event_loop.h"
#include "remote/runtime_folder.h"

namespace remote {

class Endpoint {
 public:
  // Listens on `folder`/Remote, replacing a socket a killed copy left behind (the caller holds
  // the single-copy lock, so no live copy uses it). `screen` runs on the loop's thread and gives
  // the query's answer. Returns nullptr with a reason in *error when the socket cannot be made.
  static std::unique_ptr<Endpoint> Start(const std::string& folder, ground::EventLoop& loop,
                                         std::function<std::string()> screen, std::string* error);
  // Stops listening, disconnects every client and removes the socket.
  ~Endpoint();
  Endpoint(const Endpoint&) = delete;
  Endpoint& operator=(const Endpoint&) = delete;

 private:
  class Listener;
  explicit Endpoint(std::unique_ptr<Listener> listener);
  std::unique_ptr<Listener> listener_;
};

}  // namespace remote

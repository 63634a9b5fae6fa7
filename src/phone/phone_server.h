// The phone remote: a small web server on the home network (cpp-httplib, threads of its own)
// serving the phone page (assets/web/) and its JSON API, paired with phones through a code
// shown on the TV. Its threads only read what never changes (the page's files, the search)
// or post to the event loop: keys exactly as the socket posts them, everything else as tasks
// answered on the loop's thread. Followers of /api/events hear of each change of the screen
// query's answer when the display draws a new picture: nothing runs while nothing changes.
//
// Bounds: 40 threads (at most 32 of them following events, each holding only the newest
// screen, so one that stops reading is dropped after the write timeout without holding up
// the others); 4 KiB request bodies; 8 KiB headers and URIs; 5 s read and write timeouts.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "dialogs/dialog_context.h"
#include "screen/phone_remote.h"
#include "textdb/connection.h"

namespace phone {

inline constexpr int kDefaultPort = 8765;
// JUBO_WEB_PORT when it holds a port number, else kDefaultPort.
int WebPort();

class PhoneService : public screen::PhoneRemote {
 public:
  // Serves `page_folder` on `port` once switched on; `screen` gives the screen query's answer
  // (on the loop's thread). `jubo` must outlive the service, which lives on the loop's thread.
  PhoneService(dialogs::DialogContext& jubo, std::function<std::string()> screen,
               std::string page_folder, int port);
  ~PhoneService() override;
  PhoneService(const PhoneService&) = delete;
  PhoneService& operator=(const PhoneService&) = delete;

  std::string Switch(bool on) override;
  void ForgetPhones() override;
  // Starts serving without showing the panel (the setting was on at start-up). Returns "" or
  // why it could not.
  std::string Start();
  void Stop();
  // The library has loaded: its search is built on a thread of its own from `image` (whose
  // connection must outlive the service) once the page is first served; until then a search
  // answers that it is getting ready.
  void LibraryLoaded(const textdb::TableImage& image, std::string folder);

 private:
  class Server;
  struct Hub;
  void BuildSearch();
  void ShowCode();
  void Publish(bool always);
  // Request handlers that run on the loop's thread, each giving status and JSON body.
  struct Reply;
  Reply Pair(const std::string& code);
  Reply Add(const std::string& id, bool next);
  Reply Tap(int row);
  Reply Playlist();

  dialogs::DialogContext& jubo_;
  std::function<std::string()> screen_;
  std::string page_folder_;
  int port_;
  std::shared_ptr<Hub> hub_;
  std::unique_ptr<Server> server_;
  int tries_left_ = 0;          // wrong codes the code on the TV still takes
  std::string last_published_;  // the screen answer followers heard last, its frame count cut
  textdb::TableImage image_;
  std::string library_folder_;
  std::thread search_builder_;
};

}  // namespace phone

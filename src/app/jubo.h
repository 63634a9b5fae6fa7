// The program's state in one place: each layer's context extends the one below it (sound,
// player, screen, dialogs), and this one adds what only the program as a whole has. main()
// wires the real outside world (SDL, libmpv); tests wire fakes.
#pragma once

#include <memory>
#include <string>

#include "dialogs/dialog_context.h"
#include "phone/phone_server.h"
#include "remote/endpoint.h"

namespace app {

struct Jubo : dialogs::DialogContext {
  std::string folder;          // the program's folder, where jubodb.txt lives
  std::string runtime_folder;  // where the Remote socket goes; empty: no remote control
  std::string cache_folder;    // where the loaded library is kept between runs; empty: it is not
  std::string asset_folder;    // the program's assets, where the help text (help.txt) is read

  std::unique_ptr<remote::Endpoint> remote;  // listening from start-up to the ending
  // The phone remote, serving while switched on in Settings; made at start-up.
  std::unique_ptr<phone::PhoneService> phone_service;

  int exit_status = 0;
};

}  // namespace app

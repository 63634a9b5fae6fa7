// jubo: the program's entry, and the one place that tells how the parts meet.
//
// main() refuses a second running copy, opens the window (platform/, the only code that knows
// SDL), and wires the real outside world into the program's context (app/jubo.h): the event
// loop, the display, text measurement, the cue player, the media player (platform/mpv_player,
// the only code that knows libmpv), the random source and the settings file (settings/).
// RunJubo (app/startup.cpp) then loads the settings and the sound events, lays the screen out
// (with the help text, assets/help.txt),
// starts the remote control's socket (remote/: so that a message at start-up can be answered
// from the sofa) and the other remotes (MPRIS on the session bus, lircd's buttons: each a thread
// that only posts keys and tasks into the loop), opens the library (library/, on the text-file
// driver of textdb/), shows the splash while jubodb.txt loads (or its cache,
// library/library_cache.h, when that still holds it), draws the Main Menu, keeps a library read
// from its file in the cache on a thread of its own, and runs the event loop.
//
// The story of a key press: SDL reports a key-down (or, later, the remote-control socket posts
// one); the platform maps it to the program's key code and hands it to the innermost running
// loop. In the main screen that is Form_KeyDown (app/key_dispatch.cpp), which zeroes the idle
// count, serves the global hotkeys and passes every other key to the handler of the view on
// the screen (screen/main_menu.cpp and the other views). A handler moves the highlight with a
// cue (sound/cues.cpp), runs a view's query through the library's query builders, fills the
// main form's model, or asks a question through a dialog (dialogs/: confirm, count,
// information, all run by the one modal skeleton of dialogs/modal.cpp), whose own nested loop
// gets the keys until it closes. After every batch of events the platform draws
// the shown forms from their models, when they look different from the picture on the screen.
// Timers (the status panel's Timer1 and TrackTimer, the player window's 50 ms timer, the
// dialogs' timers) tick on the same loop, which sleeps until the next one falls due.
//
// The story of a song: the playlist engine (playback/player_engine.cpp) hands the media player
// one file. libmpv opens and plays it on threads of its own, which only post to the loop; on
// the loop's thread the player reads mpv's events and raises its own (ready, playing, ended,
// failed). The engine answers them there: a song that ended loads the next, which starts as
// soon as the player says it is ready (or at the next tick of the 50 ms timer); a song that
// starts has its details looked up in the library for the status panel. The engine draws and
// asks nothing: it tells the screen's context (PlayerChanged, SongChanged, SongFailed), which
// updates the status panel and Now Playing, or shows "Could not play" once the event is over.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/instance_lock.h"
#include "app/jubo.h"
#include "app/startup.h"
#include "common/user_folder.h"
#include "library/library_cache.h"
#include "library/library_connection.h"
#include "platform/asset_folder.h"
#include "platform/mpv_player.h"
#include "platform/sdl_platform.h"
#include "platform/sdl_wave_player.h"
#include "remote/runtime_folder.h"
#include "settings/json_file_store.h"

namespace {

// The program's folder, where jubodb.txt is read: JUBO_HOME when set. Else, for an installed
// program, the user's data folder, $XDG_DATA_HOME/jubo (~/.local/share/jubo): the folder of an
// installed executable (/usr/bin) is no place for a user's library. Else, in the build tree, the
// executable's own folder.
std::string ProgramFolder() {
  if (const char* home = std::getenv("JUBO_HOME"); home != nullptr && *home != '\0') return home;
  if (platform::RunsInstalled()) {
    if (std::string data = common::XdgFolder("XDG_DATA_HOME", ".local/share"); !data.empty()) {
      return data + "/jubo";
    }
  }
  const std::string folder = platform::ExecutableFolder();
  return folder.empty() ? "." : folder;
}

constexpr const char* kUsage = "usage: jubo [--help | --version]\n";

// `jubo --version`, and `jubo --help`: where this start would read the library, the settings and
// the pictures, which is what someone who just installed Jubo needs to know. Anything else on
// the command line is refused with status 2.
int AnswerArguments(int argc, char** argv) {
  const std::string option = argv[1];
  if (argc == 2 && option == "--version") {
    std::printf("%s %s\n", app::kProductName, app::kVersionText);
    return 0;
  }
  if (argc == 2 && (option == "--help" || option == "-h")) {
    const std::string settings_file = settings::UserSettingsPath();
    std::printf(
        "%sThe full-screen music jukebox; keys, the remote control and the environment: man jubo.\n"
        "Library:  %s/%s\nSettings: %s\nPictures: %s\n",
        kUsage, ProgramFolder().c_str(), library::kLibraryFile,
        settings_file.empty() ? "kept until the program ends (no home folder)"
                              : settings_file.c_str(),
        platform::AssetFolder().c_str());
    return 0;
  }
  std::fprintf(stderr, "jubo: unknown argument '%s'\n%s", option.c_str(), kUsage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) return AnswerArguments(argc, argv);
  std::string runtime, error;
  if (!remote::MakeRuntimeFolder(&runtime, &error)) {
    std::fprintf(stderr, "jubo: %s\n", error.c_str());
    return 1;
  }
  app::InstanceLock lock;
  switch (lock.Acquire(runtime, &error)) {
    case app::InstanceLock::Result::kAcquired:
      break;
    case app::InstanceLock::Result::kHeldElsewhere:
      return 0;  // a copy runs already: leave it be, silently
    case app::InstanceLock::Result::kError:
      std::fprintf(stderr, "jubo: %s\n", error.c_str());
      return 1;
  }

  std::unique_ptr<platform::SdlPlatform> sdl = platform::SdlPlatform::Create(&error);
  if (sdl == nullptr) {
    std::fprintf(stderr, "jubo: cannot open the screen: %s\n", error.c_str());
    return 1;
  }
  platform::SdlWavePlayer waves;
  // JUBO_AUDIO_OUTPUT names mpv's audio output ("null" for none) or a Snapcast server's pipe
  // ("snapcast:PIPE"), over the device chosen in Settings; else that device, which start-up
  // applies once the settings are read.
  const char* audio_output = std::getenv("JUBO_AUDIO_OUTPUT");
  std::unique_ptr<platform::MpvPlayer> player =
      platform::MpvPlayer::Create(*sdl, audio_output != nullptr ? audio_output : "", &error);
  if (player == nullptr) {
    std::fprintf(stderr, "jubo: cannot start the media player: %s\n", error.c_str());
    return 1;
  }
  // Video controls (the saver's visualisation) show the player's pictures.
  sdl->SetVideoSource(player.get());
  ground::ClockRandom random;
  // The user's settings file; without a home folder they are kept for this run only.
  std::unique_ptr<settings::Store> store;
  if (std::string path = settings::UserSettingsPath(); !path.empty()) {
    auto file = std::make_unique<settings::JsonFileStore>(path);
    if (std::string problem = file->Load(); !problem.empty()) {
      std::fprintf(stderr, "jubo: %s\n", problem.c_str());
    }
    store = std::move(file);
  } else {
    std::fprintf(stderr, "jubo: no home folder: the settings are kept until the program ends\n");
    store = std::make_unique<settings::MemoryStore>();
  }

  app::Jubo jubo;
  jubo.loop = sdl.get();
  jubo.display = sdl.get();
  jubo.measure = sdl.get();
  jubo.waves = &waves;
  jubo.player = player.get();
  jubo.random = &random;
  jubo.store = store.get();
  jubo.folder = ProgramFolder();
  jubo.runtime_folder = runtime;
  jubo.cache_folder = library::CacheFolder();
  jubo.asset_folder = platform::AssetFolder();
  const int status = app::RunJubo(jubo);
  sdl->SetVideoSource(nullptr);  // the player goes before the screen
  return status;
}

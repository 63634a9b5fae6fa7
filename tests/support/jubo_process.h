// The built program run as a user runs it, for tests from outside: SDL's offscreen driver, no
// sound, and a home and runtime folder of the test's own.
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/run_program.h"
#include "support/temp_dir.h"

namespace jubo_test {

// What a copy started here writes when it finds no session bus: the tests give it none of the
// user's, only a private one of their own when they ask for it.
inline constexpr const char* kNoBusLine =
    "jubo: no MPRIS: no session bus: No such file or directory\n";

class JuboProcess {
 public:
  // Starts `binary` (jubo by default) with JUBO_HOME=home, XDG_CONFIG_HOME=runtime/config (the
  // settings) and XDG_RUNTIME_DIR=runtime (its library cache in runtime/cache), its standard
  // error going to `err_path`; no session bus and no lircd unless `env` names them
  // (DBUS_SESSION_BUS_ADDRESS, JUBO_LIRC_SOCKET).
  JuboProcess(const std::string& home, const std::string& runtime, const std::string& err_path,
              const std::string& binary = JUBO_BINARY, const Env& env = {});
  ~JuboProcess();  // kills it if it still runs
  JuboProcess(const JuboProcess&) = delete;
  JuboProcess& operator=(const JuboProcess&) = delete;

  // The exit status once the process ends within `limit`; -1 if it is still running.
  int WaitExit(std::chrono::milliseconds limit);
  void Signal(int signal) { kill(pid_, signal); }
  void Terminate() { Signal(SIGTERM); }

 private:
  pid_t pid_ = -1;
  bool exited_ = false;
};

// Runs a command with XDG_RUNTIME_DIR=runtime; returns its exit status and fills *out with what
// it printed (its standard output, then its standard error).
int RunCommand(const std::vector<std::string>& argv, const std::string& runtime, std::string* out);

// The built program over a home folder (its library and settings) and a runtime folder of its
// own, driven through jubo-remote as remote software does.
struct RemoteJubo {
  // Starts a copy (again), its standard error going to runtime/err, and waits until its remote
  // answers; false if it never does.
  bool Start();
  // Runs jubo-remote with `args`, leaving what it printed in `out`; returns its exit status.
  int Remote(std::vector<std::string> args) {
    args.insert(args.begin(), JUBO_REMOTE);
    return RunCommand(args, runtime.path().string(), &out);
  }
  // The screen answer; null when the remote does not give one.
  nlohmann::json Screen() {
    return Remote({"screen"}) == 0 ? nlohmann::json::parse(out) : nlohmann::json();
  }

  TempDir home, runtime;
  Env env;  // what the copy's environment has besides JuboProcess's
  std::string out;
  std::unique_ptr<JuboProcess> process;
};

// Waits until `done` holds, for at most a minute (a loaded machine and a sanitizer build start
// the program slowly; the limit only keeps a broken program from hanging the test).
bool Eventually(const std::function<bool()>& done);

}  // namespace jubo_test

#include "support/jubo_process.h"

#include <sys/wait.h>
#include <unistd.h>

#include <thread>

namespace jubo_test {

using namespace std::chrono_literals;

namespace {

Env ProcessEnv(const std::string& home, const std::string& runtime, const Env& extra) {
  Env env = {{"JUBO_HOME", home},
             {"XDG_RUNTIME_DIR", runtime},
             {"XDG_CONFIG_HOME", runtime + "/config"},
             {"XDG_CACHE_HOME", runtime + "/cache"},  // not the user's
             {"SDL_VIDEODRIVER", "offscreen"},
             {"JUBO_WINDOW", "800x600"},
             {"JUBO_AUDIO_OUTPUT", "null"},
             {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + runtime + "/no-bus"},
             {"JUBO_LIRC_SOCKET", runtime + "/no-lircd"}};
  env.insert(env.end(), extra.begin(), extra.end());  // set later, so they win
  return env;
}

}  // namespace

JuboProcess::JuboProcess(const std::string& home, const std::string& runtime,
                         const std::string& err_path, const std::string& binary, const Env& env)
    : pid_(Spawn(binary, {}, ".", ProcessEnv(home, runtime, env), "/dev/null", err_path)) {}

JuboProcess::~JuboProcess() {
  if (pid_ > 0 && !exited_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

int JuboProcess::WaitExit(std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  int status = 0;
  while (waitpid(pid_, &status, WNOHANG) != pid_) {
    if (std::chrono::steady_clock::now() > end) return -1;
    std::this_thread::sleep_for(10ms);
  }
  exited_ = true;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int RunCommand(const std::vector<std::string>& argv, const std::string& runtime, std::string* out) {
  const RunResult run =
      RunProgram(argv[0], {argv.begin() + 1, argv.end()}, ".", {{"XDG_RUNTIME_DIR", runtime}});
  *out = run.out + run.err;
  return run.status;
}

bool RemoteJubo::Start() {
  process = nullptr;  // a copy still running ends first
  process = std::make_unique<JuboProcess>(home.path().string(), runtime.path().string(),
                                          (runtime.path() / "err").string(), JUBO_BINARY, env);
  return Eventually([this] { return Remote({"screen"}) == 0; });
}

bool Eventually(const std::function<bool()>& done) {
  const auto give_up = std::chrono::steady_clock::now() + 60s;
  while (!done()) {
    if (std::chrono::steady_clock::now() > give_up) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

}  // namespace jubo_test

#include "support/jubo_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "support/run_program.h"

namespace jubo_test {

using namespace std::chrono_literals;

JuboProcess::JuboProcess(const std::string& home, const std::string& runtime,
                         const std::string& err_path, const std::string& binary) {
  pid_ = fork();
  if (pid_ == 0) {
    int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(err, 2);
    setenv("JUBO_HOME", home.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
    setenv("XDG_CACHE_HOME", (runtime + "/cache").c_str(), 1);  // not the user's
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("JUBO_WINDOW", "800x600", 1);
    setenv("JUBO_AUDIO_OUTPUT", "null", 1);
    execl(binary.c_str(), binary.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
}

JuboProcess::~JuboProcess() {
  if (pid_ > 0 && !exited_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

int JuboProcess::WaitExit(std::chrono::milliseconds limit) {
  auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      exited_ = true;
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::this_thread::sleep_for(10ms);
  }
  return -1;
}

int RunCommand(const std::vector<std::string>& argv, const std::string& runtime, std::string* out) {
  const RunResult run = RunProgram(argv[0], {argv.begin() + 1, argv.end()}, ".",
                                   {{"XDG_RUNTIME_DIR", runtime}});
  *out = run.out + run.err;
  return run.status;
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

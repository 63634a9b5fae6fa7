// Running one of our command-line programs from a test as a user runs it: in a folder of the
// test's choosing, its standard output and error kept apart, and unable to read what its
// permissions forbid even when the tests run as root.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/capability.h>
#include <netinet/in.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "support/temp_dir.h"

namespace jubo_test {

struct RunResult {
  int status = -1;  // exit status, or -1 when the program did not exit normally
  std::string out, err;
};

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

using Env = std::vector<std::pair<std::string, std::string>>;

// Starts `program` with `args` in `folder`, with the variables `env` set on top of ours and its
// standard output and error going to the files `out` and `err`; returns its process id.
inline pid_t Spawn(const std::string& program, const std::vector<std::string>& args,
                   const std::filesystem::path& folder, const Env& env,
                   const std::filesystem::path& out, const std::filesystem::path& err) {
  std::vector<char*> argv = {const_cast<char*>(program.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid != 0) return pid;
  // Dropped from the bounding set, the overrides stay gone across exec, even for root.
  if (geteuid() == 0) {
    prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0);
    prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0);
  }
  const int out_fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const int err_fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (out_fd < 0 || err_fd < 0 || dup2(out_fd, 1) < 0 || dup2(err_fd, 2) < 0 ||
      chdir(folder.c_str()) != 0) {
    _exit(126);
  }
  for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
  execv(program.c_str(), argv.data());
  _exit(127);
}

// A TCP port nobody listens on now, for a server the test starts; 0 when none can be had.
inline int FreePort() {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{AF_INET, 0, {}, {}};
  socklen_t size = sizeof address;
  const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
                     getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0;
  close(fd);
  return bound ? ntohs(address.sin_port) : 0;
}

// Runs `program` as Spawn starts it and waits for it; its output passes through a scratch
// folder of its own.
inline RunResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                            const std::filesystem::path& folder, const Env& env = {}) {
  RunResult result;
  const TempDir scratch;
  const std::filesystem::path out = scratch.path() / "out", err = scratch.path() / "err";
  const pid_t pid = Spawn(program, args, folder, env, out, err);
  int status = 0;
  if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
    result.status = WEXITSTATUS(status);
  }
  result.out = ReadFile(out);
  result.err = ReadFile(err);
  return result;
}

}  // namespace jubo_test

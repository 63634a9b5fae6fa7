#include "bench/pulse_recording.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

#include "bench/tone_wav.h"

namespace bench {

namespace fs = std::filesystem;

Peer::Peer(const fs::path& dir, const std::string& name, const std::vector<std::string>& args,
           const std::string& out) {
  const std::string program = "/usr/bin/" + name;
  std::vector<char*> argv = {const_cast<char*>(program.c_str())};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const std::string out_path = dir / out, err_path = dir / (name + ".err");
  pid_ = fork();
  if (pid_ != 0) return;
  const int out_fd = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const int err_fd = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (out_fd < 0 || err_fd < 0 || dup2(out_fd, 1) < 0 || dup2(err_fd, 2) < 0 ||
      chdir(dir.c_str()) != 0) {
    _exit(126);
  }
  execv(program.c_str(), argv.data());
  _exit(127);
}

Peer::~Peer() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
}

namespace {

// Waits up to 30 s for `ready()`; a benchmark's or a test's start, not a measure.
bool WaitFor(const std::function<bool()>& ready) {
  for (int i = 0; i < 3000 && !ready(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return ready();
}

}  // namespace

std::unique_ptr<PulseRecording> PulseRecording::Start(const fs::path& dir, std::string* error) {
  std::unique_ptr<PulseRecording> room(new PulseRecording(dir));
  const fs::path run = dir / "run", socket = run / "pulse" / "native", raw = dir / "rec.raw";
  fs::create_directories(run);
  chmod(run.c_str(), 0700);
  for (const auto& [name, value] : {std::pair<std::string, std::string>("XDG_RUNTIME_DIR", run),
                                    {"PULSE_SERVER", "unix:" + socket.string()},
                                    {"PULSE_SINK", "rec"}}) {
    const char* old = std::getenv(name.c_str());
    room->saved_env_.emplace_back(name, old == nullptr ? "\x01" : old);
    setenv(name.c_str(), value.c_str(), 1);
  }
  room->server_ = std::make_unique<Peer>(
      dir, "pulseaudio",
      std::vector<std::string>{"-n", "--exit-idle-time=-1", "-L", "module-null-sink sink_name=rec",
                               "-L", "module-native-protocol-unix"});
  if (!WaitFor([&] { return fs::exists(socket); })) {
    *error = "PulseAudio did not start: see " + (dir / "pulseaudio.err").string();
    return nullptr;
  }
  // The null sink's monitor gives silence while nothing plays: the first bytes tell that the
  // recorder listens.
  room->recorder_ = std::make_unique<Peer>(
      dir, "parec",
      std::vector<std::string>{"-d", "rec.monitor", "--raw", "--format=s16le", "--channels=1",
                               "--rate=" + std::to_string(kToneRate)},
      "rec.raw");
  std::error_code missing;  // then file_size answers -1
  if (!WaitFor([&] { return fs::file_size(raw, missing) > 0 && !missing; })) {
    *error = "parec recorded nothing: see " + (dir / "parec.err").string();
    return nullptr;
  }
  return room;
}

PulseRecording::~PulseRecording() {
  recorder_.reset();
  server_.reset();
  for (const auto& [name, value] : saved_env_) {
    if (value == "\x01") {
      unsetenv(name.c_str());
    } else {
      setenv(name.c_str(), value.c_str(), 1);
    }
  }
}

std::vector<int16_t> PulseRecording::Samples() const { return ReadSamples(dir_ / "rec.raw"); }

int64_t PulseRecording::Recorded() const {
  std::error_code missing;
  const auto bytes = fs::file_size(dir_ / "rec.raw", missing);
  return missing ? 0 : static_cast<int64_t>(bytes / 2);
}

std::vector<int16_t> ReadSamples(const fs::path& raw) {
  std::ifstream in(raw, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  std::vector<int16_t> samples(bytes.size() / 2);
  if (!samples.empty()) std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
  return samples;
}

ToneBreaks FindBreaks(const std::vector<int16_t>& samples) {
  int amplitude = 0;
  for (const int16_t v : samples) amplitude = std::max(amplitude, std::abs(v));
  const auto loud = [&](int16_t v) { return std::abs(v) > amplitude / 2; };
  const auto begin = std::find_if(samples.begin(), samples.end(), loud);
  const auto end = std::find_if(samples.rbegin(), samples.rend(), loud).base();
  ToneBreaks breaks;
  if (begin >= end) return breaks;
  breaks.sounded = end - begin;
  // A 440 Hz tone moves at most amplitude * 2 sin(pi 440 / rate) from one sample to the next.
  const double step = amplitude * 2 * std::sin(M_PI * 440 / kToneRate) * 1.05 + 4;
  int run = 0;
  for (auto at = begin + 1; at < end; ++at) {
    run = std::abs(*at) < amplitude / 20 ? run + 1 : 0;
    // Longer near zero than the tone's crossing of zero: a silence, counted from its start.
    const bool jump = std::abs(*at - *(at - 1)) > step;
    breaks.silences += run == 16;
    breaks.silent += run == 16 ? 16 : run > 16;
    breaks.jumps += jump;
    if (run == 16 || jump) breaks.at.push_back(at - begin - (run == 16 ? 16 : 0));
  }
  return breaks;
}

}  // namespace bench

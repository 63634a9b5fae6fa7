// Real sound servers beside the player, for the gap benchmark and the libmpv tests: programs run
// for as long as an object lives, a private PulseAudio whose one sink is recorded, and what a
// recording of the tone (bench/tone_wav.h) tells of the gaps in it.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace bench {

// A program of /usr/bin started in `dir`, its standard output to `dir`/`out` and its errors to
// `dir`/NAME.err; stopped (SIGTERM, then waited for) when this goes.
class Peer {
 public:
  Peer(const std::filesystem::path& dir, const std::string& name,
       const std::vector<std::string>& args, const std::string& out = "out");
  ~Peer();
  Peer(const Peer&) = delete;
  Peer& operator=(const Peer&) = delete;

 private:
  pid_t pid_;
};

// A PulseAudio server of its own in `dir`, with one null sink whose sound is recorded, mono
// 16-bit at the tones' rate, from before Start returns. While it lives, this process's PulseAudio
// clients (libmpv's "pulse" output) play into that sink; the environment is restored after.
// A null sink is paced in real time as a sound card is, so a gap heard is a gap recorded (a
// file output, not being real time, shows none).
class PulseRecording {
 public:
  // Nullptr, with the reason in *error, when the server or the recorder does not start within
  // 30 s.
  static std::unique_ptr<PulseRecording> Start(const std::filesystem::path& dir,
                                               std::string* error);
  ~PulseRecording();

  std::vector<int16_t> Samples() const;  // the recording so far
  int64_t Recorded() const;              // how many samples that is, without reading them

 private:
  explicit PulseRecording(std::filesystem::path dir) : dir_(std::move(dir)) {}
  std::filesystem::path dir_;
  std::unique_ptr<Peer> server_, recorder_;
  std::vector<std::pair<std::string, std::string>> saved_env_;
};

// The 16-bit samples of a raw file (interleaved as written).
std::vector<int16_t> ReadSamples(const std::filesystem::path& raw);

// What a recording of the tone holds between its first and its last loud sample.
struct ToneBreaks {
  int64_t sounded = 0;      // samples from the first loud one to the last
  int silences = 0;         // runs near zero longer than the tone's own crossing of zero
  int64_t silent = 0;       // samples in those runs
  int jumps = 0;            // steps from one sample to the next larger than the tone ever makes
  std::vector<int64_t> at;  // where each silence begins and each step is, from the first loud one
};
ToneBreaks FindBreaks(const std::vector<int16_t>& samples);

}  // namespace bench

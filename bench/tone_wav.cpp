#include "bench/tone_wav.h"

#include <sndfile.h>

#include <cmath>
#include <vector>

namespace bench {

bool WriteToneWav(const std::string& path, double seconds) {
  constexpr int kRate = 44100;
  SF_INFO info{};
  info.samplerate = kRate;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (file == nullptr) return false;
  const auto frames = static_cast<size_t>(std::lround(seconds * kRate));
  std::vector<short> samples(frames);
  for (size_t i = 0; i < frames; ++i) {
    samples[i] =
        static_cast<short>(8000 * std::sin(2 * M_PI * 440 * static_cast<double>(i) / kRate));
  }
  bool written = sf_write_short(file, samples.data(), static_cast<sf_count_t>(frames)) ==
                 static_cast<sf_count_t>(frames);
  return sf_close(file) == 0 && written;
}

}  // namespace bench

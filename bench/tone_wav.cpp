#include "bench/tone_wav.h"

#include <sndfile.h>

#include <cmath>
#include <vector>

namespace bench {

namespace {

bool WriteTone(const std::string& path, double seconds, int format, double amplitude) {
  constexpr int kRate = 44100;
  SF_INFO info{};
  info.samplerate = kRate;
  info.channels = 1;
  info.format = format;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (file == nullptr) return false;
  const auto frames = static_cast<size_t>(std::lround(seconds * kRate));
  std::vector<short> samples(frames);
  for (size_t i = 0; i < frames; ++i) {
    samples[i] = static_cast<short>(amplitude * 32767 *
                                    std::sin(2 * M_PI * 440 * static_cast<double>(i) / kRate));
  }
  bool written = sf_write_short(file, samples.data(), static_cast<sf_count_t>(frames)) ==
                 static_cast<sf_count_t>(frames);
  return sf_close(file) == 0 && written;
}

}  // namespace

bool WriteToneWav(const std::string& path, double seconds) {
  return WriteTone(path, seconds, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 8000.0 / 32767);
}

bool WriteToneFlac(const std::string& path, double seconds, double amplitude) {
  return WriteTone(path, seconds, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, amplitude);
}

}  // namespace bench

#include "bench/tone_wav.h"

#include <sndfile.h>

#include <cmath>
#include <vector>

namespace bench {

bool WriteToneWav(const std::string& path, double seconds) {
  return WriteToneSlice(path, 0, std::lround(seconds * kToneRate), ToneFormat::kWav);
}

bool WriteToneFlac(const std::string& path, double seconds, double amplitude) {
  return WriteToneSlice(path, 0, std::lround(seconds * kToneRate), ToneFormat::kFlac, amplitude);
}

bool WriteToneSlice(const std::string& path, int64_t first, int64_t count, ToneFormat format,
                    double amplitude) {
  SF_INFO info{};
  info.samplerate = kToneRate;
  info.channels = 1;
  info.format = (format == ToneFormat::kFlac ? SF_FORMAT_FLAC : SF_FORMAT_WAV) | SF_FORMAT_PCM_16;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (file == nullptr) return false;
  std::vector<short> samples(static_cast<size_t>(count));
  for (size_t i = 0; i < samples.size(); ++i) {
    const auto n = static_cast<double>(first + static_cast<int64_t>(i));
    samples[i] = static_cast<short>(amplitude * 32767 * std::sin(2 * M_PI * 440 * n / kToneRate));
  }
  bool written = sf_write_short(file, samples.data(), count) == count;
  return sf_close(file) == 0 && written;
}

}  // namespace bench

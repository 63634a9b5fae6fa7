// Songs for tests and benchmarks of the real player.
#pragma once

#include <cstdint>
#include <string>

namespace bench {

inline constexpr int kToneRate = 44100;  // samples a second of every tone written here
inline constexpr double kToneAmplitude = 8000.0 / 32767;  // the tones' peak, of full scale

// Writes a mono 16-bit WAV file of a 440 Hz tone, `seconds` long. False when it cannot.
bool WriteToneWav(const std::string& path, double seconds);
// The same tone as 16-bit FLAC, its peak at `amplitude` (1 is full scale). False when it cannot.
bool WriteToneFlac(const std::string& path, double seconds, double amplitude);

enum class ToneFormat { kWav, kFlac };
// Writes samples [first, first + count) of the tone, as one file of `format`: slices cut one
// after the other play as the tone itself. False when it cannot.
bool WriteToneSlice(const std::string& path, int64_t first, int64_t count, ToneFormat format,
                    double amplitude = kToneAmplitude);

}  // namespace bench

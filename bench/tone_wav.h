// Songs for tests and benchmarks of the real player.
#pragma once

#include <string>

namespace bench {

// Writes a mono 16-bit WAV file of a 440 Hz tone, `seconds` long. False when it cannot.
bool WriteToneWav(const std::string& path, double seconds);
// The same tone as 16-bit FLAC, its peak at `amplitude` (1 is full scale). False when it cannot.
bool WriteToneFlac(const std::string& path, double seconds, double amplitude);

}  // namespace bench

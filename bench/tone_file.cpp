// jubo-bench-tone PATH SECONDS: writes a mono 16-bit WAV file of a 440 Hz tone, SECONDS long, for
// benchmarks that need a real song to play. Exits 1 with a message when it cannot.
#include <cstdio>
#include <cstdlib>

#include "bench/tone_wav.h"

int main(int argc, char** argv) {
  const double seconds = argc == 3 ? std::atof(argv[2]) : 0;
  if (seconds <= 0) {
    std::fprintf(stderr, "usage: jubo-bench-tone PATH SECONDS\n");
    return 1;
  }
  if (!bench::WriteToneWav(argv[1], seconds)) {
    std::fprintf(stderr, "jubo-bench-tone: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}

// jubo-genlib DIR N [SEED]: writes a made-up library of N songs (100k, 1M accepted) to
// DIR/jubodb.txt, creating DIR if needed. The same N and SEED (default 1) give the same file.
//
// Exit status: 0 on success; 2 with a one-line message when the file cannot be written; 1 on
// wrong usage.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "bench/library_generator.h"

int main(int argc, char** argv) {
  std::optional<int64_t> songs = argc >= 3 ? bench::ParseCount(argv[2]) : std::nullopt;
  std::optional<int64_t> seed = argc == 4 ? bench::ParseCount(argv[3]) : 1;
  if (argc < 3 || argc > 4 || !songs || !seed) {
    std::fprintf(stderr, "usage: jubo-genlib DIR N [SEED]   (N and SEED positive, e.g. 100k)\n");
    return 1;
  }
  std::error_code error;
  std::filesystem::create_directories(argv[1], error);
  if (error) {
    std::fprintf(stderr, "jubo-genlib: cannot create %s: %s\n", argv[1], error.message().c_str());
    return 2;
  }
  std::string failure = bench::WriteLibrary(argv[1], *songs, static_cast<uint64_t>(*seed));
  if (!failure.empty()) {
    std::fprintf(stderr, "jubo-genlib: %s\n", failure.c_str());
    return 2;
  }
  return 0;
}

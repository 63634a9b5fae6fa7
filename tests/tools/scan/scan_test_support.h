// What the scan tests share: tagged songs written the way taggers leave them, and times to
// give files.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "scan/song.h"
#include "support/run_program.h"

namespace scan {

// Prints a song as its fields, so a failed comparison shows them.
inline void PrintTo(const Song& s, std::ostream* out) {
  *out << "{album '" << s.album << "' artist '" << s.artist << "' title '" << s.title << "' track '"
       << s.track << "' file '" << s.filename << "' genre '" << s.genre << "' tempo '" << s.tempo
       << "'}";
}

}  // namespace scan

namespace scan_test {

// Tags to write; empty ones are left out. `artist` may hold several values separated by '\n'.
struct Tags {
  std::string title, artist, album, track, genre, bpm, tempo;
};

// Writes a fifth of a second of sound at `path` (its folders made as needed) in the format its
// extension names (wav, flac, ogg, opus, mp3), encoded by libsndfile, then writes `tags` into
// it with TagLib (an MP3 gets ID3v2, or only ID3v1 when `id3v1_only`). Untagged when `tags` is all
// empty. A failure fails the calling test.
void WriteSong(const std::filesystem::path& path, const Tags& tags, bool id3v1_only = false);

using jubo_test::ReadFile;
using jubo_test::RunProgram;
using jubo_test::RunResult;

// Writes `bytes` at `path`, making the folders it needs.
void WriteFile(const std::filesystem::path& path, const std::string& bytes);

// Sets the modification time of `path` to `hours` from now (before it when negative); a failure
// fails the calling test.
void SetModified(const std::filesystem::path& path, int hours);

// Waits until a file made in `folder` gets a later status-change time than every file below
// it (readable to this process), however coarse the file system's clock: files a scan that
// starts then counts as settled. Fails the calling test after a minute.
void WaitUntilSettled(const std::filesystem::path& folder);

}  // namespace scan_test

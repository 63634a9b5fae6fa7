#include "scan/tags.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "scan_test_support.h"
#include "support/temp_dir.h"

namespace scan {
namespace {

namespace fs = std::filesystem;

TEST(IsAudioNameTest, ExtensionsTagLibReadsInAnyCase) {
  struct Case {
    std::string_view name;
    bool audio;
  };
  const Case kCases[] = {
      {"A.MP3", true},      {"a.Flac", true},      {"/m/x.y/a.ape", true},
      {"cover.jpg", false}, {"mp3", false},        {".mp3", false},
      {"list.m3u", false},  {"a.mp3.part", false}, {"/m/x.mp3/a", false},
  };
  for (const Case& c : kCases) EXPECT_EQ(IsAudioName(c.name), c.audio) << c.name;
}

// Every one of these is listed under its file name, with a reason a user can act on.
TEST(ReadSongTest, FilesWhoseTagsCannotBeReadSayWhy) {
  jubo_test::TempDir dir;
  dir.Write("broken.flac", "fLaC\x80\x00\x00\x22 and then nothing a FLAC reader wants");
  dir.Write("notes.mp3", "These are notes, not sound; MP3 readers take any bytes.\n");
  // 4 GiB that cost no disk: TagLib would search them for minutes.
  dir.Write("zeros.mp3", "");
  dir.Write("tag then zeros.mp3", std::string("ID3\x04\0\0\0\0\0\x0A", 10));
  for (const char* name : {"zeros.mp3", "tag then zeros.mp3"}) {
    fs::resize_file(dir.path() / name, uintmax_t{4} << 30);
  }
  dir.Write("empty.opus", "");

  struct Case {
    const char* name;
    const char* problem;
  };
  const Case kCases[] = {
      {"broken.flac", "not a valid FLAC file"}, {"notes.mp3", "not a valid MP3 file"},
      {"empty.opus", "not a valid OPUS file"},  {"missing.mp3", "No such file or directory"},
      {"zeros.mp3", "not a valid MP3 file"},    {"tag then zeros.mp3", "not a valid MP3 file"},
  };
  for (const Case& c : kCases) {
    const fs::path path = dir.path() / c.name;
    const ReadResult read = ReadSong(path.string());
    EXPECT_EQ(read.problem, c.problem) << c.name;
    const std::string stem = path.stem().string();
    EXPECT_EQ(read.song, (Song{"", "", stem, "", path.string(), "", ""})) << c.name;
  }
}

}  // namespace
}  // namespace scan

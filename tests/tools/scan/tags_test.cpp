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
      {"a.mp3", true},       {"A.MP3", true},        {"a.Flac", true},      {"a.ogg", true},
      {"a.opus", true},      {"a.m4a", true},        {"a.wma", true},       {"a.wav", true},
      {"a.aiff", true},      {"/m/x.y/a.ape", true}, {"cover.jpg", false},  {"notes.txt", false},
      {"mp3", false},        {".mp3", false},        {"a.mp3.part", false}, {"list.m3u", false},
      {"jubodb.txt", false}, {"/m/x.mp3/a", false},
  };
  for (const Case& c : kCases) EXPECT_EQ(IsAudioName(c.name), c.audio) << c.name;
}

// Songs as taggers leave them, in every format the tests can write; the fields Jubo lists.
TEST(ReadSongTest, TagsOfEachFormatBecomeTheSongsFields) {
  jubo_test::TempDir dir;
  struct Case {
    const char* name;
    scan_test::Tags tags;
    bool id3v1_only;
    Song song;  // without filename, which is always the path
  };
  const Case kCases[] = {
      {"intro.flac",
       {"Intro", "O'Dara", "Blue Hour", "1", "Jazz", "72", ""},
       false,
       {"Blue Hour", "O'Dara", "Intro", "1", "", "Jazz", "Slow"}},
      {"road.ogg",
       {"The \"Long\" Road", "Ana\nBo", "Songs, Vol. 2", "7/12", "Rock", "130", "Moderate"},
       false,
       {"Songs, Vol. 2", "Ana; Bo", "The \"Long\" Road", "7", "", "Rock", "Moderate"}},
      {"elan.opus",
       {"\xC3\x89lan", "Zo\xC3\xAB", "", "03", "", "150", ""},
       false,
       {"", "Zo\xC3\xAB", "\xC3\x89lan", "3", "", "", "Very Fast"}},
      {"id3v2.mp3",
       {"Mp3 Song", "Ann", "Tape", "12", "Blues", "119", ""},
       false,
       {"Tape", "Ann", "Mp3 Song", "12", "", "Blues", "Medium"}},
      {"id3v1.mp3",
       {"Old Rip", "Old", "Cassette", "4", "Blues", "", ""},
       true,
       {"Cassette", "Old", "Old Rip", "4", "", "Blues", ""}},
      {"tagged.wav",
       {"Wave", "", "", "", "Pop", "90", ""},
       false,
       {"", "", "Wave", "", "", "Pop", "Medium"}},
      {"song.aiff",
       {"Aiff Song", "Bo", "", "", "", "", "120"},
       false,
       {"", "Bo", "Aiff Song", "", "", "", "Fast"}},
      {"untagged.wav", {}, false, {"", "", "untagged", "", "", "", ""}},
      {"blank title.flac",
       {"   ", "Cy", "", "0", "", "0", ""},
       false,
       {"", "Cy", "blank title", "", "", "", ""}},
  };
  for (const Case& c : kCases) {
    const fs::path path = dir.path() / c.name;
    scan_test::WriteSong(path, c.tags, c.id3v1_only);
    ASSERT_FALSE(HasFatalFailure()) << c.name;
    ReadResult read = ReadSong(path.string());
    Song expected = c.song;
    expected.filename = path.string();
    EXPECT_EQ(read.problem, "") << c.name;
    EXPECT_EQ(read.song, expected) << c.name;
  }
}

// Every one of these is listed under its file name, with a reason a user can act on.
TEST(ReadSongTest, FilesWhoseTagsCannotBeReadSayWhy) {
  jubo_test::TempDir dir;
  scan_test::WriteSong(dir.path() / "good.ogg", {"Good", "", "", "", "", "", ""});
  std::string damaged = scan_test::ReadFile(dir.path() / "good.ogg");
  for (size_t i = 60; i < 200 && i < damaged.size(); ++i) damaged[i] ^= 0x55;  // the tag page
  dir.Write("damaged.ogg", damaged);
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
      {"damaged.ogg", "not a valid OGG file"}, {"broken.flac", "not a valid FLAC file"},
      {"notes.mp3", "not a valid MP3 file"},   {"empty.opus", "not a valid OPUS file"},
      {"missing.mp3", "No such file or directory"},
      {"zeros.mp3", "not a valid MP3 file"},   {"tag then zeros.mp3", "not a valid MP3 file"},
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

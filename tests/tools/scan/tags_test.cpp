// What a song file gives: its bytes through the cached stream TagLib reads, its tags, its tempo
// in words, its text made clean, its title.
#include "scan/tags.h"

#include <gtest/gtest.h>
#include <taglib/tfilestream.h>

#include "scan/read_stream.h"
#include "scan/tempo.h"
#include "scan/text.h"
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
      {"notes.mp3", "not a valid MP3 file"},          {"empty.opus", "not a valid OPUS file"},
      {"missing.mp3", "No such file or directory"},   {"zeros.mp3", "not a valid MP3 file"},
      {"tag then zeros.mp3", "not a valid MP3 file"},
  };
  for (const Case& c : kCases) {
    const fs::path path = dir.path() / c.name;
    const ReadResult read = ReadSong(path.string());
    EXPECT_EQ(read.problem, c.problem) << c.name;
    const std::string stem = path.stem().string();
    EXPECT_EQ(read.song, (Song{"", "", stem, "", path.string(), "", ""})) << c.name;
  }
}

TEST(TempoFieldTest, TextTempoFirstThenBeatsInWords) {
  struct Case {
    std::string_view text_tempo, bpm, field;
  };
  // The tagger's own word wins over the beats; beats may stand in the text field; a text
  // tempo of 0 means unknown and the BPM tag is asked.
  const Case kCases[] = {
      {"", "", ""},
      {"", " 72 ", "Slow"},
      {"", "89.9", "Slow"},
      {"", "90", "Medium"},
      {"", "119.6", "Medium"},
      {"", "120", "Fast"},
      {"", "149", "Fast"},
      {"", "150", "Very Fast"},
      {"Moderate", "160", "Moderate"},
      {"  Up-beat ", "", "Up-beat"},
      {"150", "", "Very Fast"},
      {"0", "95", "Medium"},
      {"", "0", ""},
      {"", "-20", ""},
      {"", "120 bpm", ""},
      {"", "inf", ""},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(TempoField(c.text_tempo, c.bpm), c.field)
        << "tempo '" << c.text_tempo << "' bpm '" << c.bpm << "'";
  }
}

// Whether a tag's text is UTF-8 (a file name that is not is refused), and the one line of valid
// UTF-8 without outer blanks it becomes: each stray byte a U+FFFD, control characters blanks.
TEST(CleanTextTest, OneLineOfValidUtf8WithoutOuterSpaces) {
  struct Case {
    std::string_view text;
    bool utf8;
    std::string_view clean;
  };
  const Case kCases[] = {
      {"\xC3\xA9lan, \"quoted\"", true, "\xC3\xA9lan, \"quoted\""},  // CSV quoting is the writer's
      {"\xF0\x9F\x8E\xB5", true, "\xF0\x9F\x8E\xB5"},                // a musical note, four bytes
      {"\xF4\x8F\xBF\xBF", true, "\xF4\x8F\xBF\xBF"},                // U+10FFFF
      {"  Blue Hour  ", true, "Blue Hour"},
      {"Line one\r\nLine two", true, "Line one  Line two"},
      {"Tab\there", true, "Tab here"},
      {std::string_view("nul\0inside", 10), true, "nul inside"},
      {"Caf\xE9", false, "Caf\uFFFD"},                          // Windows-1252 é
      {"\xC3", false, "\uFFFD"},                                // cut short
      {"\xC0\xAF", false, "\uFFFD\uFFFD"},                      // overlong /
      {"\xE0\x80\xAF", false, "\uFFFD\uFFFD\uFFFD"},            // overlong, three bytes
      {"\xED\xA0\x80", false, "\uFFFD\uFFFD\uFFFD"},            // a surrogate
      {"\xF4\x90\x80\x80", false, "\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
      {"ok\x80", false, "ok\uFFFD"},                            // a stray continuation byte
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(IsUtf8(c.text), c.utf8) << testing::PrintToString(std::string(c.text));
    EXPECT_EQ(CleanText(c.text), c.clean) << testing::PrintToString(std::string(c.text));
  }
}

TEST(FileNameTest, ExtensionAndTitleOfAPath) {
  struct Case {
    std::string_view path, extension, title;
  };
  const Case kCases[] = {
      {"/m/01 Intro.ogg", "ogg", "01 Intro"}, {"/m/a.b/Song.Live.FLAC", "FLAC", "Song.Live"},
      {"/m/a.b/README", "", "README"},        {"/m/.hidden", "", ".hidden"},
      {"/m/trailing.", "", "trailing."},      {"song.mp3", "mp3", "song"},
      {"/m/ Spaced .wav", "wav", "Spaced"},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(Extension(c.path), c.extension) << c.path;
    EXPECT_EQ(FileNameTitle(c.path), c.title) << c.path;
  }
}

using Position = TagLib::IOStream::Position;

struct Step {
  long offset;
  Position from;
  unsigned long length;  // bytes asked for after the seek
};

// The bytes each step reads, and where the stream is at the end of how long.
std::string Steps(TagLib::IOStream& stream, const std::vector<Step>& steps) {
  std::string got;
  for (const Step& s : steps) {
    stream.seek(s.offset, s.from);
    const TagLib::ByteVector read = stream.readBlock(s.length);
    got += std::string(read.data(), read.size()) + "|";
  }
  return got + std::to_string(stream.tell()) + " of " + std::to_string(stream.length());
}

// Seeks and reads that hop between blocks, straddle them, run past either end, and exceed the
// two blocks kept, over a file of three and a bit blocks.
TEST(ReadOnlyFileStreamTest, SeeksAndReadsGiveTheFilesBytes) {
  jubo_test::TempDir dir;
  std::string bytes(200'000, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  dir.Write("song.mp3", bytes);
  constexpr long kBlock = 64 * 1024;
  struct Case {
    const char* label;
    std::vector<Step> steps;
  };
  const Case kCases[] = {
      {"straddling a block edge", {{kBlock - 6, Position::Beginning, 20}}},
      {"straddling two edges", {{kBlock - 1, Position::Beginning, kBlock + 2}}},
      {"tail as ID3v1 is read", {{-128, Position::End, 128}, {-3, Position::Current, 3}}},
      {"head, tail, head",
       {{0, Position::Beginning, 10}, {-10, Position::End, 10}, {5, Position::Beginning, 10}}},
      {"three blocks in turn",
       {{0, Position::Beginning, 4},
        {kBlock, Position::Beginning, 4},
        {2 * kBlock, Position::Beginning, 4},
        {1, Position::Beginning, 4},
        {kBlock + 1, Position::Beginning, 4}}},
      {"past the end", {{199'990, Position::Beginning, 100}, {0, Position::Current, 5}}},
      {"seek past the end", {{300'000, Position::Beginning, 5}, {-5, Position::End, 100}}},
      {"before the start is refused",
       {{50, Position::Beginning, 0}, {-10, Position::Beginning, 4}, {-100, Position::Current, 4}}},
      {"nothing asked", {{7, Position::Beginning, 0}, {0, Position::Current, 1}}},
  };
  const std::string path = (dir.path() / "song.mp3").string();
  for (const Case& c : kCases) {
    ReadOnlyFileStream stream(path);
    TagLib::FileStream plain(path.c_str(), true);  // TagLib's own: the oracle
    EXPECT_TRUE(Steps(stream, c.steps) == Steps(plain, c.steps)) << c.label;
  }
}

}  // namespace
}  // namespace scan

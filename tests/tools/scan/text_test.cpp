#include "scan/text.h"

#include <gtest/gtest.h>

namespace scan {
namespace {

TEST(IsUtf8Test, AcceptsWellFormedAndRefusesTheRest) {
  struct Case {
    std::string_view text;
    bool valid;
  };
  const Case kCases[] = {
      {"\xC3\xA9lan", true},        // é
      {"\xF0\x9F\x8E\xB5", true},   // a musical note, four bytes
      {"\xF4\x8F\xBF\xBF", true},   // U+10FFFF
      {"\xE9lan", false},           // Windows-1252 é
      {"\xC3", false},              // cut short
      {"\xC0\xAF", false},          // overlong /
      {"\xE0\x80\xAF", false},      // overlong, three bytes
      {"\xED\xA0\x80", false},      // a surrogate
      {"\xF4\x90\x80\x80", false},  // past U+10FFFF
      {"ok\x80", false},            // a stray continuation byte
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(IsUtf8(c.text), c.valid) << testing::PrintToString(std::string(c.text));
  }
}

TEST(CleanTextTest, OneLineOfValidUtf8WithoutOuterSpaces) {
  struct Case {
    std::string_view text, clean;
  };
  const Case kCases[] = {
      {"  Blue Hour  ", "Blue Hour"},
      {"Line one\r\nLine two", "Line one  Line two"},
      {"Tab\there", "Tab here"},
      {std::string_view("nul\0inside", 10), "nul inside"},
      {"Caf\xE9", "Caf\xEF\xBF\xBD"},  // a stray Windows-1252 byte becomes U+FFFD
      {"\xC3\xA9lan, \"quoted\"", "\xC3\xA9lan, \"quoted\""},  // CSV quoting is the writer's job
  };
  for (const Case& c : kCases) {
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

}  // namespace
}  // namespace scan

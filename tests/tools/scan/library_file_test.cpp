#include "scan/library_file.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace scan {
namespace {

std::vector<Song> SomeSongs() {
  return {
      {"Blue Hour", "O'Dara", "Intro", "1", "/m/O'Dara/01 Intro.ogg", "Jazz", "Slow"},
      {"Songs, Vol. 2", "Ana", "The \"Long\" Road", "7", "/m/Ana/07, \"live\".flac", "", ""},
      {"", "", "untagged", "", "/m/odd\nname.mp3", "", "Very Fast"},
      {"\xC3\x89lan", " Bo", "x", "", "/m/\xC3\xA9.mp3", "Rock", "Moderate"},
  };
}

// What this tool wrote (quotes, commas and line breaks in fields and paths), and libraries other
// software wrote: columns in any order and case, some missing, others extra.
TEST(ReadLibraryTest, ReadsBackWhatWasWrittenInAnyColumnOrder) {
  struct Case {
    const char* label;
    std::string text;
    std::vector<Song> songs;
    std::vector<std::string> notes;  // after the file's path and ": "
  };
  const Case kCases[] = {
      {"as written", LibraryText(SomeSongs()), SomeSongs(), {}},
      {"other order and case",
       "\xEF\xBB\xBF"
       "FILENAME,title,Tempo,genre,TRACK,artist,album\r\n/m/a.mp3,A,Fast,Pop,2,B,C\r\n",
       {{"C", "B", "A", "2", "/m/a.mp3", "Pop", "Fast"}},
       {}},
      {"only Filename and Title",
       "Filename,Title\n/m/a.mp3,A\n/m/b.mp3\n",
       {{"", "", "A", "", "/m/a.mp3", "", ""}, {"", "", "", "", "/m/b.mp3", "", ""}},
       {}},
      {"extra columns",
       "Rating,Filename,Mood,Title\n5,/m/a.mp3,Calm,A\n",
       {{"", "", "A", "", "/m/a.mp3", "", ""}},
       {"columns Rating, Mood not carried over"}},
      {"rows without a file",
       "Filename,Title\n,A\n/m/b.mp3,B\n,C\n",
       {{"", "", "B", "", "/m/b.mp3", "", ""}},
       {"2 rows without a Filename left out"}},
      {"Windows-1252",
       "Filename,Title\n/m/a.mp3,Caf\xE9\n",
       {{"", "", "Caf\xC3\xA9", "", "/m/a.mp3", "", ""}},
       {"not valid UTF-8; read as Windows-1252"}},
  };
  for (const Case& c : kCases) {
    jubo_test::TempDir dir;
    dir.Write("jubodb.txt", c.text);
    const std::string path = (dir.path() / "jubodb.txt").string();
    std::vector<Song> songs;
    std::vector<std::string> notes;
    EXPECT_EQ(ReadLibrary(path, &songs, &notes), "") << c.label;
    EXPECT_EQ(songs, c.songs) << c.label;
    std::vector<std::string> expected_notes;
    for (const std::string& n : c.notes) expected_notes.push_back(path + ": " + n);
    EXPECT_EQ(notes, expected_notes) << c.label;
  }
}

}  // namespace
}  // namespace scan

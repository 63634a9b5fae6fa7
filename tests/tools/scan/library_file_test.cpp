#include "scan/library_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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

// Quotes, commas and line breaks in fields and paths survive the round trip.
TEST(ReadLibraryTest, ReadsBackWhatWasWritten) {
  jubo_test::TempDir dir;
  dir.Write("jubodb.txt", LibraryText(SomeSongs()));
  std::vector<Song> songs;
  std::vector<std::string> notes;
  EXPECT_EQ(ReadLibrary((dir.path() / "jubodb.txt").string(), &songs, &notes), "");
  EXPECT_EQ(songs, SomeSongs());
  EXPECT_EQ(notes, std::vector<std::string>{});
}

// Libraries other software wrote: columns in any order and case, some missing, others extra.
TEST(ReadLibraryTest, FindsColumnsByNameAndSaysWhatItCannotCarryOver) {
  struct Case {
    const char* label;
    std::string text;
    std::vector<Song> songs;
    std::vector<std::string> notes;  // after the file's path and ": "
  };
  const Case kCases[] = {
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

TEST(ReadLibraryTest, RefusesWhatIsNoLibrary) {
  jubo_test::TempDir dir;
  dir.Write("no-filename.txt", "Album,Artist,Title\nA,B,C\n");
  dir.Write("empty.txt", "");
  ASSERT_EQ(mkfifo((dir.path() / "fifo").c_str(), 0600), 0);
  struct Case {
    const char* name;
    const char* error;  // after the path
  };
  const Case kCases[] = {
      {"no-filename.txt", ": no Filename column; not a library to update"},
      {"empty.txt", ": no Filename column; not a library to update"},
      {"missing.txt", ": No such file or directory"},
      {".", ": Is a directory"},
      {"fifo", ": not a regular file"},
  };
  for (const Case& c : kCases) {
    const std::string path = (dir.path() / c.name).string();
    std::vector<Song> songs;
    std::vector<std::string> notes;
    const std::string error = ReadLibrary(path, &songs, &notes);
    EXPECT_NE(error.find(path + c.error), std::string::npos) << c.name << ": " << error;
  }
}

// Names with spaces, line breaks and digits survive the round trip; songs without a state
// are left out; a damaged or foreign file reads as no states at all.
TEST(ReadStatesTest, ReadsBackWhatWasWrittenAndRefusesTheRest) {
  jubo_test::TempDir dir;
  const std::vector<Song> songs = SomeSongs();
  const FileState a = {{-5, 999'999'999}, {1'700'000'000, 1}, 0};
  const FileState b = {{1'700'000'000, 0}, {1'700'000'001, 42}, int64_t{1} << 40};
  const std::string text = StateText(songs, {a, std::nullopt, b, a});
  dir.Write("good.scan", text);
  FileStates states;
  EXPECT_EQ(ReadStates((dir.path() / "good.scan").string(), &states), "");
  EXPECT_EQ(states,
            (FileStates{{songs[0].filename, a}, {songs[2].filename, b}, {songs[3].filename, a}}));

  const std::string first_record_end = text.substr(0, text.find('\n', text.find('\0')) + 1);
  struct Case {
    const char* name;
    std::string text;
    const char* error;  // after the path
  };
  const Case kCases[] = {
      {"cut.scan", text.substr(0, text.size() - 1), ": record 3 cannot be read"},
      {"no-name.scan", first_record_end + "1 2 3 4 5 \0\n", ": record 2 cannot be read"},
      {"no-number.scan", first_record_end + "1 2 3 4 /m/a.mp3\0\n", ": record 2 cannot be read"},
      {"foreign.scan", "Album,Artist\n", ": not a state file this jubo-scan knows"},
      {"missing.scan", "", ": No such file or directory"},
  };
  for (const Case& c : kCases) {
    if (c.text.size() > 0) dir.Write(c.name, c.text);
    const std::string path = (dir.path() / c.name).string();
    states = {{"x", a}};
    EXPECT_NE(ReadStates(path, &states).find(path + c.error), std::string::npos) << c.name;
    EXPECT_TRUE(states.empty()) << c.name;
  }
}

TEST(CountLibraryTest, DistinctAsJuboListsThem) {
  const std::vector<Song> songs = {
      {"Blue Hour", "O'Dara", "a", "", "/1", "Jazz", ""},
      {"blue hour", "o'dara", "b", "", "/2", "jazz", ""},  // case does not make another
      {"\xC3\x89lan", "Ana", "c", "", "/3", "", ""},
      {"Elan", "", "d", "", "/4", "Rock", ""},  // the accent does
      {"", "", "e", "", "/5", "", ""},
  };
  const LibraryCounts counts = CountLibrary(songs);
  EXPECT_EQ(counts.songs, 5u);
  EXPECT_EQ(counts.albums, 3u);
  EXPECT_EQ(counts.artists, 2u);
  EXPECT_EQ(counts.genres, 2u);
}

}  // namespace
}  // namespace scan

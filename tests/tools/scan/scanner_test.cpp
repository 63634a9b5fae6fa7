#include "scan/scanner.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <limits>
#include <optional>

#include "scan/library_file.h"
#include "scan/tags.h"
#include "scan/walk.h"
#include "scan_test_support.h"
#include "support/temp_dir.h"

namespace scan {
namespace {

namespace fs = std::filesystem;

class QuietObserver : public ScanObserver {
  void Progress(size_t, size_t) override {}
  void Problem(const std::string&) override {}
};

// A moment no file's status changed at or after: every file counts as settled.
constexpr timespec kAllSettled = {std::numeric_limits<time_t>::max(), 0};

// A file is read again when any part of its state differs from the recorded one, however
// little (a tagger may put the old modification time back, or rewrite the file within the
// same tick of a coarse clock: the status-change time or the size still tells), and when its
// status changed too recently to trust, it is read now and not recorded for the next time.
TEST(ScanTest, UpdateReadsAgainAFileWhoseStateDiffersInAnyPart) {
  jubo_test::TempDir dir;
  const fs::path a = dir.path() / "a.ogg";
  scan_test::WriteSong(a, {"A (file)", "", "", "", "", "", ""});
  struct stat info {};
  ASSERT_EQ(stat(a.c_str(), &info), 0);
  const FileState now = StateOf(info);
  struct Case {
    const char* label;
    void (*change)(FileState&);
    timespec settled_before;
    bool kept, recorded;
  };
  const Case kCases[] = {
      {"the same", [](FileState&) {}, kAllSettled, true, true},
      {"modified a nanosecond apart", [](FileState& s) { s.modified.tv_nsec ^= 1; }, kAllSettled,
       false, true},
      {"status changed a nanosecond apart", [](FileState& s) { s.changed.tv_nsec ^= 1; },
       kAllSettled, false, true},
      {"a byte longer", [](FileState& s) { ++s.size; }, kAllSettled, false, true},
      {"status changed as the scan began", [](FileState&) {}, now.changed, true, false},
  };
  for (const Case& c : kCases) {
    FileState recorded = now;
    c.change(recorded);
    const FileStates states = {{a.string(), recorded}};
    const std::vector<Song> previous = {{"", "", "A (library)", "", a.string(), "", ""}};
    QuietObserver observer;
    const ScanResult result = Scan({{a.string()}, &previous, &states, c.settled_before}, observer);
    ASSERT_EQ(result.songs.size(), 1u) << c.label;
    EXPECT_EQ(result.songs[0].title, c.kept ? "A (library)" : "A (file)") << c.label;
    EXPECT_EQ(result.states[0], c.recorded ? std::optional<FileState>(now) : std::nullopt)
        << c.label;
  }
}

TEST(WalkMusicTest, RootsInOrderEachFolderOnceAndBadRootsReported) {
  jubo_test::TempDir dir;
  for (const char* name : {"Jazz/a.ogg", "Rock/b.mp3", "Rock/cover.jpg"}) {
    scan_test::WriteFile(dir.path() / name, "x");
  }
  const std::string p = dir.path().string() + "/";
  std::vector<std::string> audio, skipped, problems;
  WalkCallbacks callbacks;
  callbacks.is_audio = IsAudioName;
  callbacks.on_audio = [&](const std::string& path, const struct stat& info) {
    EXPECT_TRUE(S_ISREG(info.st_mode)) << path;
    audio.push_back(path);
  };
  callbacks.on_skipped = [&](const std::string& path) { skipped.push_back(path); };
  callbacks.on_problem = [&](const std::string& message) { problems.push_back(message); };
  const std::vector<std::string> unreadable =
      WalkMusic({p + "Rock", p + "Jazz/../Jazz", p + ".", p + "Rock/b.mp3", p + "Rock/cover.jpg",
                 p + "Missing"},
                callbacks);
  EXPECT_EQ(audio, (std::vector<std::string>{p + "Rock/b.mp3", p + "Jazz/a.ogg"}));
  EXPECT_EQ(skipped, (std::vector<std::string>{p + "Rock/cover.jpg", p + "Rock/b.mp3"}));
  EXPECT_EQ(problems, (std::vector<std::string>{
                          p + "Rock/cover.jpg: neither a folder nor an audio file",
                          "cannot read folder " + p + "Missing: No such file or directory"}));
  EXPECT_EQ(unreadable, (std::vector<std::string>{p + "Missing"}));
}

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
      {"extra columns, a short row",
       "Rating,Filename,Mood,Title\n5,/m/a.mp3,Calm,A\n0,/m/b.mp3\n",
       {{"", "", "A", "", "/m/a.mp3", "", ""}, {"", "", "", "", "/m/b.mp3", "", ""}},
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

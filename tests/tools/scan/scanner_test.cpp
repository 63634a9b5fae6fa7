#include "scan/scanner.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <limits>
#include <optional>

#include "scan_test_support.h"
#include "support/temp_dir.h"

namespace scan {
namespace {

namespace fs = std::filesystem;

class RecordingObserver : public ScanObserver {
 public:
  void Progress(size_t files_seen, size_t songs_found) override {
    EXPECT_GE(files_seen, last_files_seen);
    EXPECT_GE(songs_found, last_songs_found);
    EXPECT_LE(songs_found, files_seen);
    last_files_seen = files_seen;
    last_songs_found = songs_found;
  }
  void Problem(const std::string& message) override { problems.push_back(message); }

  size_t last_files_seen = 0, last_songs_found = 0;
  std::vector<std::string> problems;
};

struct stat Stat(const fs::path& path) {
  struct stat info {};
  EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
  return info;
}

// A moment no file's status changed at or after: every file counts as settled.
constexpr timespec kAllSettled = {std::numeric_limits<time_t>::max(), 0};

// The previous library says what each file held, and its state file what each file looked
// like then. Its titles differ from the files' own tags, so each song shows whether it was
// kept or read again.
TEST(ScanTest, UpdateKeepsUnchangedSongsReadsTheRestAndDropsTheGone) {
  jubo_test::TempDir dir;
  const fs::path music = dir.path() / "Music", outside = dir.path() / "Outside";
  const std::string m = music.string() + "/", o = outside.string() + "/";
  scan_test::WriteSong(music / "Jazz/kept.ogg", {"Kept (file)", "", "", "", "", "", ""});
  scan_test::WriteSong(music / "Jazz/changed.ogg", {"Changed (file)", "", "", "", "", "", ""});
  scan_test::WriteSong(music / "Jazz/new.flac", {"New (file)", "", "", "", "", "", ""});
  scan_test::WriteSong(music / "Locked/inside.mp3", {"Inside (file)", "", "", "", "", "", ""});
  scan_test::WriteSong(outside / "there.mp3", {"There (file)", "", "", "", "", "", ""});
  FileState changed = StateOf(Stat(music / "Jazz/changed.ogg"));
  ++changed.size;
  const FileStates states = {
      {m + "Jazz/kept.ogg", StateOf(Stat(music / "Jazz/kept.ogg"))},
      {m + "Jazz/changed.ogg", changed},
      {m + "Locked/inside.mp3", StateOf(Stat(music / "Locked/inside.mp3"))},
      {o + "there.mp3", StateOf(Stat(outside / "there.mp3"))},
  };
  fs::permissions(music / "Locked", fs::perms::none);

  const std::vector<Song> previous = {
      {"", "", "Kept (library)", "", m + "Jazz/kept.ogg", "", ""},
      {"", "", "Changed (library)", "", m + "Jazz/changed.ogg", "", ""},
      {"", "", "Gone (library)", "", m + "Jazz/gone.ogg", "", ""},
      {"", "", "Inside (library)", "", m + "Locked/inside.mp3", "", ""},
      {"", "", "Behind the lock (library)", "", m + "Locked/unknown.mp3", "", ""},
      {"", "", "There (library)", "", o + "there.mp3", "", ""},
      {"", "", "Missing (library)", "", o + "missing.mp3", "", ""},
      {"", "", "Twice (library)", "", m + "Jazz/kept.ogg", "", ""},
  };
  RecordingObserver observer;
  ScanResult result;
  {
    scan_test::WithoutPermissionOverride as_a_user;
    result = Scan({{music.string()}, &previous, &states, kAllSettled}, observer);
  }
  fs::permissions(music / "Locked", fs::perms::owner_all);

  EXPECT_EQ(result.songs,
            (std::vector<Song>{
                {"", "", "Changed (file)", "", m + "Jazz/changed.ogg", "", ""},
                {"", "", "Kept (library)", "", m + "Jazz/kept.ogg", "", ""},
                {"", "", "New (file)", "", m + "Jazz/new.flac", "", ""},
                {"", "", "Inside (library)", "", m + "Locked/inside.mp3", "", ""},
                {"", "", "Behind the lock (library)", "", m + "Locked/unknown.mp3", "", ""},
                {"", "", "There (library)", "", o + "there.mp3", "", ""},
            }));
  // What the next update compares with: the walked files as they are now, the kept ones as
  // recorded before, nothing for a song whose file was never recorded.
  EXPECT_EQ(result.states, (std::vector<std::optional<FileState>>{
                               StateOf(Stat(music / "Jazz/changed.ogg")),
                               states.at(m + "Jazz/kept.ogg"),
                               StateOf(Stat(music / "Jazz/new.flac")),
                               states.at(m + "Locked/inside.mp3"),
                               std::nullopt,
                               states.at(o + "there.mp3"),
                           }));
  EXPECT_EQ(result.songs_kept, 4u);
  EXPECT_EQ(result.songs_read, 2u);
  EXPECT_EQ(result.songs_dropped, 2u);
  EXPECT_EQ(observer.problems,
            (std::vector<std::string>{"cannot read folder " + m + "Locked: Permission denied"}));
}

// A file is read again when any part of its state differs from the recorded one, however
// little (a tagger may put the old modification time back, or rewrite the file within the
// same tick of a coarse clock: the status-change time or the size still tells), and when its
// status changed too recently to trust, it is read now and not recorded for the next time.
TEST(ScanTest, UpdateReadsAgainAFileWhoseStateDiffersInAnyPart) {
  jubo_test::TempDir dir;
  const fs::path a = dir.path() / "a.ogg";
  scan_test::WriteSong(a, {"A (file)", "", "", "", "", "", ""});
  const FileState now = StateOf(Stat(a));
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
    RecordingObserver observer;
    const ScanResult result = Scan({{a.string()}, &previous, &states, c.settled_before}, observer);
    ASSERT_EQ(result.songs.size(), 1u) << c.label;
    EXPECT_EQ(result.songs[0].title, c.kept ? "A (library)" : "A (file)") << c.label;
    EXPECT_EQ(result.states[0], c.recorded ? std::optional<FileState>(now) : std::nullopt)
        << c.label;
  }
}

// Scanned through a link to the music folder, then updated naming the folder itself (or the
// other way round): every song is still one row, kept, under the path walked now.
TEST(ScanTest, UpdateKnowsASongWhateverPathLeadsToIt) {
  jubo_test::TempDir dir;
  const fs::path real = dir.path() / "Music", link = dir.path() / "Link";
  scan_test::WriteSong(real / "a.ogg", {"A", "", "", "", "", "", ""});
  scan_test::WriteSong(real / "b.flac", {"B", "", "", "", "", "", ""});
  fs::create_directory_symlink(real, link);
  const fs::path kCases[][2] = {{link, real}, {real, link}};
  for (const auto& [first_root, root] : kCases) {
    RecordingObserver observer, update_observer;
    const ScanResult first = Scan({{first_root.string()}, nullptr, nullptr, kAllSettled}, observer);
    FileStates states;
    for (size_t i = 0; i < first.songs.size(); ++i) {
      states.emplace(first.songs[i].filename, *first.states[i]);
    }
    const ScanResult result =
        Scan({{root.string()}, &first.songs, &states, kAllSettled}, update_observer);
    EXPECT_EQ(result.songs,
              (std::vector<Song>{{"", "", "A", "", (root / "a.ogg").string(), "", ""},
                                 {"", "", "B", "", (root / "b.flac").string(), "", ""}}))
        << first_root << " then " << root;
    EXPECT_EQ(result.songs_kept, 2u) << first_root << " then " << root;
  }
}

}  // namespace
}  // namespace scan

#include "scan/scanner.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

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

// The previous library says what each file held when it was written, an hour from now; a file
// modified two hours from now has changed since. Its titles differ from the files' own tags,
// so each song shows whether it was kept or read again.
TEST(ScanTest, UpdateKeepsUnchangedSongsReadsTheRestAndDropsTheGone) {
  jubo_test::TempDir dir;
  const fs::path music = dir.path() / "Music", outside = dir.path() / "Outside";
  const std::string m = music.string() + "/", o = outside.string() + "/";
  scan_test::WriteSong(music / "Jazz/kept.ogg", {"Kept (file)", "", "", "", "", "", ""});
  scan_test::WriteSong(music / "Jazz/changed.ogg", {"Changed (file)", "", "", "", "", "", ""});
  scan_test::WriteSong(music / "Jazz/new.flac", {"New (file)", "", "", "", "", "", ""});
  scan_test::WriteSong(music / "Locked/inside.mp3", {"Inside (file)", "", "", "", "", "", ""});
  scan_test::WriteSong(outside / "there.mp3", {"There (file)", "", "", "", "", "", ""});
  scan_test::SetModified(music / "Jazz/changed.ogg", scan_test::HoursFromNow(2));
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
    result = Scan({{music.string()}, &previous, scan_test::HoursFromNow(1)}, observer);
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
  EXPECT_EQ(result.songs_kept, 4u);
  EXPECT_EQ(result.songs_read, 2u);
  EXPECT_EQ(result.songs_dropped, 2u);
  EXPECT_EQ(observer.problems,
            (std::vector<std::string>{"cannot read folder " + m + "Locked: Permission denied"}));
}

// A library written an hour ago cannot know a file rewritten since, even when the tagger put
// back the file's old modification time: the change of its status says so.
TEST(ScanTest, UpdateReadsAgainAFileRewrittenWithItsOldTimeKept) {
  jubo_test::TempDir dir;
  const fs::path m = dir.path();
  scan_test::WriteSong(m / "a.ogg", {"A (file)", "", "", "", "", "", ""});
  scan_test::SetModified(m / "a.ogg", scan_test::HoursFromNow(-2));
  const std::vector<Song> previous = {{"", "", "A (library)", "", m.string() + "/a.ogg", "", ""}};
  RecordingObserver observer;
  const ScanResult result = Scan({{m.string()}, &previous, scan_test::HoursFromNow(-1)}, observer);
  ASSERT_EQ(result.songs.size(), 1u);
  EXPECT_EQ(result.songs[0].title, "A (file)");
  EXPECT_EQ(result.songs_read, 1u);
  EXPECT_EQ(result.songs_kept, 0u);
}

}  // namespace
}  // namespace scan

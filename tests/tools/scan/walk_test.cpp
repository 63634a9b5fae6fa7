#include "scan/walk.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "scan/tags.h"
#include "scan_test_support.h"
#include "support/temp_dir.h"

namespace scan {
namespace {

namespace fs = std::filesystem;

struct Walked {
  std::vector<std::string> audio, skipped, problems, unreadable;
};

Walked Walk(const std::vector<std::string>& roots) {
  Walked walked;
  WalkCallbacks callbacks;
  callbacks.is_audio = IsAudioName;
  callbacks.on_audio = [&](const std::string& path, const struct stat& info) {
    EXPECT_TRUE(S_ISREG(info.st_mode)) << path;
    walked.audio.push_back(path);
  };
  callbacks.on_skipped = [&](const std::string& path) { walked.skipped.push_back(path); };
  callbacks.on_problem = [&](const std::string& message) { walked.problems.push_back(message); };
  scan_test::WithoutPermissionOverride as_a_user;
  walked.unreadable = WalkMusic(roots, callbacks);
  return walked;
}

void Touch(const fs::path& path) {
  fs::create_directories(path.parent_path());
  scan_test::WriteFile(path, "x");
}

// One tree with every kind of entry a music folder may hold; entries are met in byte order.
TEST(WalkMusicTest, EverySongOnceLoopsAndHiddenNamesLeftOut) {
  jubo_test::TempDir dir;
  const fs::path m = dir.path() / "Music";
  Touch(m / "A/01.mp3");
  Touch(m / "A/cover.jpg");
  Touch(m / "A/.hidden.mp3");        // macOS leaves ._ copies like this beside songs
  Touch(m / ".Trash-1000/old.mp3");  // a hidden folder is not walked
  Touch(m / "B/sub/02.flac");
  fs::create_directory_symlink("..", m / "B/loop");
  fs::create_directory_symlink(".", m / "B/self");
  fs::create_directory_symlink(m / "A", m / "alias");  // met after A, so A is not walked again
  fs::create_symlink(m / "A/01.mp3", m / "link.mp3");
  fs::create_symlink(m / "nowhere.mp3", m / "dangling.mp3");
  fs::create_symlink(m / "nowhere.txt", m / "dangling.txt");
  Touch(m / "Z.mp3/z.ogg");  // a folder with an audio name is a folder
  Touch(m / "bad\xE9name.mp3");
  Touch(m /
        "bad\xE9"
        "folder/x.mp3");
  ASSERT_EQ(mkfifo((m / "fifo.mp3").c_str(), 0600), 0);
  Touch(m / "locked/y.mp3");
  fs::permissions(m / "locked", fs::perms::none);

  const Walked walked = Walk({m.string() + "/"});
  fs::permissions(m / "locked", fs::perms::owner_all);

  const std::string p = m.string() + "/";
  EXPECT_EQ(walked.audio,
            (std::vector<std::string>{p + "A/01.mp3", p + "B/sub/02.flac", p + "Z.mp3/z.ogg"}));
  EXPECT_EQ(walked.skipped,
            (std::vector<std::string>{p + "A/.hidden.mp3", p + "A/cover.jpg", p + "bad\xE9name.mp3",
                                      p + "dangling.mp3", p + "dangling.txt", p + "fifo.mp3",
                                      p + "link.mp3"}));
  EXPECT_EQ(walked.problems,
            (std::vector<std::string>{
                p + "bad\xE9"
                    "folder: the name is not valid UTF-8; rename it to list its songs",
                p + "bad\xE9name.mp3: the name is not valid UTF-8; rename it to list it",
                "cannot read " + p + "dangling.mp3: No such file or directory",
                "cannot read folder " + p + "locked: Permission denied"}));
  EXPECT_EQ(walked.unreadable, (std::vector<std::string>{p + "locked"}));
}

TEST(WalkMusicTest, RootsInOrderEachFolderOnceAndBadRootsReported) {
  jubo_test::TempDir dir;
  const fs::path m = dir.path();
  Touch(m / "Jazz/a.ogg");
  Touch(m / "Rock/b.mp3");
  Touch(m / "Rock/cover.jpg");
  const std::string p = m.string() + "/";
  const Walked walked = Walk({p + "Rock", p + "Jazz/../Jazz", p + ".", p + "Rock/b.mp3",
                              p + "Rock/cover.jpg", p + "Missing"});
  EXPECT_EQ(walked.audio, (std::vector<std::string>{p + "Rock/b.mp3", p + "Jazz/a.ogg"}));
  EXPECT_EQ(walked.skipped, (std::vector<std::string>{p + "Rock/cover.jpg", p + "Rock/b.mp3"}));
  EXPECT_EQ(
      walked.problems,
      (std::vector<std::string>{p + "Rock/cover.jpg: neither a folder nor an audio file",
                                "cannot read folder " + p + "Missing: No such file or directory"}));
  EXPECT_EQ(walked.unreadable, (std::vector<std::string>{p + "Missing"}));
}

TEST(PathTest, AbsolutePathAndIsUnder) {
  const std::string here = fs::current_path().string();
  struct AbsoluteCase {
    std::string path, absolute;
  };
  const AbsoluteCase kAbsolute[] = {
      {"/m/Music/", "/m/Music"},  {"/m//Music/./Jazz/..", "/m/Music"},  {"/", "/"},
      {"Music", here + "/Music"}, {"./Music/../Jazz/", here + "/Jazz"},
  };
  for (const AbsoluteCase& c : kAbsolute) EXPECT_EQ(AbsolutePath(c.path), c.absolute) << c.path;

  struct UnderCase {
    std::string path, folder;
    bool under;
  };
  const UnderCase kUnder[] = {
      {"/m/Music/a.mp3", "/m/Music", true},
      {"/m/Music", "/m/Music", true},
      {"/m/Musical/a.mp3", "/m/Music", false},
      {"/m/a.mp3", "/m/Music", false},
      {"/m/a.mp3", "/", true},
      {"/m", "/m/Music", false},
  };
  for (const UnderCase& c : kUnder) {
    EXPECT_EQ(IsUnder(c.path, c.folder), c.under) << c.path << " under " << c.folder;
  }
}

}  // namespace
}  // namespace scan

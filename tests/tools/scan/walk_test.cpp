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
  walked.unreadable = WalkMusic(roots, callbacks);
  return walked;
}

void Touch(const fs::path& path) {
  fs::create_directories(path.parent_path());
  scan_test::WriteFile(path, "x");
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

}  // namespace
}  // namespace scan

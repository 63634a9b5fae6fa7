// jubo-demo from outside: one run into a folder holding a stale demo, then the library it wrote
// is read back through the driver and libsndfile. Failures are checked with runs that
// stop before any song is rendered.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "library/library_connection.h"
#include "support/run_program.h"

namespace {

namespace fs = std::filesystem;

fs::path MakeTempDir() {
  std::string name = (fs::temp_directory_path() / "jubo-demo-test-XXXXXX").string();
  if (mkdtemp(name.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
  return name;
}

using jubo_test::ReadFile;
using jubo_test::RunProgram;
using jubo_test::RunResult;

constexpr const char* kMissingSong = "Hazel & Finch/Paper Boats/03 The Far Shore.ogg";
constexpr const char* kNotAudio = "The Copper Trams/Live at Home/02 Encore.ogg";

class JuboDemoTest : public testing::Test {
 protected:
  // The demo is written once for all tests, over what an older demo could have left: a stale
  // library and a broken song file. The folder's name makes every Filename need CSV quotes.
  static void SetUpTestSuite() {
    scratch_ = MakeTempDir();
    dir_ = scratch_ / "demo, \"take 2\"";
    fs::create_directories(dir_ / "O'Dara/Harbour's Edge");
    std::ofstream(dir_ / "jubodb.txt") << "Album,Artist,Title,Track,Filename\nOld,Old,Old,1,x\n";
    std::ofstream(dir_ / "O'Dara/Harbour's Edge/01 Harbour Lights.ogg") << "truncated";
    run_ = RunProgram(JUBO_DEMO, {dir_.string()}, scratch_);
  }
  static void TearDownTestSuite() { fs::remove_all(scratch_); }

  void SetUp() override {
    ASSERT_EQ(run_.status, 0) << run_.err;
    ASSERT_TRUE(library::OpenLibrary(library_, dir_.string()).ok());
  }

  // The first column of `sql`'s rows; Null as nullopt.
  std::vector<std::optional<std::string>> Column(const std::string& sql) {
    textdb::Cursor cursor;
    EXPECT_TRUE(cursor.Open(sql, library_.LibraryConnection).ok()) << sql;
    std::vector<std::optional<std::string>> values;
    for (cursor.MoveFirst(); !cursor.IsEOF(); cursor.MoveNext()) {
      auto value = cursor.FieldAt(0);
      values.push_back(value ? std::optional<std::string>(*value) : std::nullopt);
    }
    return values;
  }

  static fs::path scratch_, dir_;
  static RunResult run_;
  library::LibraryState library_;
};

fs::path JuboDemoTest::scratch_, JuboDemoTest::dir_;
RunResult JuboDemoTest::run_;

TEST_F(JuboDemoTest, PrintsOneLineWithSongsFolderAndSize) {
  EXPECT_EQ(run_.err, "");
  EXPECT_EQ(run_.out.find('\n'), run_.out.size() - 1) << run_.out;
  EXPECT_NE(run_.out.find("38 songs"), std::string::npos) << run_.out;
  EXPECT_NE(run_.out.find(dir_.string()), std::string::npos) << run_.out;
  EXPECT_NE(run_.out.find(" MB"), std::string::npos) << run_.out;
}

TEST_F(JuboDemoTest, ListedFilesAreShortOggSongsExceptTheTwoBadOnes) {
  std::set<std::string> missing, not_audio;
  for (const auto& name : Column("Select Filename from jubodb.txt")) {
    ASSERT_TRUE(name);
    const fs::path path = *name;
    EXPECT_TRUE(path.is_absolute()) << *name;
    EXPECT_EQ(path.string().rfind(dir_.string() + "/", 0), 0u) << *name;
    const std::string relative = path.lexically_relative(dir_).string();
    if (!fs::exists(path)) {
      missing.insert(relative);
      continue;
    }
    SF_INFO info = {};
    SNDFILE* file = sf_open(name->c_str(), SFM_READ, &info);
    if (file == nullptr) {
      not_audio.insert(relative);
      continue;
    }
    EXPECT_EQ(info.format, SF_FORMAT_OGG | SF_FORMAT_VORBIS) << *name;
    EXPECT_EQ(info.channels, 1) << *name;
    const double seconds = static_cast<double>(info.frames) / info.samplerate;
    EXPECT_TRUE(seconds >= 15 && seconds <= 30) << *name << ": " << seconds << " s";
    std::vector<float> samples(info.frames);
    EXPECT_EQ(sf_readf_float(file, samples.data(), info.frames), info.frames) << *name;
    float peak = 0;
    for (float s : samples) peak = std::max(peak, std::abs(s));
    EXPECT_GT(peak, 0.5f) << *name;  // rendered at 0.9 of full scale: not silent, not lost
    sf_close(file);
  }
  EXPECT_EQ(missing, std::set<std::string>{kMissingSong});
  EXPECT_EQ(not_audio, std::set<std::string>{kNotAudio});
}

TEST_F(JuboDemoTest, WholeDemoStaysUnderTenMegabytesAndLeavesNoTemporaryFiles) {
  uintmax_t total = 0;
  for (const auto& entry : fs::recursive_directory_iterator(dir_)) {
    if (!entry.is_regular_file()) continue;
    total += entry.file_size();
    EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
  }
  EXPECT_LT(total, 10'000'000u);
}

// Each case stops the tool before it renders a song, except the last, which stops at the
// first song; none may leave a library behind. Paths are relative to a scratch folder.
TEST(JuboDemoFailureTest, ExitsOneWithOneLineWhenAFolderOrFileCannotBeMade) {
  struct Case {
    const char* folder;   // the argument; nullptr for none
    const char* blocker;  // a path taken before the run, by a file or by a folder
    bool blocker_is_folder;
    const char* message;  // how stderr begins
  };
  const Case kCases[] = {
      {nullptr, nullptr, false, "usage: jubo-demo DIR"},
      {"demo", "demo", false, "jubo-demo: cannot create folder"},
      {"demo/sub", "demo", false, "jubo-demo: cannot create folder"},
      {"demo", "demo/Kite Lantern", false, "jubo-demo: cannot create folder"},
      {"demo", "demo/O'Dara/Harbour's Edge/01 Harbour Lights.ogg.tmp", true,
       "jubo-demo: cannot write "},
  };
  const fs::path scratch = MakeTempDir();
  for (const Case& c : kCases) {
    const std::string label = std::string(c.folder ? c.folder : "(none)") + " with " +
                              (c.blocker ? c.blocker : "nothing") + " in the way";
    fs::remove_all(scratch / "demo");
    if (c.blocker != nullptr) {
      fs::create_directories((scratch / c.blocker).parent_path());
      if (c.blocker_is_folder) {
        fs::create_directory(scratch / c.blocker);
      } else {
        std::ofstream(scratch / c.blocker) << "in the way";
      }
    }
    std::vector<std::string> args;
    if (c.folder != nullptr) args.push_back((scratch / c.folder).string());

    RunResult run = RunProgram(JUBO_DEMO, args, scratch);
    EXPECT_EQ(run.status, 1) << label;
    EXPECT_EQ(run.out, "") << label;
    EXPECT_EQ(run.err.rfind(c.message, 0), 0u) << label << ": " << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << label << ": " << run.err;
    EXPECT_FALSE(fs::exists(scratch / "demo/jubodb.txt")) << label;
  }
  fs::remove_all(scratch);
}

}  // namespace

// jubo-demo from outside: one run into a folder holding a stale demo, the library it wrote read
// back through the driver and libsndfile.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "library/library_connection.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using jubo_test::RunProgram;
using jubo_test::RunResult;

// Over what an older demo could have left: a stale library and a broken song file. The
// folder's name makes every Filename need CSV quotes.
TEST(JuboDemoTest, WritesTheDemoOverAnOldOne) {
  jubo_test::TempDir scratch;
  const fs::path dir = scratch.path() / "demo, \"take 2\"";
  fs::create_directories(dir / "O'Dara/Harbour's Edge");
  std::ofstream(dir / "jubodb.txt") << "Album,Artist,Title,Track,Filename\nOld,Old,Old,1,x\n";
  std::ofstream(dir / "O'Dara/Harbour's Edge/01 Harbour Lights.ogg") << "truncated";
  const RunResult run = RunProgram(JUBO_DEMO, {dir.string()}, scratch.path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out.find('\n'), run.out.size() - 1) << run.out;
  EXPECT_NE(run.out.find("38 songs"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(dir.string()), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(" MB"), std::string::npos) << run.out;

  library::LibraryState library;
  ASSERT_TRUE(library::OpenLibrary(library, dir.string()).ok());
  textdb::Cursor cursor;
  ASSERT_TRUE(cursor.Open("Select Filename from jubodb.txt", library.LibraryConnection).ok());
  std::set<std::string> missing, not_audio;
  for (cursor.MoveFirst(); !cursor.IsEOF(); cursor.MoveNext()) {
    const std::string name(cursor.FieldAt(0).value_or(""));
    EXPECT_EQ(name.rfind(dir.string() + "/", 0), 0u) << name;
    const std::string relative = fs::path(name).lexically_relative(dir).string();
    SF_INFO info = {};
    SNDFILE* file = fs::exists(name) ? sf_open(name.c_str(), SFM_READ, &info) : nullptr;
    if (file == nullptr) {
      (fs::exists(name) ? not_audio : missing).insert(relative);
      continue;
    }
    EXPECT_EQ(info.format, SF_FORMAT_OGG | SF_FORMAT_VORBIS) << name;
    EXPECT_EQ(info.channels, 1) << name;
    const double seconds = static_cast<double>(info.frames) / info.samplerate;
    EXPECT_TRUE(seconds >= 15 && seconds <= 30) << name << ": " << seconds << " s";
    std::vector<float> samples(info.frames);
    EXPECT_EQ(sf_readf_float(file, samples.data(), info.frames), info.frames) << name;
    float peak = 0;
    for (float s : samples) peak = std::max(peak, std::abs(s));
    EXPECT_GT(peak, 0.5f) << name;  // rendered at 0.9 of full scale: not silent, not lost
    sf_close(file);
  }
  EXPECT_EQ(missing, std::set<std::string>{"Hazel & Finch/Paper Boats/03 The Far Shore.ogg"});
  EXPECT_EQ(not_audio, std::set<std::string>{"The Copper Trams/Live at Home/02 Encore.ogg"});

  uintmax_t total = 0;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    total += entry.file_size();
    EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
  }
  EXPECT_LT(total, 10'000'000u);
}

}  // namespace

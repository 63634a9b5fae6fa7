// jubo-genlib and jubo-bench-library from outside: what they accept, what they refuse, and a
// whole benchmark run over a tiny library (its figures are not judged, only that every query of
// the catalogue ran and found its rows).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

using jubo_test::ReadFile;
using jubo_test::RunProgram;
using jubo_test::RunResult;

size_t Lines(const std::string& text) { return std::count(text.begin(), text.end(), '\n'); }

TEST(JuboGenlibTest, WritesTheLibraryItIsAskedFor) {
  jubo_test::TempDir scratch;
  struct Case {
    std::vector<std::string> args;  // "@" stands for a fresh folder
    size_t songs;
  };
  const Case kCases[] = {
      {{"@", "25"}, 25},
      {{"@/made/on/the/way", "7", "3"}, 7},
      {{"@", "1k", "2"}, 1000},
  };
  int n = 0;
  for (const Case& c : kCases) {
    const std::string folder = (scratch.path() / ("lib" + std::to_string(n++))).string();
    std::vector<std::string> args = c.args;
    std::string dir = args[0].replace(0, 1, folder);
    RunResult r = RunProgram(JUBO_GENLIB, args, scratch.path());
    EXPECT_EQ(r.status, 0) << dir << ": " << r.err;
    EXPECT_EQ(Lines(ReadFile(fs::path(dir) / "jubodb.txt")), c.songs + 1) << dir;
  }
}

TEST(JuboGenlibTest, RefusesWhatItCannotDo) {
  jubo_test::TempDir scratch;
  const std::string dir = scratch.path().string();
  struct Case {
    std::vector<std::string> args;
    int status;
  };
  const Case kCases[] = {
      {{}, 1},
      {{dir}, 1},
      {{dir, "0"}, 1},
      {{dir, "ten"}, 1},
      {{dir, "10", "seed"}, 1},
      {{dir, "10", "1", "more"}, 1},
      {{"/proc/no-such-folder/lib", "10"}, 2},
  };
  for (const Case& c : kCases) {
    std::string shown;
    for (const std::string& a : c.args) shown += " " + a;
    RunResult r = RunProgram(JUBO_GENLIB, c.args, scratch.path());
    EXPECT_EQ(r.status, c.status) << "jubo-genlib" << shown << ": " << r.err;
    EXPECT_FALSE(r.err.empty()) << "jubo-genlib" << shown << " says nothing";
  }
}

TEST(JuboBenchLibraryTest, RunsEveryQueryOverATinyLibrary) {
  jubo_test::TempDir scratch;
  const fs::path data = scratch.path() / "data";
  ASSERT_EQ(
      RunProgram(JUBO_GENLIB, {(data / "songs-400-seed-1").string(), "400"}, scratch.path()).status,
      0);
  RunResult r =
      RunProgram(JUBO_BENCH_LIBRARY,
                 {"--sizes", "400", "--data", data.string(), "--runs", "2", "--load-runs", "2"},
                 scratch.path());
  ASSERT_EQ(r.status, 0) << r.err;

  // Below the "query (ms)" header every line is a query: median, max and the rows it found.
  std::istringstream lines(r.out);
  std::string line;
  while (std::getline(lines, line) && line.rfind("query (ms)", 0) != 0) {
  }
  int queries = 0;
  while (std::getline(lines, line) && !line.empty()) {
    ++queries;
    std::istringstream fields(line.substr(38));
    std::string median, max;
    long rows = -1;
    fields >> median >> max >> rows;
    EXPECT_NE(median, "-") << line;
    EXPECT_GE(rows, 0) << line;
  }
  EXPECT_GT(queries, 20) << r.out;
}

TEST(JuboBenchLibraryTest, NamesTheCommandThatMakesAMissingLibrary) {
  jubo_test::TempDir scratch;
  RunResult r = RunProgram(JUBO_BENCH_LIBRARY, {"--sizes", "5k", "--data", scratch.path().string()},
                           scratch.path());
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(
      r.err.find("jubo-genlib " + (scratch.path() / "songs-5000-seed-1").string() + " 5000 1"),
      std::string::npos)
      << r.err;
  EXPECT_EQ(RunProgram(JUBO_BENCH_LIBRARY, {"--sizes", "ten"}, scratch.path()).status, 1);
}

}  // namespace

// The installed tree as a kiosk PC gets it: the build installed into a folder of the test's own,
// its jubo started from there (headless) on a demo library in the user's data folder, and its
// desktop entries, user unit and manual pages read by the tools that use them.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/jubo_process.h"
#include "support/run_program.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using jubo_test::ReadFile;
using jubo_test::RunProgram;
using Json = nlohmann::json;

// The build installed with `cmake --install` into a prefix of its own.
struct Installed {
  Installed() {
    const jubo_test::RunResult run = RunProgram(
        CMAKE_COMMAND, {"--install", JUBO_BUILD_DIR, "--prefix", prefix.path().string()}, ".");
    status = run.status;
    output = run.out + run.err;
  }
  std::string operator/(const std::string& path) const { return (prefix.path() / path).string(); }

  jubo_test::TempDir prefix;
  int status = -1;
  std::string output;
};

bool Has(const Json& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), Json(line)) != lines.end();
}

TEST(InstallTest, TheInstalledJuboReadsItsOwnAssetsAndTheLibraryInTheUsersDataFolder) {
  const Installed tree;
  ASSERT_EQ(tree.status, 0) << tree.output;
  // A line only the installed help text has: the build tree's and the source tree's lack it.
  const std::string help = tree / "share/jubo/help.txt";
  const std::string prose = ReadFile(help);
  std::ofstream(help, std::ios::trunc) << "Installed help.\n" << prose;

  jubo_test::RemoteJubo jubo;
  const fs::path data = jubo.home.path() / "data";
  const jubo_test::RunResult demo = RunProgram(tree / "bin/jubo-demo", {data / "jubo"}, ".");
  ASSERT_EQ(demo.status, 0) << demo.err;
  jubo.binary = tree / "bin/jubo";
  jubo.remote = tree / "bin/jubo-remote";
  jubo.env = {{"JUBO_HOME", ""}, {"XDG_DATA_HOME", data.string()}};
  ASSERT_TRUE(jubo.Start()) << jubo.out;
  // The Main Menu's rows show once the library has loaded; the missing library's message would
  // stand over them.
  Json menu;
  ASSERT_TRUE(jubo_test::Eventually([&] {
    menu = jubo.Screen();
    return menu["dialog"].is_null() && menu["rows"][0]["caption"] == "Select Songs by Album";
  })) << menu.dump();
  EXPECT_EQ(menu["title"], "Main Menu");
  std::vector<std::string> keys = {"--wait"};
  for (const Json& row : menu["rows"]) {
    if (row["tag"] == "help") break;
    keys.push_back("down");
  }
  keys.push_back("enter");
  ASSERT_EQ(jubo.Remote(keys), 0) << jubo.out;
  const Json shown = jubo.Screen();
  EXPECT_TRUE(shown["help"]) << shown.dump();
  EXPECT_TRUE(Has(shown["text"], "Installed help.")) << shown["text"].dump();
  EXPECT_TRUE(Has(shown["text"], "Overview")) << shown["text"].dump();
  jubo.process->Terminate();
  EXPECT_EQ(jubo.process->WaitExit(60s), 0);
  EXPECT_EQ(ReadFile(jubo.runtime.path() / "err"), "");
}

// Every installed file a desktop, systemd or man reads passes its checker without a word; the
// unit's check also finds its program and its manual page where the unit names them.
TEST(InstallTest, DesktopEntriesUnitAndManualPagesPassTheirCheckers) {
  const Installed tree;
  ASSERT_EQ(tree.status, 0) << tree.output;
  const jubo_test::TempDir runtime;
  struct Check {
    std::string program;
    std::vector<std::string> args;
    jubo_test::Env env{};
  };
  std::vector<Check> checks = {
      {DESKTOP_FILE_VALIDATE,
       {tree / "share/applications/jubo.desktop", tree / "etc/xdg/autostart/jubo.desktop"}},
      {SYSTEMD_ANALYZE,
       {"--user", "verify", tree / "lib/systemd/user/jubo.service"},
       {{"XDG_RUNTIME_DIR", runtime.path().string()}, {"MANPATH", tree / "share/man"}}},
  };
  for (const char* page : {"jubo", "jubo-remote", "jubo-scan", "jubo-sql", "jubo-demo"}) {
    checks.push_back(
        {GROFF, {"-man", "-Tutf8", "-ww", "-z", tree / "share/man/man1/" + page + ".1"}});
  }
  for (const Check& check : checks) {
    const jubo_test::RunResult run = RunProgram(check.program, check.args, ".", check.env);
    EXPECT_EQ(run.status, 0) << check.program << " " << check.args.back();
    EXPECT_EQ(run.out + run.err, "") << check.program << " " << check.args.back();
  }
  for (const char* icon : {"scalable/apps/jubo.svg", "256x256/apps/jubo.png"}) {
    EXPECT_TRUE(fs::is_regular_file(tree / "share/icons/hicolor/" + icon)) << icon;
  }
}

}  // namespace

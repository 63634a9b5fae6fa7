// The build installed in a folder of its own and run from there; its files pass their checkers.
#include <gtest/gtest.h>

#include "support/jubo_process.h"
#include "support/run_program.h"

namespace jubo_test {

TEST(InstallTest, TheInstalledTreeRunsFromWhereItIsAndItsFilesPassTheirCheckers) {
  const TempDir tmp;
  const std::string run = tmp.path(), p = run + "/usr", data = run + "/data";
  ASSERT_EQ(RunProgram(CMAKE_COMMAND, {"--install", JUBO_BUILD_DIR, "--prefix", p}, ".").status, 0);
  ASSERT_EQ(RunProgram(p + "/bin/jubo-demo", {data + "/jubo"}, ".").status, 0);
  setenv("XDG_DATA_HOME", data.c_str(), 1);  // and JUBO_HOME empty
  const std::string told = RunProgram(p + "/bin/jubo", {"--help"}, ".", {{"JUBO_HOME", ""}}).out;
  EXPECT_NE(told.find(data + "/jubo/jubodb.txt\nSettings"), told.npos) << told;
  EXPECT_NE(told.find("Pictures: " + p + "/share/jubo\n"), told.npos) << told;
  JuboProcess jubo("", run, run + "/err", p + "/bin/jubo");
  std::string out, remote = p + "/bin/jubo-remote";
  ASSERT_TRUE(Eventually([&] {
    return RunCommand({remote, "screen"}, run, &out) == 0 && out.find("Songs by Album") != out.npos;
  }));
  const std::vector<std::string> to_help = {remote, "--wait", "down",  "down",  "down",
                                            "down", "down",   "enter", "screen"};
  ASSERT_EQ(RunCommand(to_help, run, &out), 0) << out;
  EXPECT_NE(out.find(R"(","","Overview",)"), out.npos) << out;  // the help text, not its absence
  jubo.Terminate();
  EXPECT_EQ(jubo.WaitExit(std::chrono::seconds(60)), 0);
  EXPECT_EQ(ReadFile(run + "/err"), kNoBusLine);  // every picture was read
  for (const std::vector<std::string>& check : std::vector<std::vector<std::string>>{
           {"desktop-file-validate", p + "/share/applications/jubo.desktop",
            p + "/etc/xdg/autostart/jubo.desktop"},
           {"systemd-analyze", "--user", "verify", p + "/lib/systemd/user/jubo.service"},
           {"sh", "-c", "groff -man -Tutf8 -ww -z " + p + "/share/man/man1/*.1"}}) {
    const RunResult r = RunProgram("/usr/bin/env", check, ".",
                                   {{"XDG_RUNTIME_DIR", run}, {"MANPATH", p + "/share/man"}});
    EXPECT_EQ(r.out + r.err + "status " + std::to_string(r.status), "status 0") << check[0];
  }
}

}  // namespace jubo_test

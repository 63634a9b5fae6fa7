// The built program from outside: what it keeps from one start to the next. Runs with SDL's
// offscreen driver and a runtime folder of the test's own. (A second copy is the remote tests'.)
#include <gtest/gtest.h>

#include <chrono>
#include <nlohmann/json.hpp>

#include "app/startup.h"
#include "support/fixture_library.h"
#include "support/harness.h"
#include "support/jubo_process.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

using namespace std::chrono_literals;
using jubo_test::Eventually;
using jubo_test::JuboProcess;
using jubo_test::ReadFile;
using jubo_test::RunCommand;

// What is left with Left is kept: the program is killed afterwards, so nothing is saved at its
// end, and started again.
TEST(JuboBinaryTest, SettingsLeftWithLeftAreThereAtTheNextStart) {
  jubo_test::TempDir home, runtime;
  jubo_test::SmallLibrary().WriteTo(home.path());
  const std::string err = (runtime.path() / "jubo.err").string();
  std::string out;
  const auto remote = [&](std::vector<std::string> args) {
    args.insert(args.begin(), JUBO_REMOTE);
    return RunCommand(args, runtime.path().string(), &out) == 0;
  };
  const std::vector<std::string> kChanged = {"\"Screen Saver Type: Logo\"",
                                             "\"Screen Saver Timeout: 15 mins\"",
                                             "\"Action on Corrupt Song: Stop Playing\""};
  {
    JuboProcess jubo(home.path().string(), runtime.path().string(), err);
    ASSERT_TRUE(Eventually([&] { return remote({"screen"}); })) << out;
    // The timeout through the count dialog: five ones and a ten.
    ASSERT_TRUE(remote({"settings", "enter", "down", "enter", "left", "up", "up", "up", "up", "up",
                        "left", "up", "right", "right", "enter", "down", "enter", "screen"}))
        << out;
    EXPECT_NE(out.find(R"("view":21,"title":"Jubo Player Settings","crumbs":"Main Menu>")"),
              std::string::npos)
        << out;
    for (const std::string& row : kChanged) EXPECT_NE(out.find(row), std::string::npos) << out;
    // The answer comes once Left has been taken.
    ASSERT_TRUE(remote({"left", "screen"})) << out;
    jubo.Signal(SIGKILL);
    EXPECT_EQ(jubo.WaitExit(60s), 128 + SIGKILL);
  }
  JuboProcess again(home.path().string(), runtime.path().string(), err);
  ASSERT_TRUE(Eventually([&] { return remote({"screen"}); })) << out;
  ASSERT_TRUE(remote({"settings", "screen"})) << out;
  for (const std::string& row : kChanged) EXPECT_NE(out.find(row), std::string::npos) << out;
  again.Terminate();
  EXPECT_EQ(again.WaitExit(60s), 0);
  EXPECT_EQ(ReadFile(err), "");
}

// In a living room with only a remote control, the message that the library is missing is
// read and answered through the socket: the remote listens before the library is opened.
TEST(JuboBinaryTest, TheRemoteAnswersTheMissingLibraryMessage) {
  jubo_test::TempDir home, runtime;
  const std::string err = (runtime.path() / "jubo.err").string();
  std::string out;
  const auto remote = [&](const std::string& key) {
    return RunCommand({JUBO_REMOTE, key}, runtime.path().string(), &out) == 0;
  };
  JuboProcess jubo(home.path().string(), runtime.path().string(), err);
  ASSERT_TRUE(Eventually([&] { return remote("screen"); })) << out;
  const nlohmann::json dialog = nlohmann::json::parse(out)["dialog"];
  EXPECT_EQ(dialog["form"], "MessageBox") << out;
  EXPECT_EQ(dialog["lines"], nlohmann::json::array({app::kMissingLibrary})) << out;
  EXPECT_EQ(dialog["buttons"], nlohmann::json::array({"OK"})) << out;
  ASSERT_TRUE(remote("enter")) << out;
  EXPECT_EQ(jubo.WaitExit(60s), 1);
  EXPECT_EQ(ReadFile(err), std::string(app::kMissingLibrary) + "\n");
}

}  // namespace

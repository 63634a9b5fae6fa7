// MPRIS from outside: the built program on a private session bus of the test's own, driven by
// Debian's playerctl as desktop media keys and phone apps drive it, over the demo library.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "support/jubo_process.h"
#include "support/run_program.h"

namespace {

using namespace std::chrono_literals;
using jubo_test::Eventually;

class MprisTest : public testing::Test {
 protected:
  void SetUp() override {
    const std::string dir = jubo_.runtime.path().string();
    jubo_.runtime.Write("bus.conf", "<busconfig><type>session</type><listen>unix:path=" + dir +
                                        "/bus</listen><auth>EXTERNAL</auth><policy "
                                        "context=\"default\"><allow send_destination=\"*\" "
                                        "eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                                        "<allow own=\"*\"/></policy></busconfig>");
    bus_ = jubo_test::Spawn("/usr/bin/dbus-daemon",
                            {"--nofork", "--print-address=1", "--config-file=" + dir + "/bus.conf"},
                            dir, {}, dir + "/bus.out", dir + "/bus.err");
    // It prints its address once it listens.
    ASSERT_TRUE(Eventually([&] { return !jubo_test::ReadFile(dir + "/bus.out").empty(); }));
    bus_env_ = {{"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + dir + "/bus"}};
    jubo_.env = bus_env_;
    ASSERT_EQ(jubo_test::RunCommand({JUBO_DEMO, jubo_.home.path().string()}, dir, &jubo_.out), 0);
    ASSERT_TRUE(jubo_.Start()) << jubo_.out;
  }
  void TearDown() override {
    jubo_.process = nullptr;
    kill(bus_, SIGTERM);
    waitpid(bus_, nullptr, 0);
  }

  // What `playerctl -p jubo ARGS` prints, without its line break; its status must be 0.
  std::string Ctl(std::vector<std::string> args) {
    args.insert(args.begin(), {"-p", "jubo"});
    const jubo_test::RunResult run =
        jubo_test::RunProgram("/usr/bin/playerctl", args, ".", bus_env_);
    EXPECT_EQ(run.status, 0) << args[2] << ": " << run.err;
    return run.out.substr(0, run.out.find('\n'));
  }

  jubo_test::RemoteJubo jubo_;
  jubo_test::Env bus_env_;
  pid_t bus_ = -1;
};

TEST_F(MprisTest, PlayerctlDrivesThePlayerAndReadsItsSong) {
  EXPECT_EQ(Ctl({"status"}), "Stopped");
  // All Albums, letter B, its first album added: it plays.
  ASSERT_EQ(jubo_.Remote({"--wait", "enter", "right", "right", "enter", "right", "enter"}), 0);
  ASSERT_TRUE(Eventually([&] { return Ctl({"status"}) == "Playing"; }));

  const std::string song = "{{xesam:title}}|{{xesam:artist}}|{{xesam:album}}|{{mpris:length}}|";
  const std::string folder = "file://" + jubo_.home.path().string() + "/amber%20gold/bee%20sides/";
  struct Step {
    std::vector<std::string> command, query;
    std::string answer;
  };
  // Play and Pause never toggle: a wrong one shows as the next toggle's wrong answer.
  const Step kSteps[] = {
      {{"play-pause"}, {"status"}, "Paused"},
      {{"pause"}, {"status"}, "Paused"},
      {{"play-pause"}, {"status"}, "Playing"},
      {{"play"}, {"status"}, "Playing"},
      {{"play-pause"}, {"status"}, "Paused"},
      {{"next"}, {"status"}, "Playing"},
      {{"pause"},
       {"metadata", "--format", song + "{{xesam:url}}"},
       "Paper Planes|amber gold|bee sides|20461542|" + folder + "02%20Paper%20Planes.ogg"},
      {{"volume", "0.3"}, {"volume"}, "0.300000"},
      {{"volume", "0.52"}, {"volume"}, "0.500000"},  // to the nearest step of the volume keys
      {{"loop", "Playlist"}, {"loop"}, "Playlist"},
      {{"stop"}, {"status"}, "Stopped"},
  };
  for (const Step& step : kSteps) {
    Ctl(step.command);
    EXPECT_TRUE(Eventually([&] { return Ctl(step.query) == step.answer; }))
        << step.command[0] << ": " << Ctl(step.query);
  }

  const jubo_test::RunResult quit =
      jubo_test::RunProgram("/usr/bin/dbus-send",
                            {"--session", "--print-reply", "--dest=org.mpris.MediaPlayer2.jubo",
                             "/org/mpris/MediaPlayer2", "org.mpris.MediaPlayer2.Quit"},
                            ".", bus_env_);
  EXPECT_EQ(quit.status, 0) << quit.err;
  EXPECT_EQ(jubo_.process->WaitExit(60s), 0);
  EXPECT_EQ(jubo_test::ReadFile(jubo_.runtime.path() / "err"), "");
}

}  // namespace

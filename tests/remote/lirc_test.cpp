// The infrared remote from outside: the built program reading a fake lircd's socket, each line
// checked in the screen answer as a key press would be.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <nlohmann/json.hpp>

#include "screen/view_codes.h"
#include "support/harness.h"
#include "support/jubo_process.h"

namespace {

using Json = nlohmann::json;

TEST(LircTest, ButtonsActAsKeys) {
  jubo_test::RemoteJubo jubo;
  jubo_test::SmallLibrary().WriteTo(jubo.home.path());
  const std::string path = (jubo.runtime.path() / "lircd").string();
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, path.c_str());
  const int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 1), 0);
  jubo.env = {{"JUBO_LIRC_SOCKET", path}};
  ASSERT_TRUE(jubo.Start()) << jubo.out;
  pollfd waiting = {listener, POLLIN, 0};
  ASSERT_EQ(poll(&waiting, 1, 60'000), 1);  // it connects at start-up
  const int lircd = accept(listener, nullptr, nullptr);

  struct Step {
    std::string lines;
    std::vector<std::pair<std::string, Json>> shows;
  };
  const Step kSteps[] = {
      {"0000000000000001 00 KEY_DOWN living-room\n", {{"/row", 2}}},
      {"0000000000000001 01 KEY_DOWN living-room\n", {{"/row", 3}}},  // arrows repeat
      // A held OK acts once; lines that are no press, and buttons Jubo has no use for, do nothing.
      {"0000000000000001 01 KEY_OK r\nhello\n01 00 KEY_POWER r\n0000000000000001 00 KEY_UP r\n",
       {{"/row", 2}, {"/view", screen::kViewMainMenu}}},
      {"1 00 KEY_DOWN r\n1 00 KEY_OK r\n", {{"/view", screen::kViewCriteria}}},
      {"1 00 KEY_BACK r\n", {{"/view", screen::kViewMainMenu}, {"/row", 3}}},
      // Remotes have long names in lircd.conf.
      {"1 00 KEY_EXIT Microsoft_Xbox360_Universal_Media_Remote_with_a_longer_name\n",
       {{"/dialog/lines/0", "Exit Jubo Player?"}}},
  };
  for (const Step& step : kSteps) {
    ASSERT_EQ(write(lircd, step.lines.data(), step.lines.size()),
              static_cast<ssize_t>(step.lines.size()));
    for (const auto& [pointer, value] : step.shows) {
      EXPECT_TRUE(jubo_test::Eventually([&] {
        return jubo.Screen()[Json::json_pointer(pointer)] == value;
      })) << step.lines
          << pointer;
    }
  }
  close(lircd);
  close(listener);
}

}  // namespace

// The remote control from outside: the built program driven by jubo-remote and by raw clients
// of its socket, as remote software would.
#include "remote/endpoint.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "support/harness.h"
#include "support/jubo_process.h"
#include "support/run_program.h"

namespace {

using namespace std::chrono_literals;
using jubo_test::JuboProcess;
using Json = nlohmann::json;

class RemoteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    jubo_test::SmallLibrary().WriteTo(jubo_.home.path());
    ASSERT_TRUE(jubo_.Start()) << jubo_.out;
  }
  std::string SocketPath() const { return (jubo_.runtime.path() / "jubo" / "Remote").string(); }

  // A raw client of the socket.
  int Connect() const {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, SocketPath().c_str());
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    return fd;
  }

  jubo_test::RemoteJubo jubo_;
};

TEST_F(RemoteTest, KeysArriveInOrderAndTheScreenAnswerFollowsThem) {
  EXPECT_EQ(jubo_.Remote({"--wait", "down", "down", "0x8001", "32770"}), 0) << jubo_.out;
  Json s = jubo_.Screen();
  EXPECT_EQ(s["row"], 3);
  EXPECT_EQ(s["rows"][2]["caption"], "Select Songs using Jubo DJ");

  // Numbers outside the table and lines that are no number change nothing.
  int fd = Connect();
  const std::string junk = "0x8015\n0x7FFF\nhello\n" + std::string(100, '9') + "\n\n\r\n";
  ASSERT_EQ(send(fd, junk.data(), junk.size(), 0), static_cast<ssize_t>(junk.size()));
  close(fd);
  EXPECT_EQ(jubo_.Screen()["row"], 3);

  // A client that sends a megabyte without a line break is dropped, clients that connect, send
  // and go at once are served, and others go on.
  int flood = Connect();
  const std::string chunk(64 * 1024, 'x');
  for (int i = 0; i < 17; ++i) {
    if (send(flood, chunk.data(), chunk.size(), MSG_NOSIGNAL) <= 0) break;
  }
  close(flood);
  for (int i = 0; i < 50; ++i) {
    fd = Connect();
    send(fd, i % 2 == 0 ? "0x8002\n" : "0x8001\n", 7, MSG_NOSIGNAL);
    close(fd);
  }
  EXPECT_EQ(jubo_.Remote({"--wait", "menu"}), 0);
  EXPECT_EQ(jubo_.Screen()["row"], 1);

  // A key that opens a question is taken when the question shows; the next call answers it.
  EXPECT_EQ(jubo_.Remote({"--wait", "escape"}), 0);
  s = jubo_.Screen();
  EXPECT_EQ(s["dialog"]["lines"][0], "Exit Jubo Player?");
  EXPECT_EQ(jubo_.Remote({"--wait", "enter"}), 0);
  s = jubo_.Screen();
  EXPECT_TRUE(s["dialog"].is_null());
  EXPECT_EQ(s["highlight"], true);

  EXPECT_EQ(jubo_.Remote({"escape", "right", "enter"}), 0);
  EXPECT_EQ(jubo_.process->WaitExit(60s), 0);
  // The socket goes with the program.
  EXPECT_FALSE(std::filesystem::exists(SocketPath()));
  EXPECT_EQ(jubo_.Remote({"screen"}), 1);
  EXPECT_EQ(jubo_.out, "Jubo is not running\n");
  EXPECT_EQ(jubo_.Remote({"upp"}), 2);  // a key name it does not know: it says which it does
  EXPECT_NE(jubo_.out.find("escape up down left right enter play next"), std::string::npos)
      << jubo_.out;
}

// socat and nc shut their writing side at the end of their input: every complete line sent
// before is still answered, then the connection closes.
TEST_F(RemoteTest, AClientThatStopsSendingGetsItsAnswersThenTheEnd) {
  struct Case {
    std::string sent;
    std::vector<int> rows;  // the row each answer shows
  };
  const Case kCases[] = {
      {"screen\n", {1}},
      {"0x8002\nscreen\n0x8002\nscreen\n", {2, 3}},
      {"screen", {}},  // no complete line
  };
  for (const Case& c : kCases) {
    int fd = Connect();
    const timeval kLimit{60, 0};  // a generous bound, so a lost answer fails instead of hanging
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &kLimit, sizeof kLimit);
    ASSERT_EQ(send(fd, c.sent.data(), c.sent.size(), 0), static_cast<ssize_t>(c.sent.size()));
    shutdown(fd, SHUT_WR);
    std::string received;
    char buffer[4096];
    ssize_t n;
    while ((n = recv(fd, buffer, sizeof buffer, 0)) > 0) received.append(buffer, n);
    EXPECT_EQ(n, 0) << c.sent << ": the connection was not closed";
    close(fd);
    std::vector<int> rows;
    for (size_t start = 0, end; (end = received.find('\n', start)) != std::string::npos;
         start = end + 1) {
      rows.push_back(Json::parse(received.substr(start, end - start))["row"]);
    }
    EXPECT_EQ(rows, c.rows) << c.sent;
  }
}

// The first copy answers its remote only once it holds the lock: a second copy ends at once,
// quietly, and leaves the first alone. (A copy killed hard is replaced at the next start: the
// built program's settings test starts it again so.)
TEST_F(RemoteTest, ASecondCopyEndsAtOnceAndLeavesTheFirstAlone) {
  const std::string runtime = jubo_.runtime.path().string();
  JuboProcess second(jubo_.home.path().string(), runtime, runtime + "/second.err");
  EXPECT_EQ(second.WaitExit(60s), 0);  // the bound only keeps a broken lock from hanging the test
  EXPECT_EQ(jubo_test::ReadFile(runtime + "/second.err"), "");
  EXPECT_EQ(jubo_.Screen()["row"], 1);  // the first still answers
}

}  // namespace

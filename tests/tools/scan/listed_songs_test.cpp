// jubo-scan --from-beets and --from-mpd against a real beets library and a real MPD, each
// made from one music folder: the library written must be the folder scan's.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "bench/pulse_recording.h"
#include "scan_test_support.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using scan_test::RunProgram;
using scan_test::RunResult;

// True when something listens on the loopback `port`.
bool Answers(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{AF_INET, htons(static_cast<uint16_t>(port)), {htonl(INADDR_LOOPBACK)}, {}};
  const bool answered = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return answered;
}

// An MPD of the test's own on `music`, on a free loopback port and a socket in `dir`, its
// database made before the constructor returns; stopped with this.
struct Mpd {
  Mpd(const fs::path& dir, const fs::path& music)
      : port(std::to_string(jubo_test::FreePort())), socket((dir / "socket").string()) {
    scan_test::WriteFile(dir / "mpd.conf", "music_directory \"" + music.string() + "\"\n" +
                                               "db_file \"" + (dir / "db").string() + "\"\n" +
                                               "bind_to_address \"127.0.0.1\"\nport \"" + port +
                                               "\"\nbind_to_address \"" + socket + "\"\n" +
                                               "audio_output {\ntype \"null\"\nname \"null\"\n}\n");
    peer = std::make_unique<bench::Peer>(dir, "mpd",
                                         std::vector<std::string>{"--no-daemon", "mpd.conf"});
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!Answers(std::stoi(port)) && std::chrono::steady_clock::now() < give_up) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const RunResult update = RunProgram(
        "/usr/bin/mpc", {"--host", "127.0.0.1", "--port", port, "update", "--wait"}, dir);
    EXPECT_EQ(update.status, 0) << update.err << scan_test::ReadFile(dir / "mpd.err");
  }
  const std::string port;
  const std::string socket;
  std::unique_ptr<bench::Peer> peer;
};

TEST(ListedSongsTest, BeetsAndMpdGiveTheFolderScansRowsAndSayWhatTheyCannot) {
  const jubo_test::TempDir dir;
  const fs::path music = dir.path() / "Music", out = dir.path() / "out";
  fs::create_directories(out);
  // "Ana B" comes after the folder "Ana" in a walk, though ' ' is below '/'.
  scan_test::WriteSong(music / "Ana/Songs, Vol. 2/07 The Long Road.ogg",
                       {"The \"Long\" Road", "Ana", "Songs, Vol. 2", "7", "Rock", "128", ""});
  scan_test::WriteSong(music / "Ana/Songs, Vol. 2/08 Untitled.flac", {});
  scan_test::WriteSong(music / "Ana B/01 \xC3\x89lan.opus",
                       {"\xC3\x89lan", "Ana B", "Blue Hour", "2/9", "jazz", "95", ""});
  scan_test::WriteSong(music / "O'Dara/01 Intro.mp3",
                       {"Intro", "O'Dara", "Blue Hour", "01", "Jazz", "0", ""});
  scan_test::WriteSong(music / "O'Dara/02 Live.m4a", {"Live", "O'Dara", "", "", "Jazz", "150", ""});
  scan_test::WriteSong(music / "Gone.flac", {"Gone", "", "", "", "", "", ""});

  const fs::path beets = dir.path() / "beets";
  scan_test::WriteFile(beets / "config.yaml", "directory: " + music.string() +
                                                  "\nlibrary: " + (beets / "library.db").string() +
                                                  "\nimport:\n  copy: no\n  write: no\n");
  const RunResult import =
      RunProgram("/usr/bin/beet", {"import", "-A", "-q", music.string()}, dir.path(),
                 {{"HOME", dir.path().string()}, {"BEETSDIR", beets.string()}});
  ASSERT_EQ(import.status, 0) << import.err;
  fs::create_directories(dir.path() / "mpd");
  const Mpd mpd(dir.path() / "mpd", music);
  fs::remove(music / "Gone.flac");
  ASSERT_EQ(RunProgram(JUBO_SCAN, {music.string(), "-o", "folders.txt"}, out).status, 0);
  const std::string expected = scan_test::ReadFile(out / "folders.txt");
  ASSERT_NE(expected.find("\xC3\x89lan,2,"), std::string::npos) << expected;

  const std::string gone = "jubo-scan: " + (music / "Gone.flac").string() + ": in ";
  const std::string mpd_gone = gone +
                               "MPD's database: No such file or directory (mpc update forgets a "
                               "song whose file is gone); left out\n";
  const std::string old = "Album,Artist,Title,Track,Filename,Genre,Tempo\n";
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string err;  // all of it, or how it begins when nothing is written
  };
  const Case kCases[] = {
      {{"--from-beets", (beets / "library.db").string()},
       1,
       gone + "the beets library: No such file or directory (beet update forgets a song whose "
              "file is gone); left out\n"},
      {{"--from-mpd", "127.0.0.1:" + mpd.port, "--music-dir", music.string()}, 1, mpd_gone},
      {{"--from-mpd", mpd.socket}, 1, mpd_gone},  // the music folder asked of MPD
      {{"--from-mpd", "127.0.0.1:" + mpd.port},
       2,
       "jubo-scan: MPD at 127.0.0.1:" + mpd.port + " names its music folder only to clients"},
      {{"--from-beets", (music / "none.db").string()},
       2,
       "jubo-scan: cannot read beets library " + (music / "none.db").string() + ": No such file"},
      {{"--from-beets", (music / "O'Dara/01 Intro.mp3").string()},
       2,
       "jubo-scan: cannot read beets library " + (music / "O'Dara/01 Intro.mp3").string() +
           ": not a beets library: file is not a database"},
  };
  for (const Case& c : kCases) {
    const std::string label = c.args[0] + " " + c.args[1];
    scan_test::WriteFile(out / "jubodb.txt", old);
    const RunResult run = RunProgram(JUBO_SCAN, c.args, out);
    EXPECT_EQ(run.status, c.status) << label << ": " << run.err;
    if (c.status == 2) {
      EXPECT_EQ(run.err.rfind(c.err, 0), 0u) << label << ": " << run.err;
      EXPECT_EQ(scan_test::ReadFile(out / "jubodb.txt"), old) << label;
      continue;
    }
    EXPECT_EQ(run.err, c.err) << label;
    EXPECT_EQ(scan_test::ReadFile(out / "jubodb.txt"), expected) << label;
  }
}

}  // namespace

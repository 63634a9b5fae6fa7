// jubo-bench-phone JUBO JUBO_REMOTE LIBRARY_DIR PORT [SECONDS]: the phone remote at the size
// of LIBRARY_DIR's library (bench/run_phone makes one of 1,000,000 songs), side by side in one
// run:
//   search   the search built from the loaded library (its build time), then queries of 2, 3
//            and 5 letters, accents among them: median and slowest of each length;
//   key      a key over HTTP (POST /api/key) to the screen's change heard on the event stream
//            (GET /api/events), on the loopback, against the built jubo: median and slowest;
//   idle     jubo's CPU with no follower of the event stream and with 20, over SECONDS each;
//   hostile  the key's latency again while one client follows events and never reads, one
//            floods searches, one sends bodies of 10 MB and one dribbles a header a byte a
//            second.
#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "library/library_connection.h"
#include "phone/song_search.h"
#include "textdb/connection.h"

namespace {

using Clock = std::chrono::steady_clock;
using Json = nlohmann::json;

// The process's resident memory in MB.
double ResidentMb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024;
  }
  return 0;
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Figures {
  double median = 0, max = 0;
};
Figures Summary(std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  return ms.empty() ? Figures{} : Figures{ms[ms.size() / 2], ms.back()};
}

void Search(const std::string& folder) {
  textdb::Connection connection;
  auto start = Clock::now();
  if (!connection.Open(library::ConnectionString(folder)).ok() ||
      !connection.LoadTable(textdb::kLibraryTable).ok()) {
    std::fprintf(stderr, "cannot load %s\n", folder.c_str());
    std::exit(1);
  }
  std::printf("library loaded in %.0f ms\n", Ms(Clock::now() - start));
  start = Clock::now();
  const double before = ResidentMb();
  std::string error;
  auto search = phone::SongSearch::Build(connection.Image(), folder, &error);
  if (search == nullptr) {
    std::fprintf(stderr, "no search: %s\n", error.c_str());
    std::exit(1);
  }
  std::printf("search built in %.0f ms, %.0f MB more memory (%zu songs, %zu albums, %zu artists)\n",
              Ms(Clock::now() - start), ResidentMb() - before, search->songs().size(),
              search->albums().size(), search->artists().size());
  // Common letters that fill every kind at once, rare ones that scan everything, accents.
  const std::vector<std::vector<std::string>> kQueries = {
      {"el", "ÉL", "zq", "ha", "öl", "xj", "ro", "é'"},
      {"ela", "Öls", "qzx", "the", "rou", "ñ x", "liv", "mid"},
      {"élan ", "ölsen", "zzqxj", "green", "round", "hits]", "o'dar", "river"},
  };
  std::printf("\n%-8s %10s %10s %8s\n", "letters", "median ms", "max ms", "hits");
  const int kLetters[] = {2, 3, 5};
  for (size_t kind = 0; kind < kQueries.size(); ++kind) {
    const std::vector<std::string>& queries = kQueries[kind];
    std::vector<double> times;
    size_t hits = 0;
    std::string slowest;
    double slowest_ms = 0;
    for (int round = 0; round < 5; ++round) {
      for (const std::string& q : queries) {
        const auto t = Clock::now();
        hits += search->Find(q).size();
        times.push_back(Ms(Clock::now() - t));
        if (times.back() > slowest_ms) slowest_ms = times.back(), slowest = q;
      }
    }
    const Figures f = Summary(times);
    std::printf("%-8d %10.2f %10.2f %8zu   (slowest: \"%s\")\n", kLetters[kind], f.median, f.max,
                hits / 5, slowest.c_str());
  }
}

// The built program, its web server on `port`, the library of `home`.
struct Program {
  pid_t pid = -1;
  ~Program() {
    if (pid > 0) kill(pid, SIGTERM), waitpid(pid, nullptr, 0);
  }
};

double CpuSeconds(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string field;
  long ticks = 0;
  for (int i = 1; i <= 15 && stat >> field; ++i) {
    if (i == 14 || i == 15) ticks += std::stol(field);
  }
  return static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Follows the event stream, counting screens; the row of the newest.
struct Follower {
  std::atomic<int> row{0}, events{0};
  std::atomic<bool> stop{false};
  httplib::Client http;
  std::thread thread;
  Follower(int port, const std::string& token) : http("127.0.0.1", port) {
    http.set_read_timeout(60, 0);
    thread = std::thread([this, token] {
      std::string buffer;
      http.Get("/api/events", {{"Authorization", "Bearer " + token}},
               [&](const char* data, size_t n) {
                 buffer.append(data, n);
                 for (size_t end; (end = buffer.find("\n\n")) != std::string::npos;) {
                   const std::string event = buffer.substr(0, end);
                   buffer.erase(0, end + 2);
                   if (event.rfind("event: screen\ndata: ", 0) != 0) continue;
                   row = Json::parse(event.substr(20))["row"].get<int>();
                   ++events;
                 }
                 return !stop;
               });
    });
  }
  ~Follower() {
    stop = true;
    http.stop();  // rather than wait for the next keepalive
    thread.join();
  }
};

// Keys down and up in turn, each timed until the follower hears the row it moves to.
Figures KeyLatency(int port, const std::string& token, Follower& follower, int keys) {
  httplib::Client http("127.0.0.1", port);
  const httplib::Headers auth = {{"Authorization", "Bearer " + token}};
  std::vector<double> times;
  for (int i = 0; i < keys; ++i) {
    const int from = follower.row;
    const int to = from == 1 ? 2 : 1;
    const auto t = Clock::now();
    http.Post("/api/key", auth, to > from ? R"({"key":"down"})" : R"({"key":"up"})", "text/plain");
    while (follower.row != to) {
      if (Clock::now() - t > std::chrono::seconds(10)) break;
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    times.push_back(Ms(Clock::now() - t));
  }
  return Summary(times);
}

int Connect(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  return fd;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 6) {
    std::fprintf(stderr, "usage: jubo-bench-phone JUBO JUBO_REMOTE LIBRARY_DIR PORT SECONDS\n");
    return 1;
  }
  const std::string jubo = argv[1], remote = argv[2], home = argv[3];
  const int port = std::atoi(argv[4]), seconds = std::atoi(argv[5]);
  Search(home);
  if (port == 0) return 0;  // the search alone

  Program program;
  program.pid = fork();
  if (program.pid == 0) {
    setenv("JUBO_WEB_PORT", argv[4], 1);
    execl(jubo.c_str(), jubo.c_str(), nullptr);
    _exit(127);
  }
  httplib::Client http("127.0.0.1", port);
  const auto start = Clock::now();
  while (http.Post("/api/pairing", "", "text/plain").error() != httplib::Error::Success) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  std::printf("\njubo serving %.1f s after start\n", Ms(Clock::now() - start) / 1000);
  const std::string screen_command = remote + " screen";
  FILE* out = popen(screen_command.c_str(), "r");
  std::string answer;
  for (int c; (c = std::fgetc(out)) != EOF;) answer += static_cast<char>(c);
  pclose(out);
  const std::string code = Json::parse(answer)["pairing"]["code"];
  const std::string token = Json::parse(
      http.Post("/api/pair", Json{{"code", code}}.dump(), "application/json")->body)["token"];
  const httplib::Headers auth = {{"Authorization", "Bearer " + token}};
  while (http.Get("/api/search?q=el", auth)->status != 200) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  std::printf("search ready %.1f s after start\n", Ms(Clock::now() - start) / 1000);

  Figures key;
  {
    Follower follower(port, token);
    while (follower.events == 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    key = KeyLatency(port, token, follower, 100);
  }
  std::printf("\nkey over HTTP to the event stream: median %.2f ms, max %.2f ms (100 keys)\n",
              key.median, key.max);

  auto cpu = [&](int followers) {
    std::vector<std::unique_ptr<Follower>> group;
    for (int i = 0; i < followers; ++i) group.push_back(std::make_unique<Follower>(port, token));
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const double c0 = CpuSeconds(program.pid);
    const auto t0 = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double used = CpuSeconds(program.pid) - c0;
    return 100 * used / (Ms(Clock::now() - t0) / 1000);
  };
  const double idle_none = cpu(0), idle_twenty = cpu(20);
  std::printf("idle CPU over %d s: %.2f%% of a core with no follower, %.2f%% with 20\n", seconds,
              idle_none, idle_twenty);

  // The hostile clients, then the key's latency beside them.
  std::atomic<bool> stop{false};
  std::vector<std::thread> hostile;
  hostile.emplace_back([&] {  // follows and never reads
    const int fd = Connect(port);
    int small = 4096;
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    const std::string request =
        "GET /api/events HTTP/1.1\r\nHost: x\r\nAuthorization: Bearer " + token + "\r\n\r\n";
    send(fd, request.data(), request.size(), 0);
    while (!stop) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    close(fd);
  });
  std::atomic<long> floods{0}, oversized{0};
  hostile.emplace_back([&] {  // floods searches
    httplib::Client flood("127.0.0.1", port);
    const char* kQueries[] = {"/api/search?q=zq", "/api/search?q=el", "/api/screen", "/api/nope"};
    for (int i = 0; !stop; ++i, ++floods) flood.Get(kQueries[i % 4], auth);
  });
  hostile.emplace_back([&] {  // bodies of 10 MB
    const std::string body(10 << 20, 'x');
    while (!stop) {
      const int fd = Connect(port);
      const std::string head =
          "POST /api/key HTTP/1.1\r\nHost: x\r\nContent-Length: " + std::to_string(body.size()) +
          "\r\nAuthorization: Bearer " + token + "\r\n\r\n";
      send(fd, head.data(), head.size(), MSG_NOSIGNAL);
      send(fd, body.data(), body.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
      char reply[256];
      recv(fd, reply, sizeof reply, 0);
      close(fd);
      ++oversized;
    }
  });
  hostile.emplace_back([&] {  // a header a byte a second
    const int fd = Connect(port);
    const std::string request = "GET /api/screen HTTP/1.1\r\nX-Slow: ";
    for (size_t i = 0; !stop; i = (i + 1) % request.size()) {
      send(fd, &request[i], 1, MSG_NOSIGNAL);
      std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    close(fd);
  });
  std::this_thread::sleep_for(std::chrono::seconds(2));
  {
    Follower follower(port, token);
    while (follower.events == 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    key = KeyLatency(port, token, follower, 100);
  }
  stop = true;
  for (std::thread& t : hostile) t.join();
  std::printf(
      "key beside hostile clients: median %.2f ms, max %.2f ms (%ld flood requests, %ld "
      "oversized bodies meanwhile)\n",
      key.median, key.max, floods.load(), oversized.load());
  std::printf("Targets: search under 50 ms; key under 50 ms; idle with 20 followers under 2%%.\n");
  return 0;
}

// The phone remote from outside: the built program on the demo library, its web server on a
// free loopback port, spoken to over HTTP as the phone page speaks to it, and checked in the
// screen answer jubo-remote reads.
#include <gtest/gtest.h>
#include <httplib.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <set>

#include "support/jubo_process.h"
#include "support/run_program.h"

namespace {

using Json = nlohmann::json;
using jubo_test::Eventually;

class PhoneRemoteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("JUBO_WEB_PORT", std::to_string(port).c_str(), 1);
    ASSERT_EQ(jubo_test::RunCommand({JUBO_DEMO, jubo.home.path().string()},
                                    jubo.runtime.path().string(), &jubo.out),
              0);
    std::filesystem::create_directories(jubo.runtime.path() / "config/jubo");
    std::ofstream(jubo.runtime.path() / "config/jubo/registry.json")
        << R"({"HKEY_CURRENT_USER\\Software\\Tarvento\\Jubo_Player\\PhoneRemote":{"Enabled":1}})";
    ASSERT_TRUE(jubo.Start()) << jubo.out;
    ASSERT_TRUE(Eventually([&] { return Status(http.Get("/")) == 200; }));
  }
  static int Status(const httplib::Result& r) { return r ? r->status : -1; }
  static Json Body(const httplib::Result& r) {
    return r ? Json::parse(r->body, nullptr, false) : Json();
  }
  std::string Code() { return jubo.Screen()["pairing"].value("code", ""); }
  httplib::Result Pair(const std::string& code) {
    return http.Post("/api/pair", Json{{"code", code}}.dump(), "application/json");
  }
  // Asks for a code and pairs with it; the token.
  std::string Paired() {
    EXPECT_EQ(Status(http.Post("/api/pairing")), 204);
    const std::string address = jubo.Screen()["pairing"].value("address", "");
    EXPECT_TRUE(address.starts_with("http://") &&
                address.ends_with(":" + std::to_string(port) + "/"))
        << address;
    httplib::Result paired = Pair(Code());
    EXPECT_EQ(Status(paired), 200);
    EXPECT_NE(paired->get_header_value("Set-Cookie").find("HttpOnly; SameSite=Strict"),
              std::string::npos);
    return Body(paired).value("token", "");
  }
  httplib::Headers Bearer(const std::string& token) {
    return {{"Authorization", "Bearer " + token}};
  }

  int port = jubo_test::FreePort();
  jubo_test::RemoteJubo jubo;
  httplib::Client http{"127.0.0.1", port};
};

TEST_F(PhoneRemoteTest, RefusesWhatAPairedPhoneWouldNotSend) {
  const std::string token = Paired();
  ASSERT_EQ(token.size(), 64u);
  const std::string key = R"({"key":"down"})";
  struct Case {
    const char* what;
    std::function<httplib::Result()> request;
    int status;
  } const kCases[] = {
      {"no token", [&] { return http.Get("/api/screen"); }, 401},
      {"a wrong token", [&] { return http.Get("/api/screen", Bearer(std::string(64, '0'))); }, 401},
      {"a forged cross-site POST",
       [&] {
         return http.Post("/api/key", {{"Cookie", "jubo_token=" + token}}, key, "text/plain");
       },
       403},
      {"the cookie and its header",
       [&] {
         return http.Post("/api/key", {{"Cookie", "jubo_token=" + token}, {"X-Jubo-Token", token}},
                          key, "text/plain");
       },
       204},
      {"an oversized body",
       [&] { return http.Post("/api/key", Bearer(token), std::string(5000, ' '), "text/plain"); },
       413},
      {"dots out of the page", [&] { return http.Get("/../jubodb.txt"); }, 404},
      {"encoded dots", [&] { return http.Get("/%2e%2e/%2e%2e/jubodb.txt"); }, 404},
      {"an unknown API", [&] { return http.Get("/api/nothing", Bearer(token)); }, 404},
      {"an unknown key",
       [&] { return http.Post("/api/key", Bearer(token), R"({"key":"jump"})", "text/plain"); },
       400},
      {"bad JSON", [&] { return http.Post("/api/key", Bearer(token), "{", "text/plain"); }, 400},
  };
  for (const Case& c : kCases) EXPECT_EQ(Status(c.request()), c.status) << c.what;

  // Wrong codes: four are counted down; the fifth puts a new code on the TV.
  EXPECT_EQ(Body(Pair("123456"))["error"], "Ask for a code on the TV first");
  ASSERT_TRUE(Eventually([&] { return Status(http.Post("/api/pairing")) == 204; }));
  for (int attempt = 1; attempt <= 6; ++attempt) {
    const std::string code = Code();
    const std::string wrong = code == "000000" ? "000001" : "000000";
    const Json answer = Body(Pair(wrong));
    if (attempt == 5) {
      EXPECT_EQ(answer["error"], "Too many wrong codes: a new code is on the TV");
      EXPECT_NE(Code(), code);
    } else {
      EXPECT_EQ(answer, (Json{{"error", "Wrong code"}, {"tries", attempt == 6 ? 4 : 5 - attempt}}));
    }
  }
}

TEST_F(PhoneRemoteTest, PairMoveSearchAndAdd) {
  const std::string token = Paired();
  EXPECT_TRUE(jubo.Screen()["pairing"].is_null()) << "the panel closes when a phone pairs";

  // The event stream starts with the screen as it is.
  std::string events;
  http.Get("/api/events", Bearer(token), [&](const char* data, size_t length) {
    events.append(data, length);
    return events.find("\n\n") == std::string::npos;
  });
  EXPECT_EQ(events.rfind("event: screen\ndata: {\"view\":4,", 0), 0u) << events;

  EXPECT_EQ(Status(http.Post("/api/key", Bearer(token), R"({"key":"down"})", "text/plain")), 204);
  EXPECT_TRUE(Eventually([&] { return Body(http.Get("/api/screen", Bearer(token)))["row"] == 2; }));
  EXPECT_EQ(Status(http.Post("/api/tap", Bearer(token), R"({"row":4})", "text/plain")), 204);
  EXPECT_TRUE(Eventually([&] { return jubo.Screen()["row"] == 4; }));

  Json found;
  ASSERT_TRUE(Eventually([&] {
    found = Body(http.Get("/api/search?q=ELAN", Bearer(token)));
    return found.contains("results");
  }));
  // What each query finds, kind and name, in any order: case and accents do not count, a song
  // is found by its album or artist too, fewer than two letters find nothing.
  const std::pair<std::string, std::multiset<std::string>> kSearches[] = {
      {"e", {}},
      {"zq", {}},
      {"ÉMILE",
       {"artist Émile Roche", "song Café Noir", "song Rue des Lilas", "song Élan",
        "song Smoke Rings", "song Half Past Two"}},
      {"paper",
       {"album Paper Boats", "song Paper Planes", "song Paper Boats", "song Willow Song",
        "song The Far Shore"}},
      {"live%20at",
       {"album Live at Home", "song Kitchen Reel", "song Candle in the Window", "song Sound Check",
        "song Encore"}},
  };
  for (const auto& [query, names] : kSearches) {
    std::multiset<std::string> shown;
    const Json answer = Body(http.Get("/api/search?q=" + query, Bearer(token)));
    for (const Json& r : answer["results"]) {
      const std::string kind = r["kind"];
      shown.insert(kind + " " + r[kind == "song" ? "title" : kind].get<std::string>());
    }
    EXPECT_EQ(shown, names) << query;
  }
  const auto song = std::find_if(found["results"].begin(), found["results"].end(),
                                 [](const Json& r) { return r.value("title", "") == "Élan"; });
  ASSERT_NE(song, found["results"].end()) << found;
  EXPECT_EQ(found["results"][0]["kind"], "album") << "albums come first";
  const Json added = Body(
      http.Post("/api/add", Bearer(token), Json{{"id", (*song)["id"]}}.dump(), "application/json"));
  EXPECT_EQ(added, (Json{{"added", 1}}));
  EXPECT_EQ(Body(http.Get("/api/playlist", Bearer(token)))["entries"][0]["title"], "Élan");
  EXPECT_EQ(jubo.Screen()["playlist"]["count"], 1);
  // An album goes after it in track order; a song to play next goes before the album.
  const Json paper = Body(http.Get("/api/search?q=paper", Bearer(token)))["results"];
  auto add = [&](const Json& id, bool next) {
    return Body(http.Post("/api/add", Bearer(token), Json{{"id", id}, {"next", next}}.dump(),
                          "application/json"))["added"];
  };
  EXPECT_EQ(add(paper[0]["id"], false), 3);
  EXPECT_EQ(add(paper[1]["id"], true), 1);
  std::vector<std::string> titles;
  const Json playlist = Body(http.Get("/api/playlist", Bearer(token)));
  for (const Json& e : playlist["entries"]) {
    titles.push_back(e["title"]);
  }
  EXPECT_EQ(titles, (std::vector<std::string>{"Élan", "Paper Planes", "Paper Boats", "Willow Song",
                                              "The Far Shore"}));
}

}  // namespace

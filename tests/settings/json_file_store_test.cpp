#include "settings/json_file_store.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "settings/settings_store.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace settings {
namespace {

using jubo_test::ReadFile;

TEST(JsonFileStoreTest, EveryKindOfValueReadsAndWritesBackTheSame) {
  const std::string kText =
      R"({"HKEY_CURRENT_USER\\K\\": {"": 5, "big": 4294967295, "text": "Blue \"Hour\"",
          "expand": "%HOME%/b.wav", "percents": {"REG_SZ": "%a%"},
          "bytes": {"REG_BINARY": "00ff10"}, "strings": {"REG_MULTI_SZ": "a\u0000b\u0000"},
          "swapped": {"REG_DWORD_BIG_ENDIAN": 7}}})";
  KeyTree keys, again;
  ASSERT_EQ(FromJson(kText, &keys), "");
  const std::string written = ToJson(keys);
  ASSERT_EQ(FromJson(written, &again), "");
  EXPECT_EQ(again.keys(), keys.keys());
  std::string types;
  for (const auto& [name, value] : keys.keys().at({"HKEY_CURRENT_USER", "K"}).values) {
    types += name + "=" + std::to_string(value.type) + ";";
  }
  EXPECT_EQ(types, "=4;big=4;text=1;expand=2;percents=1;bytes=3;strings=7;swapped=5;");
  EXPECT_EQ(keys.Find({"HKEY_CURRENT_USER", "K"}, "big")->number, -1);
}

TEST(JsonFileStoreTest, AFileThatCannotBeReadIsSetAsideAndTheDefaultsHold) {
  const char* kBad[] = {
      "{",
      "[]",
      R"({"K": {"v": true}})",
      R"({"K": {"v": 4294967296}})",
      R"({"K": {"v": {"REG_BINARY": "xyz"}}})",
      R"({"K": {"v": {"REG_QWORD": 1}}})",
  };
  for (const char* bad : kBad) {
    jubo_test::TempDir dir;
    const std::string path = (dir.path() / "registry.json").string();
    dir.Write("registry.json", bad);
    JsonFileStore store(path);
    const std::string message = store.Load();
    EXPECT_EQ(message.rfind("the settings file " + path + " cannot be read (", 0), 0u) << message;
    EXPECT_NE(message.find("); it is now " + path + ".corrupt,"), std::string::npos) << message;
    EXPECT_EQ(ReadFile(path + ".corrupt"), bad);
    EXPECT_TRUE(store.keys.keys().empty()) << bad;
  }
}

TEST(JsonFileStoreTest, SavingTwiceGivesTheSameFileAndAFileInTheWayIsReported) {
  jubo_test::TempDir dir;
  JsonFileStore store((dir.path() / "new/jubo/registry.json").string());
  SettingsState settings;
  selection::SelectionState selection;
  selection.ExcludedTempos = {"Slow", "Fast"};
  ASSERT_TRUE(SaveSettings(&store, settings, selection));
  const std::string first = ReadFile(store.path());
  ASSERT_TRUE(SaveSettings(&store, settings, selection));
  EXPECT_EQ(ReadFile(store.path()), first);

  dir.Write("file", "");
  JsonFileStore blocked((dir.path() / "file/registry.json").string());
  blocked.keys.Create({"HKEY_CURRENT_USER"});
  EXPECT_EQ(blocked.Save(), "cannot write " + blocked.path() + ": Not a directory");
}

// A child saves one version after another, each a whole set of values carrying its number,
// and reports each save. The parent times two saves, then kills the child at a later point of
// a save, a little further into it each round: whatever the point, the file holds one whole
// version, not older than the last save reported.
TEST(JsonFileStoreTest, AKillDuringASaveLeavesOneWholeVersion) {
  jubo_test::TempDir dir;
  const std::string path = (dir.path() / "registry.json").string();
  const KeyPath key = {"HKEY_CURRENT_USER", "Many"};
  constexpr int kValues = 100, kRounds = 10;
  const std::string padding(4000, 'x');
  for (int round = 1; round <= kRounds; ++round) {
    int report[2];
    ASSERT_EQ(pipe(report), 0);
    const pid_t child = fork();
    if (child == 0) {
      close(report[0]);
      JsonFileStore store(path);
      for (int32_t version = 1;; ++version) {
        for (int i = 0; i < kValues; ++i) {
          store.keys.Set(key, std::to_string(i),
                         {REG_SZ, std::to_string(version) + padding, 0, {}});
        }
        if (!store.Save().empty() || write(report[1], &version, sizeof version) < 0) _exit(1);
      }
    }
    close(report[1]);
    int32_t saved = 0;
    auto next_save = [&] { return read(report[0], &saved, sizeof saved) == sizeof saved; };
    ASSERT_TRUE(next_save());
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(next_save());
    std::this_thread::sleep_for((std::chrono::steady_clock::now() - start) * round / kRounds);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    close(report[0]);

    JsonFileStore store(path);
    ASSERT_EQ(store.Load(), "") << "round " << round;
    const auto& values = store.keys.keys().at(key).values;
    ASSERT_EQ(values.size(), static_cast<size_t>(kValues)) << "round " << round;
    EXPECT_GE(std::stoi(values.front().second.text), saved) << "a reported save was lost";
    for (const auto& [name, value] : values) {
      ASSERT_EQ(value.text, values.front().second.text) << "round " << round << ", " << name;
    }
  }
}

}  // namespace
}  // namespace settings

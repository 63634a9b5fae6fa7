#include "settings/json_file_store.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "settings/settings_store.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace settings {
namespace {

using jubo_test::ReadFile;

TEST(JsonFileStoreTest, EveryKindOfValueReadsAndIsWrittenBackAsItWas) {
  // The layout is nlohmann::json's with an indent of 2, as it always was: users diff the file.
  const std::string kFile = R"({
  "HKEY_CURRENT_USER\\Empty": {},
  "HKEY_CURRENT_USER\\K": {
    "": 5,
    "big": -1,
    "text \"q\" \\ Élan": "line\nnext\ttab \u0001",
    "expand": "%HOME%/b.wav",
    "percents": {
      "REG_SZ": "%a%"
    },
    "bytes": {
      "REG_BINARY": "00ff10"
    },
    "swapped": {
      "REG_DWORD_BIG_ENDIAN": 7
    }
  },
  "HKEY_CURRENT_USER\\K\\Child": {
    "n": -2147483648
  }
}
)";
  KeyTree keys, big;
  std::vector<std::string> skipped;
  ASSERT_EQ(FromJson(kFile, &keys, &skipped), "");
  EXPECT_EQ(ToJson(keys), kFile);
  std::string types;
  for (const auto& [name, value] : keys.keys().at({"HKEY_CURRENT_USER", "K"}).values()) {
    types += name + "=" + std::to_string(value.type) + ";";
  }
  EXPECT_EQ(types, "=4;big=4;text \"q\" \\ Élan=1;expand=2;percents=1;bytes=3;swapped=5;");
  ASSERT_EQ(FromJson(R"({"K": {"v": 4294967295}})", &big, &skipped), "");
  EXPECT_EQ(big.Find({"K"}, "v")->number, -1);
}

// A file that is no JSON object is moved aside under a name no earlier one has. When the
// settings file is a link (into a dotfiles repository), the file it leads to is moved, the
// link stays, and the next save writes through it.
TEST(JsonFileStoreTest, AFileThatIsNoObjectIsSetAsideUnderANameOfItsOwn) {
  const char* kBad[] = {"{", "[]", "5", "", R"({"K": {}} {})"};
  jubo_test::TempDir dir;
  const std::string path = (dir.path() / "registry.json").string();
  const std::string target = (dir.path() / "jubo.json").string();
  std::filesystem::create_symlink(target, path);
  std::vector<std::string> asides;
  for (const char* bad : kBad) {
    dir.Write("jubo.json", bad);
    JsonFileStore store(path);
    const std::string message = store.Load();
    asides.push_back(target + ".corrupt" +
                     (asides.empty() ? "" : "-" + std::to_string(asides.size() + 1)));
    EXPECT_EQ(message.rfind("the settings file " + path + " cannot be read (", 0), 0u) << message;
    EXPECT_NE(message.find("); it is now " + asides.back() + ", and the default settings are used"),
              std::string::npos)
        << message;
    EXPECT_TRUE(store.keys.keys().empty()) << bad;
    EXPECT_TRUE(std::filesystem::is_symlink(path)) << bad;
  }
  for (size_t i = 0; i < asides.size(); ++i) EXPECT_EQ(ReadFile(asides[i]), kBad[i]) << kBad[i];

  JsonFileStore store(path);
  store.keys.Create({"HKEY_CURRENT_USER", "K"});
  ASSERT_EQ(store.Save(), "");
  EXPECT_TRUE(std::filesystem::is_symlink(path));
  EXPECT_EQ(ReadFile(target), ToJson(store.keys));
}

// A value the store cannot hold, or a key that is no object of values, costs only itself: its
// default is used, one line says which and why, and the rest of the file holds, cues and lists
// included; the next save writes the rest back without it.
TEST(JsonFileStoreTest, AMemberOfAWrongTypeIsLeftOutAloneWithALine) {
  const std::string kFile =
      R"({"HKEY_CURRENT_USER\\Software\\Tarvento\\Jubo_Player\\Screensaver": SAVER,
          "HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps\\Tarvento\\KX_Beep\\.current": {"": "/b"},
          "HKEY_CURRENT_USER\\Software\\Tarvento\\Jubo_Player\\NonStopExcludes\\Albums":
              {"": 1, "Blue Hour": 1}})";
  const std::string kNotADword = " is not a whole number from -2147483648 to 4294967295";
  const std::string kNotAValue = " is not a number, a text or a typed value";
  struct Case {
    std::string saver;  // the screen saver's key
    std::string line;   // what the line says after the key's name
    int SaverType;
  };
  const Case kCases[] = {
      {R"({"Timeout": 15.5, "Type": 2})", R"(, value "Timeout": 15.5)" + kNotADword, 2},
      {R"({"Timeout": 4294967296, "Type": 2})", R"(, value "Timeout": 4294967296)" + kNotADword, 2},
      {R"({"Timeout": true, "Type": 2})", R"(, value "Timeout": true)" + kNotAValue, 2},
      {R"({"Timeout": {"REG_BINARY": "xyz"}, "Type": 2})",
       R"(, value "Timeout": "xyz" is not hexadecimal bytes)", 2},
      {R"([{"Type": 2}])", R"(: [{"Type":2}] is not an object of values)", 1},
  };
  for (const Case& c : kCases) {
    jubo_test::TempDir dir;
    const std::string path = (dir.path() / "registry.json").string();
    std::string file = kFile;
    dir.Write("registry.json", file.replace(file.find("SAVER"), 5, c.saver));
    const std::string said =
        "the settings file " + path +
        R"(: key "HKEY_CURRENT_USER\Software\Tarvento\Jubo_Player\Screensaver")" + c.line +
        "; the default is used in its place, and the next save leaves it out";
    // As written, then as the first load's save left it.
    for (const std::string& expected : {said, std::string()}) {
      JsonFileStore store(path);
      std::string lines;
      store.set_report([&lines](const std::string& line) { lines += line; });
      EXPECT_EQ(store.Load(), "") << c.saver;
      EXPECT_EQ(lines, expected);
      SettingsState s;
      sound::CueState cues;
      selection::SelectionState selection;
      EXPECT_TRUE(LoadSettings(&store, s, cues, selection));
      EXPECT_EQ(std::vector<int>({s.ScreensaverTimeout, s.SaverType}),
                std::vector<int>({0, c.SaverType}))
          << c.saver;
      EXPECT_EQ(cues.BeepSound + " " + selection.ExcludedAlbums.at(0), "/b Blue Hour") << c.saver;
      EXPECT_TRUE(SaveSettings(&store, s, selection));
    }
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

  // A save that fails is said on stderr, and the program carries on.
  dir.Write("file", "");
  JsonFileStore blocked((dir.path() / "file/registry.json").string());
  testing::internal::CaptureStderr();
  EXPECT_FALSE(SaveSettings(&blocked, settings, selection));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "jubo: Failed to save the settings: cannot make " + (dir.path() / "file").string() +
                ": Not a directory (error 26001 in jubo.cRegistry)\n");
}

// Copies of the program saving the same file at once: every save succeeds, and whenever a
// reader looks, the file is one whole save.
TEST(JsonFileStoreTest, ConcurrentSavesAllSucceedAndTheFileIsAlwaysOneWholeSave) {
  jubo_test::TempDir dir;
  const std::string path = (dir.path() / "registry.json").string();
  const KeyPath key = {"HKEY_CURRENT_USER", "Many"};
  constexpr int kWriters = 4, kSaves = 50, kValues = 20;
  std::atomic<int> writing = kWriters;
  std::vector<std::thread> writers;
  for (int w = 0; w < kWriters; ++w) {
    writers.emplace_back([&, w] {
      JsonFileStore store(path);
      for (int i = 0; i < kValues; ++i) {
        store.keys.Set(key, std::to_string(i), {REG_SZ, std::to_string(w), 0, {}});
      }
      for (int save = 1; save <= kSaves; ++save) {
        EXPECT_EQ(store.Save(), "") << "writer " << w << ", save " << save;
      }
      --writing;
    });
  }
  // Each save is one writer's whole file: any part of one would not read as JSON.
  while (writing > 0) EXPECT_EQ(JsonFileStore(path).Load(), "");
  for (std::thread& writer : writers) writer.join();
  JsonFileStore last(path);
  ASSERT_EQ(last.Load(), "");
  EXPECT_EQ(last.keys.keys().at(key).values().size(), kValues);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
      << "a temporary file was left";
}

}  // namespace
}  // namespace settings

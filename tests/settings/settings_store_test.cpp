#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include "settings/json_file_store.h"

namespace settings {
namespace {

const KeyPath kScreensaver =
    KeyPathOf("HKEY_CURRENT_USER\\Software\\Tarvento\\Jubo_Player\\Screensaver");
const KeyPath kPlaylist = KeyPathOf("HKEY_CURRENT_USER\\Software\\Tarvento\\Jubo_Player\\Playlist");
const std::string kExcludes =
    "HKEY_CURRENT_USER\\Software\\Tarvento\\Jubo_Player\\NonStopExcludes\\";
const std::string kSchemes = "HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps\\Tarvento\\";

RegValue Dword(int32_t n) { return {REG_DWORD, "", n, {}}; }
RegValue Text(const std::string& text) { return {TextType(text), text, 0, {}}; }

struct Loaded {
  SettingsState settings;
  sound::CueState cues;
  selection::SelectionState selection;
};

Loaded Load(Store& store) {
  Loaded l;
  EXPECT_TRUE(LoadSettings(&store, l.settings, l.cues, l.selection));
  return l;
}

TEST(SettingsStoreTest, AFirstRunGivesTheDefaultsAndRegistersTheSoundEvents) {
  MemoryStore store;
  Loaded l = Load(store);
  EXPECT_EQ(l.settings.ScreensaverTimeout, 0);
  EXPECT_EQ(l.settings.SaverType, 1);
  EXPECT_EQ(l.settings.PlaylistLoop, 0);
  EXPECT_EQ(l.settings.ActionOnError, 0);
  EXPECT_EQ(l.cues.BeepSound + l.cues.SelectSound + l.cues.ErrorSound, "");
  EXPECT_EQ(store.saves, 1);
  EXPECT_EQ(ToJson(store.keys),
            R"({
  "HKEY_CURRENT_USER\\AppEvents\\EventLabels\\KX_Beep": {
    "": "Beep"
  },
  "HKEY_CURRENT_USER\\AppEvents\\EventLabels\\KX_Error": {
    "": "Error"
  },
  "HKEY_CURRENT_USER\\AppEvents\\EventLabels\\KX_Select": {
    "": "Select"
  },
  "HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps\\Tarvento\\KX_Beep": {},
  "HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps\\Tarvento\\KX_Error": {},
  "HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps\\Tarvento\\KX_Select": {},
  "HKEY_CURRENT_USER\\Software\\Tarvento\\Jubo_Player\\Screensaver": {
    "Type": 1
  }
}
)");
  // A second start finds everything in place and writes nothing.
  Load(store);
  EXPECT_EQ(store.saves, 1);
}

TEST(SettingsStoreTest, StoredValuesAreBroughtIntoRange) {
  struct Case {
    RegValue timeout, type, loop;
    int16_t ScreensaverTimeout, SaverType, PlaylistLoop;
    int32_t type_stored_after;
  };
  const Case kCases[] = {
      {Dword(15), Dword(0), Dword(1), 15, 1, 1, 1},  // a type 0 is written back as 1
      {Dword(3600), Dword(2), Dword(0), 3600, 2, 0, 2},
      {Dword(99999), Dword(3), Dword(-1), 3600, 3, 0, 3},
      {Dword(-5), Dword(7), Dword(9), 0, 3, 1, 7},
      {Text("20"), Text("Logo"), Text(""), 20, 1, 0, 1},
  };
  for (const Case& c : kCases) {
    MemoryStore store;
    store.keys.Set(kScreensaver, "Timeout", c.timeout);
    store.keys.Set(kScreensaver, "Type", c.type);
    store.keys.Set(kPlaylist, "Loop", c.loop);
    Loaded l = Load(store);
    const std::string label = ToJson(store.keys);
    EXPECT_EQ(l.settings.ScreensaverTimeout, c.ScreensaverTimeout) << label;
    EXPECT_EQ(l.settings.SaverType, c.SaverType) << label;
    EXPECT_EQ(l.settings.PlaylistLoop, c.PlaylistLoop) << label;
    const RegValue* type = store.keys.Find(kScreensaver, "Type");
    EXPECT_EQ(type->type == REG_DWORD ? type->number : -1, c.type_stored_after) << label;
  }
}

TEST(SettingsStoreTest, ListsAndCueFilesAsTheUserLeftThem) {
  setenv("JUBO_TEST_SOUNDS", "/snd", 1);
  MemoryStore store;
  // Count and names disagree, and the count comes last: every name is taken.
  store.keys.Set(KeyPathOf(kExcludes + "Albums"), "Blue Hour", Dword(1));
  store.keys.Set(KeyPathOf(kExcludes + "Albums"), "Élan", Dword(1));
  store.keys.Set(KeyPathOf(kExcludes + "Albums"), "", Dword(5));
  store.keys.Set(KeyPathOf(kExcludes + "Genres"), "", Dword(0));
  store.keys.Set(KeyPathOf(kExcludes + "Genres"), "Jazz", Dword(1));
  store.keys.Set(KeyPathOf(kSchemes + "KX_Beep\\.current"), "", Text("%JUBO_TEST_SOUNDS%/b.wav"));
  store.keys.Set(KeyPathOf("HKEY_CURRENT_USER\\AppEvents\\EventLabels\\KX_Beep"), "", Text("Bip"));
  Loaded l = Load(store);
  EXPECT_EQ(l.selection.ExcludedAlbums, (std::vector<std::string>{"Blue Hour", "Élan"}));
  EXPECT_EQ(l.selection.ExcludedGenres, std::vector<std::string>{"Jazz"});
  EXPECT_TRUE(l.selection.ExcludedArtists.empty());
  EXPECT_EQ(l.cues.BeepSound, "/snd/b.wav");
  EXPECT_EQ(
      store.keys.Find(KeyPathOf("HKEY_CURRENT_USER\\AppEvents\\EventLabels\\KX_Beep"), "")->text,
      "Bip");

  // Saved, each list is its count and then its names, in order; an empty list only its count.
  l.selection.ExcludedAlbums = {"Élan"};
  l.selection.ExcludedGenres.clear();
  EXPECT_TRUE(SaveSettings(&store, l.settings, l.selection));
  auto listed = [&store](const char* list) {
    std::vector<std::string> values;
    for (const auto& [name, value] : store.keys.keys().at(KeyPathOf(kExcludes + list)).values) {
      values.push_back(name + "=" + std::to_string(value.number));
    }
    return values;
  };
  EXPECT_EQ(listed("Albums"), (std::vector<std::string>{"=1", "Élan=1"}));
  for (const char* list : {"Artists", "Genres", "Tempos"}) {
    EXPECT_EQ(listed(list), std::vector<std::string>{"=0"}) << list;
  }
}

TEST(SettingsStoreTest, AFailedSaveIsReportedAndTheProgramCarriesOn) {
  MemoryStore store;
  store.refusal = "cannot write /ro/registry.json: Read-only file system";
  Loaded l;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(SaveSettings(&store, l.settings, l.selection));
  EXPECT_EQ(
      testing::internal::GetCapturedStderr(),
      "jubo: Failed to save the settings: " + store.refusal + " (error 26001 in jubo.cRegistry)\n");
  EXPECT_TRUE(SaveSettings(nullptr, l.settings, l.selection));  // no store: nothing to do
}

}  // namespace
}  // namespace settings

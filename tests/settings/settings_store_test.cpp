#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "settings/registry.h"

namespace settings {
namespace {

const std::string kPlayer = "HKEY_CURRENT_USER\\Software\\Tarvento\\Jubo_Player\\";
const std::string kEvents = "HKEY_CURRENT_USER\\AppEvents\\";

RegValue Dword(int32_t n) { return {REG_DWORD, "", n, {}}; }
RegValue Text(const std::string& text) { return {REG_SZ, text, 0, {}}; }

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
  const SettingsState& s = l.settings;
  EXPECT_EQ(std::vector<int>({s.ScreensaverTimeout, s.SaverType, s.PlaylistLoop, s.ActionOnError,
                              s.Volume, s.Loudness}),
            std::vector<int>({0, 1, 0, 0, 50, kLoudnessAutomatic}));
  EXPECT_EQ(l.cues.BeepSound + l.cues.SelectSound + l.cues.ErrorSound, "");
  // Of the player's settings only the type is stored.
  EXPECT_FALSE(store.keys.Exists(KeyPathOf(kPlayer + "Playlist")));
  EXPECT_FALSE(store.keys.Exists(KeyPathOf(kPlayer + "NonStopExcludes")));
  EXPECT_EQ(store.keys.keys().at(KeyPathOf(kPlayer + "Screensaver")).values().size(), 1u);
  for (const char* event : {"KX_Beep", "KX_Select", "KX_Error"}) {
    EXPECT_FALSE(store.keys.Find(KeyPathOf(kEvents + "EventLabels\\" + event), "")->text.empty());
    EXPECT_TRUE(store.keys.Exists(KeyPathOf(kEvents + "Schemes\\Apps\\Tarvento\\" + event)));
  }
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
    const KeyPath screensaver = KeyPathOf(kPlayer + "Screensaver");
    store.keys.Set(screensaver, "Timeout", c.timeout);
    store.keys.Set(screensaver, "Type", c.type);
    store.keys.Set(KeyPathOf(kPlayer + "Playlist"), "Loop", c.loop);
    Loaded l = Load(store);
    const std::string label = c.timeout.text + std::to_string(c.timeout.number);
    EXPECT_EQ(l.settings.ScreensaverTimeout, c.ScreensaverTimeout) << label;
    EXPECT_EQ(l.settings.SaverType, c.SaverType) << label;
    EXPECT_EQ(l.settings.PlaylistLoop, c.PlaylistLoop) << label;
    EXPECT_EQ(store.keys.Find(screensaver, "Type")->number, c.type_stored_after) << label;
  }
}

TEST(SettingsStoreTest, ListsAreReadWhateverTheirCountAndWrittenAnew) {
  MemoryStore store;
  const KeyPath albums = KeyPathOf(kPlayer + "NonStopExcludes\\Albums");
  // Count and names disagree, and the count comes last: every name is taken.
  store.keys.Set(albums, "Blue Hour", Dword(1));
  store.keys.Set(albums, "Élan", Dword(1));
  store.keys.Set(albums, "", Dword(5));
  Loaded l = Load(store);
  EXPECT_EQ(l.selection.ExcludedAlbums, (std::vector<std::string>{"Blue Hour", "Élan"}));

  // Saved, each list is its count, then its names in order; an empty list only its count.
  l.selection.ExcludedAlbums = {"Élan"};
  l.settings.Volume = 0;  // a level like any other, not a first start's missing one
  l.settings.Loudness = kLoudnessTrack;
  EXPECT_TRUE(SaveSettings(&store, l.settings, l.selection));
  const SettingsState s = Load(store).settings;
  EXPECT_EQ(std::vector<int>({s.Volume, s.Loudness}), std::vector<int>({0, kLoudnessTrack}));
  for (const char* list : {"Albums", "Artists", "Genres", "Tempos"}) {
    std::string values;
    for (const auto& [name, value] :
         store.keys.keys().at(KeyPathOf(kPlayer + "NonStopExcludes\\" + list)).values()) {
      values += name + "=" + std::to_string(value.number) + ";";
    }
    EXPECT_EQ(values, list == std::string("Albums") ? "=1;Élan=1;" : "=0;") << list;
  }
}

TEST(RegistryTest, WritingTypesTheValueAndReadingGivesItBack) {
  setenv("JUBO_TEST_SOUNDS", "/snd", 1);
  struct Case {
    int32_t type;
    Variant written;
    int32_t stored;  // REG_NONE: nothing is written
    Variant read;
  };
  const Case kCases[] = {
      {REG_SZ, std::string("%JUBO_TEST_SOUNDS%/b.wav"), REG_EXPAND_SZ, std::string("/snd/b.wav")},
      {REG_SZ, std::string("a%b%"), REG_EXPAND_SZ, std::string("a%b%")},  // b is not set
      {REG_EXPAND_SZ, std::string("50%"), REG_SZ, std::string("50%")},
      {REG_SZ, std::string("%%x"), REG_SZ, std::string("%%x")},
      {REG_SZ, int16_t{7}, REG_SZ, std::string("7")},
      {REG_DWORD, int16_t{1}, REG_DWORD, int32_t{1}},
      {REG_DWORD_BIG_ENDIAN, int32_t{-2}, REG_DWORD, int32_t{-2}},
      {REG_DWORD, std::string("1"), REG_NONE, Variant()},
      {REG_BINARY, std::vector<uint8_t>{0, 255}, REG_BINARY, std::vector<uint8_t>{0, 255}},
      {REG_MULTI_SZ, std::string("x"), REG_NONE, Variant()},
  };
  for (const Case& c : kCases) {
    MemoryStore store;
    cRegistry r(store);
    r.SectionKey = "Software\\Test";
    r.ValueKey = "v";
    r.ValueType = c.type;
    r.Value(c.written);
    const std::string label = ToText(c.written) + " as type " + std::to_string(c.type);
    const RegValue* stored = store.keys.Find(KeyPathOf("HKEY_CURRENT_USER\\Software\\Test"), "v");
    EXPECT_EQ(stored == nullptr ? REG_NONE : stored->type, c.stored) << label;
    r.ValueType = -1;
    EXPECT_EQ(r.Value(), c.read) << label;
    // A missing value gives Default and leaves ValueType as it was.
    EXPECT_EQ(r.ValueType, c.stored == REG_NONE ? -1 : c.stored) << label;
  }
}

// The settings read a list's unnamed count as a name like the others, and make a list anew by
// deleting its key, which holds no key below it.
TEST(RegistryTest, KeysAreListedAndDeletedAsTheListsNeed) {
  MemoryStore store;
  cRegistry r(store);
  r.SectionKey = "A\\B";
  r.ValueKey = "";
  r.ValueType = REG_DWORD;
  r.Value(int32_t{0});
  std::vector<std::string> names;
  int32_t count = -1;
  EXPECT_TRUE(r.EnumerateValues(names, count));
  EXPECT_EQ(names, std::vector<std::string>{""});
  r.SectionKey = "A";
  EXPECT_THROW(r.DeleteKey(), RegistryError);  // a key below it
  r.SectionKey = "A\\B\\";
  EXPECT_TRUE(r.DeleteKey());
  EXPECT_THROW(r.DeleteKey(), RegistryError);
}

}  // namespace
}  // namespace settings

#include "settings/registry.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace settings {
namespace {

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
  EXPECT_EQ(count, 1);
  r.SectionKey = "A";
  EXPECT_THROW(r.DeleteKey(), RegistryError);  // a key below it
  r.SectionKey = "A\\B\\";
  EXPECT_TRUE(r.DeleteKey());
  EXPECT_THROW(r.DeleteKey(), RegistryError);
}

}  // namespace
}  // namespace settings

// The settings store's model, as the registry has it: keys named by a path under a root, each
// holding named values in the order they were first written, each value typed (REG_SZ,
// REG_DWORD ...). Key and value names are case-sensitive. The stores (store.h) keep one tree
// each and make it persist.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace settings {

enum RegType : int32_t {
  REG_NONE = 0,
  REG_SZ = 1,
  REG_EXPAND_SZ = 2,  // text naming environment variables (%HOME%), expanded when read
  REG_BINARY = 3,
  REG_DWORD = 4,
  REG_DWORD_BIG_ENDIAN = 5,
  REG_MULTI_SZ = 7,  // strings, each followed by a NUL
};

// One stored value. Which member holds the data follows the type.
struct RegValue {
  int32_t type = REG_SZ;
  std::string text;            // REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ
  int32_t number = 0;          // REG_DWORD, REG_DWORD_BIG_ENDIAN: the number meant
  std::vector<uint8_t> bytes;  // any other type

  bool operator==(const RegValue&) const = default;
};

// The type text is stored as: REG_EXPAND_SZ when it has a "%" and another "%" at least two
// characters after it (a variable's name between them), else REG_SZ.
RegType TextType(std::string_view text);

// A key's path: the root's name ("HKEY_CURRENT_USER") and the key names below it.
using KeyPath = std::vector<std::string>;
// The path a backslash-separated text names; empty names are skipped, so `A\B\` is `A\B`.
KeyPath KeyPathOf(std::string_view text);

// One key's values in the order they were first written ("" is the key's unnamed value),
// each found by its name in constant time, however many the key holds.
class Key {
 public:
  using Values = std::vector<std::pair<std::string, RegValue>>;

  const Values& values() const { return values_; }
  // The value `name`; nullptr when there is none.
  const RegValue* Find(const std::string& name) const;
  // Writes the value; one already there keeps its place. True when anything changed.
  bool Set(const std::string& name, RegValue value);
  // False when there was no such value. Costs the values written after it.
  bool Delete(const std::string& name);

  bool operator==(const Key& other) const { return values_ == other.values_; }

 private:
  Values values_;
  std::unordered_map<std::string, size_t> index_;  // a value's name -> its place in values_
};

class KeyTree {
 public:
  bool Exists(const KeyPath& key) const { return keys_.count(key) != 0; }
  // Creates `key` and the keys above it that are missing.
  void Create(const KeyPath& key);
  // Deletes `key` with its values. False (and nothing changes) when it is missing or still
  // has keys below it.
  bool Delete(const KeyPath& key);
  bool HasSubKeys(const KeyPath& key) const;

  // The value `name` of `key`; nullptr when either is missing.
  const RegValue* Find(const KeyPath& key, const std::string& name) const;
  // Writes the value, creating the key as needed; a value already there keeps its place.
  void Set(const KeyPath& key, const std::string& name, RegValue value);
  // False when there was no such value.
  bool DeleteValue(const KeyPath& key, const std::string& name);

  // Every key, parents before their children.
  const std::map<KeyPath, Key>& keys() const { return keys_; }

  // True once anything changed since the last MarkSaved.
  bool changed() const { return changed_; }
  void MarkSaved() { changed_ = false; }

 private:
  std::map<KeyPath, Key> keys_;
  bool changed_ = false;
};

}  // namespace settings

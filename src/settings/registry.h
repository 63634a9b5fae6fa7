// cRegistry: the settings store seen as the registry. The caller selects a root (ClassKey), a
// key path (SectionKey, backslash-separated), a value name (ValueKey, "" for the key's unnamed
// value) and, before a write, a type (ValueType); then reads or assigns Value, or calls a key
// operation. Every caller sets the fields it relies on: they persist between calls.
//
// Reads never raise: a missing key or value gives false, no names, or Default. Creating or
// deleting a key that cannot be, and a store that cannot be written (Flush), raise
// RegistryError number 26001.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "settings/key_tree.h"
#include "settings/store.h"

namespace settings {

inline constexpr int32_t HKEY_CLASSES_ROOT = INT32_MIN;  // 0x80000000
inline constexpr int32_t HKEY_CURRENT_USER = INT32_MIN + 1;
inline constexpr int32_t HKEY_LOCAL_MACHINE = INT32_MIN + 2;

inline constexpr int32_t kRegistryErrorNumber = 26001;

// What a value is read as and may be written from: Empty (std::monostate), a 16- or 32-bit
// integer, a text, or bytes.
using Variant = std::variant<std::monostate, int16_t, int32_t, std::string, std::vector<uint8_t>>;

// The value as a number: integers as they are, a text holding only a decimal number as that
// number, anything else 0.
int32_t ToNumber(const Variant& value);
// The value as text: numbers in decimal, Empty as "".
std::string ToText(const Variant& value);

class RegistryError : public std::runtime_error {
 public:
  RegistryError(int32_t number, const std::string& description)
      : std::runtime_error(description), Number(number), Description(description) {}

  int32_t Number;
  std::string Source = "jubo.cRegistry";
  std::string Description;
};

class cRegistry {
 public:
  explicit cRegistry(Store& store) : store_(store) {}

  // True if SectionKey exists under ClassKey.
  bool KeyExists() const;
  // Creates SectionKey and the keys above it, or finds it there. True on success.
  bool CreateKey();
  // Deletes SectionKey, a key without keys below it, with all its values. True on success.
  bool DeleteKey();
  // Deletes value ValueKey of SectionKey. True on success.
  bool DeleteValue();

  // Reads value ValueKey of SectionKey and sets ValueType to its stored type: text (a
  // REG_EXPAND_SZ with its %VARIABLES% expanded from the environment), a 32-bit number, or
  // bytes. A missing value gives Default and leaves ValueType as it was.
  Variant Value();
  // Writes value ValueKey of SectionKey, creating the key, by ValueType: REG_SZ or
  // REG_EXPAND_SZ write the value as text, typed by TextType; REG_BINARY needs bytes (else
  // 26001); REG_DWORD or REG_DWORD_BIG_ENDIAN store an integer as REG_DWORD and ignore
  // anything else; other types write nothing.
  void Value(const Variant& vValue);

  // The value names of SectionKey in the order they were written, the unnamed value as "".
  // A missing key gives none. Always true.
  bool EnumerateValues(std::vector<std::string>& sKeyNames, int32_t& iKeyCount) const;

  // Makes every change so far persist in the store; raises 26001 with the store's reason when
  // it cannot. Does nothing when nothing changed.
  void Flush();

  int32_t ClassKey = HKEY_CURRENT_USER;
  std::string SectionKey;
  std::string ValueKey;
  int32_t ValueType = REG_SZ;
  Variant Default;

 private:
  // The key path SectionKey names; false for an unknown ClassKey.
  bool Path(KeyPath* key) const;

  Store& store_;
};

}  // namespace settings

#include "settings/registry.h"

#include <charconv>
#include <cstdlib>

namespace settings {
namespace {

// The text with every %NAME% of a variable that is set replaced by its value; the others stay.
std::string ExpandEnvStr(const std::string& text) {
  std::string expanded;
  for (size_t at = 0; at < text.size();) {
    const size_t close = text[at] == '%' ? text.find('%', at + 1) : std::string::npos;
    const char* value = close == std::string::npos
                            ? nullptr
                            : std::getenv(text.substr(at + 1, close - at - 1).c_str());
    if (value != nullptr && close > at + 1) {
      expanded += value;
      at = close + 1;
    } else {
      expanded += text[at++];
    }
  }
  return expanded;
}

}  // namespace

int32_t ToNumber(const Variant& value) {
  if (const auto* n = std::get_if<int16_t>(&value)) return *n;
  if (const auto* n = std::get_if<int32_t>(&value)) return *n;
  if (const auto* text = std::get_if<std::string>(&value)) {
    int32_t n = 0;
    const char* end = text->data() + text->size();
    auto [at, error] = std::from_chars(text->data(), end, n);
    if (error == std::errc() && at == end) return n;
  }
  return 0;
}

std::string ToText(const Variant& value) {
  if (const auto* n = std::get_if<int16_t>(&value)) return std::to_string(*n);
  if (const auto* n = std::get_if<int32_t>(&value)) return std::to_string(*n);
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  if (const auto* bytes = std::get_if<std::vector<uint8_t>>(&value)) {
    return std::string(bytes->begin(), bytes->end());
  }
  return {};
}

bool cRegistry::Path(KeyPath* key) const {
  const char* root = ClassKey == HKEY_CURRENT_USER    ? "HKEY_CURRENT_USER"
                     : ClassKey == HKEY_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE"
                     : ClassKey == HKEY_CLASSES_ROOT  ? "HKEY_CLASSES_ROOT"
                                                      : nullptr;
  if (root == nullptr) return false;
  *key = KeyPathOf(std::string(root) + "\\" + SectionKey);
  return true;
}

bool cRegistry::KeyExists() const {
  KeyPath key;
  return Path(&key) && store_.keys.Exists(key);
}

bool cRegistry::CreateKey() {
  KeyPath key;
  if (!Path(&key)) {
    throw RegistryError(kRegistryErrorNumber, "Failed to create registry Key: '" + SectionKey);
  }
  store_.keys.Create(key);
  return true;
}

bool cRegistry::DeleteKey() {
  KeyPath key;
  if (!Path(&key) || !store_.keys.Delete(key)) {
    throw RegistryError(kRegistryErrorNumber, "Failed to delete registry Key: '" +
                                                  std::to_string(ClassKey) + "',Section: '" +
                                                  SectionKey);
  }
  return true;
}

bool cRegistry::DeleteValue() {
  const std::string where = std::to_string(ClassKey) + "',Section: '" + SectionKey;
  KeyPath key;
  if (!Path(&key) || !store_.keys.Exists(key)) {
    throw RegistryError(kRegistryErrorNumber,
                        "Failed to open key '" + where + "' for delete access");
  }
  if (!store_.keys.DeleteValue(key, ValueKey)) {
    throw RegistryError(kRegistryErrorNumber,
                        "Failed to delete registry Key: '" + where + "',Key: '" + ValueKey);
  }
  return true;
}

Variant cRegistry::Value() {
  KeyPath key;
  const RegValue* stored = Path(&key) ? store_.keys.Find(key, ValueKey) : nullptr;
  if (stored == nullptr) return Default;
  ValueType = stored->type;
  switch (stored->type) {
    case REG_SZ:
    case REG_MULTI_SZ:
      return stored->text;
    case REG_EXPAND_SZ:
      return ExpandEnvStr(stored->text);
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN:
      return stored->number;
    default:
      return stored->bytes;
  }
}

void cRegistry::Value(const Variant& vValue) {
  KeyPath key;
  if (!Path(&key)) {
    throw RegistryError(kRegistryErrorNumber, "Failed to set registry value Key: '" +
                                                  std::to_string(ClassKey) + "',Section: '" +
                                                  SectionKey + "',Key: '" + ValueKey +
                                                  "' to value: '" + ToText(vValue) + "'");
  }
  RegValue value;
  switch (ValueType) {
    case REG_SZ:
    case REG_EXPAND_SZ:
      value.text = ToText(vValue);
      value.type = TextType(value.text);
      break;
    case REG_BINARY: {
      const auto* bytes = std::get_if<std::vector<uint8_t>>(&vValue);
      if (bytes == nullptr) throw RegistryError(kRegistryErrorNumber, "");
      value.type = REG_BINARY;
      value.bytes = *bytes;
      break;
    }
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN:
      if (!std::holds_alternative<int16_t>(vValue) && !std::holds_alternative<int32_t>(vValue)) {
        return;
      }
      value.type = REG_DWORD;
      value.number = ToNumber(vValue);
      break;
    default:
      return;
  }
  store_.keys.Set(key, ValueKey, std::move(value));
}

bool cRegistry::EnumerateValues(std::vector<std::string>& sKeyNames, int32_t& iKeyCount) const {
  sKeyNames.clear();
  iKeyCount = 0;
  KeyPath key;
  if (!Path(&key)) return true;
  auto found = store_.keys.keys().find(key);
  if (found == store_.keys.keys().end()) return true;
  for (const auto& value : found->second.values()) sKeyNames.push_back(value.first);
  iKeyCount = static_cast<int32_t>(sKeyNames.size());
  return true;
}

void cRegistry::Flush() {
  if (!store_.keys.changed()) return;
  if (std::string error = store_.Save(); !error.empty()) {
    throw RegistryError(kRegistryErrorNumber, "Failed to save the settings: " + error);
  }
  store_.keys.MarkSaved();
}

}  // namespace settings

#include "settings/key_tree.h"

#include <algorithm>

namespace settings {
namespace {

bool IsBelow(const KeyPath& key, const KeyPath& parent) {
  return key.size() > parent.size() && std::equal(parent.begin(), parent.end(), key.begin());
}

}  // namespace

RegType TextType(std::string_view text) {
  const size_t first = text.find('%');
  return first != std::string_view::npos && text.find('%', first + 2) != std::string_view::npos
             ? REG_EXPAND_SZ
             : REG_SZ;
}

KeyPath KeyPathOf(std::string_view text) {
  KeyPath key;
  for (size_t at = 0; at <= text.size();) {
    const size_t end = std::min(text.find('\\', at), text.size());
    if (end > at) key.emplace_back(text.substr(at, end - at));
    at = end + 1;
  }
  return key;
}

void KeyTree::Create(const KeyPath& key) {
  for (size_t depth = 1; depth <= key.size(); ++depth) {
    const bool added = keys_.try_emplace(KeyPath(key.begin(), key.begin() + depth)).second;
    changed_ = changed_ || added;
  }
}

bool KeyTree::HasSubKeys(const KeyPath& key) const {
  // Sorted by path, a key's children come right after it.
  auto next = keys_.upper_bound(key);
  return next != keys_.end() && IsBelow(next->first, key);
}

bool KeyTree::Delete(const KeyPath& key) {
  if (!Exists(key) || HasSubKeys(key)) return false;
  keys_.erase(key);
  changed_ = true;
  return true;
}

const RegValue* KeyTree::Find(const KeyPath& key, const std::string& name) const {
  auto found = keys_.find(key);
  if (found == keys_.end()) return nullptr;
  for (const auto& [value_name, value] : found->second.values) {
    if (value_name == name) return &value;
  }
  return nullptr;
}

void KeyTree::Set(const KeyPath& key, const std::string& name, RegValue value) {
  Create(key);
  auto& values = keys_[key].values;
  for (auto& [value_name, stored] : values) {
    if (value_name != name) continue;
    if (stored == value) return;
    stored = std::move(value);
    changed_ = true;
    return;
  }
  values.emplace_back(name, std::move(value));
  changed_ = true;
}

bool KeyTree::DeleteValue(const KeyPath& key, const std::string& name) {
  auto found = keys_.find(key);
  if (found == keys_.end()) return false;
  auto& values = found->second.values;
  auto at = std::find_if(values.begin(), values.end(),
                         [&name](const auto& value) { return value.first == name; });
  if (at == values.end()) return false;
  values.erase(at);
  changed_ = true;
  return true;
}

}  // namespace settings

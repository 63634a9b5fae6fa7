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

const RegValue* Key::Find(const std::string& name) const {
  auto at = index_.find(name);
  return at == index_.end() ? nullptr : &values_[at->second].second;
}

bool Key::Set(const std::string& name, RegValue value) {
  auto [at, added] = index_.try_emplace(name, values_.size());
  if (added) {
    values_.emplace_back(name, std::move(value));
    return true;
  }
  RegValue& stored = values_[at->second].second;
  if (stored == value) return false;
  stored = std::move(value);
  return true;
}

bool Key::Delete(const std::string& name) {
  auto at = index_.find(name);
  if (at == index_.end()) return false;
  const size_t place = at->second;
  index_.erase(at);
  values_.erase(values_.begin() + static_cast<std::ptrdiff_t>(place));
  for (size_t later = place; later < values_.size(); ++later) index_[values_[later].first] = later;
  return true;
}

const RegValue* KeyTree::Find(const KeyPath& key, const std::string& name) const {
  auto found = keys_.find(key);
  return found == keys_.end() ? nullptr : found->second.Find(name);
}

void KeyTree::Set(const KeyPath& key, const std::string& name, RegValue value) {
  auto found = keys_.find(key);
  if (found == keys_.end()) {
    Create(key);
    found = keys_.find(key);
  }
  changed_ = found->second.Set(name, std::move(value)) || changed_;
}

bool KeyTree::DeleteValue(const KeyPath& key, const std::string& name) {
  auto found = keys_.find(key);
  if (found == keys_.end() || !found->second.Delete(name)) return false;
  changed_ = true;
  return true;
}

}  // namespace settings

#include "playback/playlist_index.h"

#include <algorithm>
#include <string>

namespace playback {
namespace {

int32_t LowBit(int32_t i) { return i & -i; }

size_t Hash(std::string_view file) { return std::hash<std::string_view>{}(file); }

}  // namespace

void PlaylistIndex::Clear() {
  tree_.assign(1, 0);
  slots_.clear();
}

void PlaylistIndex::Reserve(size_t more) {
  const size_t wanted = tree_.size() + more;
  if (wanted <= tree_.capacity()) return;
  // At least doubling, so that many small reservations cost what one large one does.
  const size_t room = std::max(wanted, tree_.capacity() * 2);
  tree_.reserve(room);
  slots_.reserve(room);
}

void PlaylistIndex::Append(std::string_view file) {
  const auto slot = static_cast<int32_t>(tree_.size());
  // The new node covers (slot - lowbit, slot]: the slots it covers before it, and itself.
  tree_.push_back(1 + LiveUpTo(slot - 1) - LiveUpTo(slot - LowBit(slot)));
  slots_.emplace(Hash(file), slot);
}

void PlaylistIndex::Remove(int32_t position, std::string_view file) {
  const int32_t slot = SlotAt(position);
  if (slot == 0) return;
  auto [first, last] = slots_.equal_range(Hash(file));
  for (auto it = first; it != last; ++it) {
    if (it->second == slot) {
      slots_.erase(it);
      break;
    }
  }
  AddAt(slot, -1);
}

int32_t PlaylistIndex::Find(std::string_view file,
                            const std::function<bool(int32_t)>& holds) const {
  int32_t best = -1;
  auto [first, last] = slots_.equal_range(Hash(file));
  for (auto it = first; it != last; ++it) {
    const int32_t position = LiveUpTo(it->second) - 1;
    if ((best < 0 || position < best) && holds(position)) best = position;
  }
  return best;
}

int32_t PlaylistIndex::LiveUpTo(int32_t slot) const {
  int32_t live = 0;
  for (int32_t i = slot; i > 0; i -= LowBit(i)) live += tree_[static_cast<size_t>(i)];
  return live;
}

int32_t PlaylistIndex::SlotAt(int32_t position) const {
  // Descends the tree for the smallest slot with position + 1 live slots up to it.
  const auto size = static_cast<int32_t>(tree_.size()) - 1;
  int32_t step = 1;
  while (step * 2 <= size) step *= 2;
  int32_t slot = 0;
  int32_t left = position + 1;
  for (; step > 0; step /= 2) {
    if (slot + step <= size && tree_[static_cast<size_t>(slot + step)] < left) {
      slot += step;
      left -= tree_[static_cast<size_t>(slot)];
    }
  }
  return slot + 1 <= size && left > 0 ? slot + 1 : 0;
}

void PlaylistIndex::AddAt(int32_t slot, int32_t delta) {
  const auto size = static_cast<int32_t>(tree_.size());
  for (int32_t i = slot; i < size; i += LowBit(i)) tree_[static_cast<size_t>(i)] += delta;
}

}  // namespace playback

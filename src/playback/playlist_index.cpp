#include "playback/playlist_index.h"

#include <algorithm>
#include <bit>
#include <string>

namespace playback {
namespace {

int32_t LowBit(int32_t i) { return i & -i; }

size_t Hash(std::string_view file) { return std::hash<std::string_view>{}(file); }

}  // namespace

template <typename Each>
void PlaylistIndex::Probe(size_t hash, Each&& each) const {
  if (files_.empty()) return;
  const size_t mask = files_.size() - 1;
  for (size_t i = hash & mask; files_[i].slot != kNone; i = (i + 1) & mask) {
    if (each(i)) return;
  }
}

void PlaylistIndex::Rebuild(size_t live) {
  std::vector<Filed> old;
  old.swap(files_);
  files_.resize(std::bit_ceil(std::max<size_t>(16, live * 2)));
  used_ = live_ = 0;
  const size_t mask = files_.size() - 1;
  for (const Filed& filed : old) {
    if (filed.slot <= 0) continue;
    size_t i = filed.hash & mask;
    while (files_[i].slot != kNone) i = (i + 1) & mask;
    files_[i] = filed;
    ++used_;
    ++live_;
  }
}

void PlaylistIndex::Clear() {
  tree_.assign(1, 0);
  std::fill(files_.begin(), files_.end(), Filed());
  used_ = live_ = 0;
}

void PlaylistIndex::Reserve(size_t more) {
  const size_t wanted = tree_.size() + more;
  if (wanted > tree_.capacity()) {
    // At least doubling, so that many small reservations cost what one large one does.
    tree_.reserve(std::max(wanted, tree_.capacity() * 2));
  }
  if ((used_ + more) * 2 > files_.size()) Rebuild(std::max(live_ + more, live_ * 2));
}

void PlaylistIndex::Append(std::string_view file) {
  const auto slot = static_cast<int32_t>(tree_.size());
  // The new node covers (slot - lowbit, slot]: the slots it covers before it, and itself.
  tree_.push_back(1 + LiveUpTo(slot - 1) - LiveUpTo(slot - LowBit(slot)));
  Reserve(1);
  const size_t hash = Hash(file);
  const size_t mask = files_.size() - 1;
  size_t i = hash & mask;
  while (files_[i].slot > 0) i = (i + 1) & mask;  // a removed entry's place is taken again
  if (files_[i].slot == kNone) ++used_;
  files_[i] = {hash, slot};
  ++live_;
}

void PlaylistIndex::Remove(int32_t position, std::string_view file) {
  const int32_t slot = SlotAt(position);
  if (slot == 0) return;
  Probe(Hash(file), [&](size_t i) {
    if (files_[i].slot != slot) return false;
    files_[i].slot = kRemoved;
    --live_;
    return true;
  });
  AddAt(slot, -1);
}

int32_t PlaylistIndex::Find(std::string_view file,
                            const std::function<bool(int32_t)>& holds) const {
  int32_t best = -1;
  const size_t hash = Hash(file);
  Probe(hash, [&](size_t i) {
    if (files_[i].slot > 0 && files_[i].hash == hash) {
      const int32_t position = LiveUpTo(files_[i].slot) - 1;
      if ((best < 0 || position < best) && holds(position)) best = position;
    }
    return false;
  });
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

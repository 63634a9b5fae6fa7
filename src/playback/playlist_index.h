// Where a file is in the playlist, answered in a few microseconds however long the playlist
// grows, and kept up to date in logarithmic time as entries are appended and removed. The track
// list asks it for every row it draws; a removal shifts every later entry one place up, which
// this index absorbs without touching them.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace playback {

class PlaylistIndex {
 public:
  // The playlist is empty.
  void Clear();
  // Room for `more` entries to be appended without growing anything on the way.
  void Reserve(size_t more);
  // `file` was appended as the new last entry.
  void Append(std::string_view file);
  // The entry at `position` (0-based), holding `file`, was removed.
  void Remove(int32_t position, std::string_view file);
  // The first position (0-based) whose entry holds `file`, or -1. `holds(position)` confirms a
  // candidate (files are indexed by a hash of their name).
  int32_t Find(std::string_view file, const std::function<bool(int32_t)>& holds) const;

 private:
  // Each entry appended since the last Clear has a slot, in playlist order; a removed entry's
  // slot stays, empty. A Fenwick tree over the slots counts the live ones, so the position of
  // a live slot is the number of live slots before it.
  std::vector<int32_t> tree_{0};  // 1-based; tree_[i] counts the live slots (i - lowbit(i), i]
  std::unordered_multimap<size_t, int32_t> slots_;  // hash of the file -> its live slots

  int32_t LiveUpTo(int32_t slot) const;     // live slots 1..slot
  int32_t SlotAt(int32_t position) const;   // the live slot at `position` (0-based)
  void AddAt(int32_t slot, int32_t delta);  // one slot becomes live (+1) or empty (-1)
};

}  // namespace playback

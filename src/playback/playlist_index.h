// Where a file is in the playlist, answered in a few microseconds however long the playlist
// grows, and kept up to date in logarithmic time as entries are appended and removed. The track
// list asks it for every row it draws; a removal shifts every later entry one place up, which
// this index absorbs without touching them.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
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

  // The live slots by the hash of their file: a table with open addressing (no allocation per
  // entry), an entry's place found by probing on from its hash's. A removed entry stays, marked,
  // until the table is rebuilt, so that probing still passes over it.
  struct Filed {
    size_t hash = 0;
    int32_t slot = kNone;  // kNone, kRemoved, or a live slot
  };
  static constexpr int32_t kNone = 0, kRemoved = -1;
  std::vector<Filed> files_;  // its size a power of two, at most half of it used (or empty)
  size_t used_ = 0;           // entries not kNone
  size_t live_ = 0;           // entries of live slots

  int32_t LiveUpTo(int32_t slot) const;     // live slots 1..slot
  int32_t SlotAt(int32_t position) const;   // the live slot at `position` (0-based)
  void AddAt(int32_t slot, int32_t delta);  // one slot becomes live (+1) or empty (-1)
  // Calls each(i) for every place i of files_ probed from `hash`'s on, until one returns true
  // or an unused place comes.
  template <typename Each>
  void Probe(size_t hash, Each&& each) const;
  void Rebuild(size_t live);  // a table for `live` live entries, only the live ones kept
};

}  // namespace playback

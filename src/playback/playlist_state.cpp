#include "playback/playlist_state.h"

namespace playback {

const EntryTexts* EntryStore::Make(std::string text, std::string file) {
  EntryTexts* texts = nullptr;
  if (free_.empty()) {
    texts = &texts_.emplace_back();
  } else {
    texts = free_.back();
    free_.pop_back();
  }
  texts->text = std::move(text);
  texts->file = std::move(file);
  return texts;
}

void EntryStore::Release(const EntryTexts* texts) {
  if (texts == nullptr) return;
  // The store owns every texts it made; the const is the entries' view of them.
  free_.push_back(const_cast<EntryTexts*>(texts));
}

void EntryStore::Clear() {
  texts_.clear();
  free_.clear();
}

}  // namespace playback

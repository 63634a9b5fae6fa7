// The demo library's contents: artists with their sound, albums, genres and song titles. The
// names are chosen to exercise the program: quotes (O'Dara, Harbour's Edge, Children's),
// accented first letters (Élan, Émile Roche), a digit (10 Rivers), lower-case names (amber
// gold, bee sides), a bracket ([Unknown Artist]), an ampersand, one album name shared by two
// artists, a song without a genre, a listed file that is missing and one that is not audio.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

#include "synth.h"

namespace demo {

enum class EntryKind {
  kSong,      // a synthesized Ogg Vorbis file
  kMissing,   // listed, never written
  kNotAudio,  // a short text file under an .ogg name
};

struct Artist {
  std::string_view name;
  Style style;
};

struct CatalogueEntry {
  const Artist* artist;
  std::string_view album;
  std::string_view genre;  // empty: the library leaves the field empty (Null)
  int track;
  std::string_view title;
  EntryKind kind = EntryKind::kSong;
};

namespace catalogue {

// clang-format off
inline constexpr Artist kODara{"O'Dara", {
    .lead = Lead::kPluck, .beat = Beat::kBrushes, .mode = Mode::kMajor,
    .pentatonic = true, .chords = true, .min_bpm = 72, .max_bpm = 100, .reverb = 0.5f}};
inline constexpr Artist kAmberGold{"amber gold", {
    .lead = Lead::kFlute, .beat = Beat::kBackbeat, .mode = Mode::kMajor,
    .pentatonic = true, .chords = true, .min_bpm = 96, .max_bpm = 124, .reverb = 0.35f}};
inline constexpr Artist kEmile{"Émile Roche", {
    .lead = Lead::kPiano, .beat = Beat::kBrushes, .mode = Mode::kDorian,
    .swing = true, .chords = true, .min_bpm = 88, .max_bpm = 132, .reverb = 0.4f}};
inline constexpr Artist kKite{"Kite Lantern", {
    .lead = Lead::kBell, .beat = Beat::kNone, .mode = Mode::kMajor,
    .pentatonic = true, .chords = true, .min_bpm = 60, .max_bpm = 76, .reverb = 0.9f}};
inline constexpr Artist kTrams{"The Copper Trams", {
    .lead = Lead::kOrgan, .beat = Beat::kBackbeat, .mode = Mode::kMinor,
    .pentatonic = true, .min_bpm = 120, .max_bpm = 150, .reverb = 0.2f}};
inline constexpr Artist kNova{"Nova Pulse", {
    .lead = Lead::kChip, .beat = Beat::kFourOnFloor, .mode = Mode::kMinor,
    .pentatonic = true, .chords = true, .min_bpm = 124, .max_bpm = 165, .reverb = 0.3f}};
inline constexpr Artist kHazel{"Hazel & Finch", {
    .lead = Lead::kFlute, .beat = Beat::kBrushes, .mode = Mode::kDorian,
    .pentatonic = true, .chords = true, .min_bpm = 70, .max_bpm = 96, .reverb = 0.6f}};
inline constexpr Artist kOwl{"Little Owl Band", {
    .lead = Lead::kBell, .beat = Beat::kBackbeat, .mode = Mode::kMajor,
    .pentatonic = true, .min_bpm = 100, .max_bpm = 136, .reverb = 0.3f}};
inline constexpr Artist kUnknown{"[Unknown Artist]", {
    .lead = Lead::kOrgan, .beat = Beat::kNone, .mode = Mode::kMinor,
    .chords = true, .min_bpm = 64, .max_bpm = 90, .reverb = 0.7f}};
inline constexpr Artist kMarisol{"Marisol Vega", {
    .lead = Lead::kPluck, .beat = Beat::kBrushes, .mode = Mode::kMinor,
    .swing = true, .chords = true, .min_bpm = 92, .max_bpm = 120, .reverb = 0.45f}};

inline constexpr CatalogueEntry kEntries[] = {
    {&kODara,     "Harbour's Edge",   "Folk",       1, "Harbour Lights"},
    {&kODara,     "Harbour's Edge",   "Folk",       2, "The Salt Road"},
    {&kODara,     "Harbour's Edge",   "Folk",       3, "Gulls at Dawn"},
    {&kODara,     "Harbour's Edge",   "Folk",       4, "Mending Nets"},
    {&kODara,     "Live at Home",     "Folk",       1, "Kitchen Reel"},
    {&kODara,     "Live at Home",     "Folk",       2, "Candle in the Window"},
    {&kAmberGold, "bee sides",        "Pop",        1, "honey"},
    {&kAmberGold, "bee sides",        "Pop",        2, "Paper Planes"},
    {&kAmberGold, "bee sides",        "Pop",        3, "Stay a While"},
    {&kAmberGold, "Blue Hour",        "Pop",        1, "Blue Hour"},
    {&kAmberGold, "Blue Hour",        "Pop",        2, "Streetlights"},
    {&kAmberGold, "Blue Hour",        "Pop",        3, "Last Train Home"},
    {&kEmile,     "Élan",             "Jazz",       1, "Café Noir"},
    {&kEmile,     "Élan",             "Jazz",       2, "Rue des Lilas"},
    {&kEmile,     "Élan",             "Jazz",       3, "Élan"},
    {&kEmile,     "Late Set",         "Jazz",       1, "Smoke Rings"},
    {&kEmile,     "Late Set",         "Jazz",       2, "Half Past Two"},
    {&kKite,      "10 Rivers",        "Ambient",    1, "Source"},
    {&kKite,      "10 Rivers",        "Ambient",    2, "Meander"},
    {&kKite,      "10 Rivers",        "Ambient",    3, "Delta"},
    {&kKite,      "Slow Light",       "Ambient",    1, "First Frost"},
    {&kTrams,     "Rust & Rails",     "Rock",       1, "Full Steam"},
    {&kTrams,     "Rust & Rails",     "Rock",       2, "Iron Bridge"},
    {&kTrams,     "Rust & Rails",     "Rock",       3, "Night Shift"},
    {&kTrams,     "Live at Home",     "Rock",       1, "Sound Check"},
    {&kTrams,     "Live at Home",     "Rock",       2, "Encore", EntryKind::kNotAudio},
    {&kNova,      "Neon Tides",       "Electronic", 1, "Neon Tides"},
    {&kNova,      "Neon Tides",       "Electronic", 2, "Afterglow"},
    {&kNova,      "Neon Tides",       "Electronic", 3, "Signal"},
    {&kNova,      "Overdrive",        "Electronic", 1, "Overdrive"},
    {&kNova,      "Overdrive",        "Electronic", 2, "Hyperloop"},
    {&kHazel,     "Paper Boats",      "Folk",       1, "Paper Boats"},
    {&kHazel,     "Paper Boats",      "Folk",       2, "Willow Song"},
    {&kHazel,     "Paper Boats",      "Folk",       3, "The Far Shore", EntryKind::kMissing},
    {&kOwl,       "Sing-Along Songs", "Children's", 1, "Counting Stars"},
    {&kOwl,       "Sing-Along Songs", "Children's", 2, "The Busy Bee"},
    {&kOwl,       "Rainy Day Rhymes", "Children's", 1, "Puddle Jump"},
    {&kUnknown,   "Found Tapes",      "",           1, "Untitled"},
    {&kMarisol,   "Sol y Sombra",     "World",      1, "Brisa del Mar"},
    {&kMarisol,   "Sol y Sombra",     "World",      2, "Sol y Sombra"},
};
// clang-format on

}  // namespace catalogue

inline std::span<const CatalogueEntry> Catalogue() { return catalogue::kEntries; }

// FNV-1a of artist, album and title: a song's seed stays the same when the list is reordered.
inline uint32_t SongSeed(const CatalogueEntry& e) {
  uint32_t hash = 2166136261u;
  for (std::string_view part : {e.artist->name, e.album, e.title}) {
    for (unsigned char c : part) hash = (hash ^ c) * 16777619u;
    hash = (hash ^ 0xFF) * 16777619u;  // keeps ("ab", "c") apart from ("a", "bc")
  }
  return hash;
}

// The library's tempo classes by beats per minute.
inline std::string_view TempoName(int bpm) {
  if (bpm < 80) return "Slow";
  if (bpm < 110) return "Medium";
  if (bpm < 140) return "Fast";
  return "Very Fast";
}

// "01", "02" ... as tagging software writes track numbers.
inline std::string TrackText(int track) {
  char text[12];
  std::snprintf(text, sizeof text, "%02d", track);
  return text;
}

// Where a song lives below the demo folder: Artist/Album/NN Title.ogg.
inline std::string RelativePath(const CatalogueEntry& e) {
  std::string path(e.artist->name);
  path.append("/").append(e.album).append("/").append(TrackText(e.track)).append(" ");
  path.append(e.title).append(".ogg");
  return path;
}

}  // namespace demo

#include "selection/criteria.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>
#include <utility>

namespace selection {
namespace {

// The distinct values of `column` in `sql`'s answer, Null left out.
std::vector<std::string> Names(library::LibraryState& lib, const std::string& sql,
                               std::string_view column) {
  std::vector<std::string> names;
  textdb::Cursor cursor;
  if (!cursor.Open(sql, lib.LibraryConnection).ok()) return names;
  names.reserve(static_cast<size_t>(cursor.RecordCount()));
  for (; !cursor.IsEOF(); cursor.MoveNext()) {
    if (std::optional<std::string_view> name = cursor.Field(column)) names.emplace_back(*name);
  }
  return names;
}

int32_t Count(library::LibraryState& lib, const std::string& sql) {
  textdb::Cursor cursor;
  if (!cursor.Open(sql, lib.LibraryConnection).ok()) return 0;
  return static_cast<int32_t>(cursor.RecordCount());
}

void Load(library::LibraryState& lib, const std::string& sql, std::string_view column,
          std::vector<std::string>& names, std::vector<bool>& selected, int32_t& count) {
  if (count != -1) return;
  names = Names(lib, sql, column);
  selected.assign(names.size(), false);
  count = static_cast<int32_t>(names.size());
}

// Adds each of `stored` not in `chosen` at its end.
void AddMissing(std::vector<std::string>& chosen, const std::vector<std::string>& stored) {
  std::unordered_set<std::string_view> there(chosen.begin(), chosen.end());
  chosen.reserve(chosen.size() + stored.size());
  for (const std::string& name : stored) {
    if (there.insert(name).second) chosen.push_back(name);
  }
}

void Mark(const std::vector<std::string>& names, std::vector<bool>& selected,
          const std::vector<std::string>& stored) {
  for (const std::string& name : stored) {
    auto it = std::find(names.begin(), names.end(), name);
    if (it != names.end()) selected[static_cast<size_t>(it - names.begin())] = true;
  }
}

std::vector<std::string> Marked(const std::vector<std::string>& names,
                                const std::vector<bool>& selected) {
  std::vector<std::string> marked;
  for (size_t i = 0; i < names.size() && i < selected.size(); ++i) {
    if (selected[i]) marked.push_back(names[i]);
  }
  return marked;
}

}  // namespace

void CreateCriteria(library::LibraryState& lib, SelectionState& s) {
  if (s.AlbumCount == -1) s.AlbumCount = Count(lib, library::AllAlbumsQuery());
  if (s.ArtistCount == -1) s.ArtistCount = Count(lib, library::AllArtistsQuery());
  Load(lib, library::GenresQuery(), "Genre", s.GenreNames, s.GenreSelected, s.GenreCount);
  Load(lib, library::TemposQuery(), "Tempo", s.TempoNames, s.TempoSelected, s.TempoCount);
}

void ClearSelection(SelectionState& s) {
  std::fill(s.GenreSelected.begin(), s.GenreSelected.end(), false);
  std::fill(s.TempoSelected.begin(), s.TempoSelected.end(), false);
  s.ChosenAlbums.clear();
  s.ChosenArtists.clear();
}

bool ToggleChosen(std::vector<std::string>& chosen, const std::string& name) {
  auto it = std::find(chosen.begin(), chosen.end(), name);
  if (it != chosen.end()) {
    chosen.erase(it);
    return false;
  }
  chosen.push_back(name);
  return true;
}

void OpenExclusionEditor(SelectionState& s) {
  AddMissing(s.ChosenAlbums, s.ExcludedAlbums);
  AddMissing(s.ChosenArtists, s.ExcludedArtists);
  Mark(s.GenreNames, s.GenreSelected, s.ExcludedGenres);
  Mark(s.TempoNames, s.TempoSelected, s.ExcludedTempos);
}

void CommitExclusions(SelectionState& s) {
  library::CriteriaLists marks = Marks(s);
  s.ExcludedAlbums = std::move(marks.albums);
  s.ExcludedArtists = std::move(marks.artists);
  s.ExcludedGenres = std::move(marks.genres);
  s.ExcludedTempos = std::move(marks.tempos);
}

library::CriteriaLists Marks(const SelectionState& s) {
  return {s.ChosenAlbums, s.ChosenArtists, Marked(s.GenreNames, s.GenreSelected),
          Marked(s.TempoNames, s.TempoSelected)};
}

}  // namespace selection

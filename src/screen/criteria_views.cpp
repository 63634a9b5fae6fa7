#include "screen/criteria_views.h"

#include <string>
#include <vector>

#include "playback/generation.h"
#include "screen/hints.h"
#include "screen/navigation.h"
#include "screen/paged_list.h"
#include "screen/render.h"
#include "screen/screen_context.h"
#include "screen/view.h"
#include "selection/criteria.h"

namespace screen {
namespace {

constexpr char kGenres[] = "Genres";
constexpr char kTempo[] = "Tempo";
constexpr char kHintSelectItem[] =
    "[Left = Back] [Up/Down = Scroll] [Enter/OK = Select/Deselect Item]";

bool Editing(const ScreenContext& jubo) { return jubo.browse.CurrentMenuKey == "libraryexclude"; }

void Beep(ScreenContext& jubo) { sound::PlayCue(jubo, jubo.cues.BeepSound); }

// "Generate Playlist": how many songs, then the draw. The selection is cleared and the Main
// Menu shows, whatever came of it.
void Generate(ScreenContext& jubo) {
  Beep(jubo);
  const int32_t count = jubo.AskCount("How many songs?", 0, 100000, 0);
  if (count > 0) playback::GenerateSongs(jubo, count);
  selection::ClearSelection(jubo.selection);
  ShowMainMenu(jubo, 1);
}

// "Clear All Exclusions": the marks go; what is stored changes only when the editor is left.
void ClearAll(ScreenContext& jubo) {
  Beep(jubo);
  selection::ClearSelection(jubo.selection);
  RedrawKeepingRow(jubo);
}

template <const char* name>
void Select(ScreenContext& jubo) {
  StepInto(jubo, kViewCriteriaSelect, name);
}

// A row for each kind of criterion the library has, then the menu's action.
std::vector<MenuRow> Rows(const ScreenContext& jubo) {
  const selection::SelectionState& s = jubo.selection;
  const bool editing = Editing(jubo);
  std::vector<MenuRow> rows;
  auto add = [&](bool any, const char* caption, const char* tag, void (*enter)(ScreenContext&)) {
    if (any) rows.push_back({std::string(caption) + (editing ? " to Exclude" : ""), tag, enter});
  };
  add(s.AlbumCount > 0, "Choose Albums", "album", Open<kViewAlbumGenresChoosing>);
  add(s.ArtistCount > 0, "Choose Artists", "artist", Open<kViewArtistGenresChoosing>);
  add(s.GenreCount > 0, "Choose Genres", "genre", Select<kGenres>);
  add(s.TempoCount > 0, "Choose Tempos", "tempo", Select<kTempo>);
  rows.push_back(editing ? MenuRow{"Clear All Exclusions", "clear", ClearAll}
                         : MenuRow{"Generate Playlist", "generate", Generate});
  return rows;
}

ViewCode Back(const ScreenContext& jubo) { return Editing(jubo) ? kViewSettings : kViewMainMenu; }

// Jubo DJ keeps its marks for the next visit. The editor's marks become the exclusions (stored
// when Settings is left), and Settings shows again at its first row, without a cue.
void Leave(ScreenContext& jubo) {
  if (!Editing(jubo)) return Beep(jubo);
  selection::CommitExclusions(jubo.selection);
  selection::ClearSelection(jubo.selection);
  jubo.screen.SavedRow[kViewSettings] = 1;
}

const MenuPart kCriteria = {
    .title = [](ScreenContext& jubo) -> std::string {
      return Editing(jubo) ? "Exclusions for Non-Stop Music" : "Jubo DJ";
    },
    .rows = Rows,
};

// The genres or the tempos, the marked ones with the chosen icon.
struct Marks {
  const std::vector<std::string>& names;
  std::vector<bool>& marked;
};

Marks Criteria(ScreenContext& jubo) {
  selection::SelectionState& s = jubo.selection;
  if (jubo.browse.CriteriaName == kTempo) return {s.TempoNames, s.TempoSelected};
  return {s.GenreNames, s.GenreSelected};
}

void RenderCriteriaSelect(ScreenContext& jubo) {
  const Marks list = Criteria(jubo);
  DrawListPage(jubo, static_cast<long>(list.names.size()), " Items", [&](long i) {
    const auto at = static_cast<size_t>(i);
    return ListRow{list.names[at], jubo.browse.CriteriaName,
                   RowValue{.text = list.names[at], .entry = static_cast<int32_t>(i)},
                   list.marked[at] ? kIconSelected : -1};
  });
}

void Mark(ScreenContext& jubo, const RowValue& row) {
  sound::PlayCue(jubo, jubo.cues.SelectSound);
  std::vector<bool>& marked = Criteria(jubo).marked;
  marked[static_cast<size_t>(row.entry)] = !marked[static_cast<size_t>(row.entry)];
  RedrawKeepingRow(jubo);
}

const ListPart kCriteriaSelect = {
    .page = kViewCriteriaSelect,
    .create = [](ScreenContext& jubo, const std::string& name) { jubo.browse.CriteriaName = name; },
    .title = [](ScreenContext& jubo) { return "Select " + jubo.browse.CriteriaName; },
    .draw = RenderCriteriaSelect,
};

}  // namespace

void OpenJuboDJ(ScreenContext& jubo) {
  jubo.browse.CurrentMenuKey = "jubodj";
  StepInto(jubo, kViewCriteria, "");
}

void OpenExclusions(ScreenContext& jubo) {
  jubo.browse.CurrentMenuKey = "libraryexclude";
  selection::OpenExclusionEditor(jubo.selection);
  StepInto(jubo, kViewCriteria, "");
}

// clang-format off
extern const View kCriteriaView = {.code = kViewCriteria, .menu = &kCriteria,
    .hint = Hint<kHintControl>, .parent = Back, .leave = Leave, .quiet_left = true};
extern const View kCriteriaSelectView = {.code = kViewCriteriaSelect, .list = &kCriteriaSelect,
    .hint = Hint<kHintSelectItem>, .parent = Parent<kViewCriteria>, .enter = Mark};
// clang-format on

}  // namespace screen

// The criteria of Jubo DJ and the exclusion editor of Non-Stop Music: the library's lists
// behind their menus, and what marking, clearing, opening and committing do to the selection.
// The screen draws the menus and calls these; they draw nothing.
#pragma once

#include <string>
#include <vector>

#include "library/library_connection.h"
#include "library/queries.h"
#include "selection/selection_state.h"

namespace selection {

// Counts the distinct albums and artists and loads the distinct genres and tempos (ascending,
// unmarked), each step only while its count is -1. A query that fails leaves its count at 0 and
// its list empty, so the menu shows no row for it.
void CreateCriteria(library::LibraryState& lib, SelectionState& s);

// Every genre and tempo unmarked, no album or artist chosen.
void ClearSelection(SelectionState& s);

// Enter on a choosing list's row: `name` is added at the end of `chosen` when it is not there
// (true), else taken out, the later names moving up (false).
bool ToggleChosen(std::vector<std::string>& chosen, const std::string& name);

// Opening the exclusion editor: every stored exclusion becomes a mark, on top of the marks
// already made (nothing is cleared). Stored albums and artists are added after the chosen ones,
// each name once; a stored genre or tempo marks its entry in GenreNames or TempoNames (compared
// exactly) and is dropped when the library has no such entry. CreateCriteria must have run:
// before it there are no genre or tempo entries to mark.
void OpenExclusionEditor(SelectionState& s);

// Leaving the exclusion editor: the marks become the four Excluded* lists (as Marks gives them).
// The selection itself is left as it is.
void CommitExclusions(SelectionState& s);

// The marks as the library's queries take them: the chosen albums and artists in marking order,
// the marked genres and tempos in list order.
library::CriteriaLists Marks(const SelectionState& s);

}  // namespace selection

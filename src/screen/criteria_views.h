// The criteria of Jubo DJ and of the Non-Stop exclusion editor: one menu (kViewCriteria) that
// serves both, "Choose Albums" ... "Generate Playlist" or "Choose Albums to Exclude" ... "Clear
// All Exclusions", and the genre or tempo list to mark (kViewCriteriaSelect). Albums and artists
// are marked in the choosing modes of the browse lists, which Left from their genres brings back
// here. The marks are the selection's (selection/), whose lists start-up loads once; these views
// only show and change them.
#pragma once

namespace screen {

struct ScreenContext;

// The Main Menu's "Select Songs using Jubo DJ": the criteria as marked so far.
void OpenJuboDJ(ScreenContext& jubo);
// The Settings' "Exclusions for Non-Stop Music": every stored exclusion marked, added to the
// marks already made; left with Left, the marks become the exclusions and Settings shows again.
void OpenExclusions(ScreenContext& jubo);

}  // namespace screen

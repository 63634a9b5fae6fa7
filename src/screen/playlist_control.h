// Playlist Control (kViewPlaylistControl): a fixed menu of ten transport and playlist commands,
// reached from the Main Menu while the playlist holds songs. Up and Down move the highlight,
// Enter runs the highlighted command, Left goes back to the Main Menu. The commands are the
// engine's; this view lists them and asks the questions. Its row of the view table is
// kPlaylistControlView.
#pragma once

namespace screen {

struct ScreenContext;

// Draws the menu; the repeat row's caption follows PlaylistLoop.
void RenderPlaybackControl(ScreenContext& jubo);

}  // namespace screen

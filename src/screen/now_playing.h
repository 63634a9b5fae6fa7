// Now Playing (kViewNowPlaying): the playlist a page at a time, numbered, the current song
// marked. Enter jumps to the highlighted entry; Right removes it after "Remove Track?"; Left goes
// back to the Main Menu. While it is shown (or covered by the saver) its page follows the song.
// Its row of the view table is kNowPlayingView.
#pragma once

namespace screen {

struct ScreenContext;

// Draws the playlist's current page.
void RenderPlaylist(ScreenContext& jubo);

// Run at every change of the player's open state: while Now Playing is shown, the page turns
// to the current song when it moved to the next or previous page or wrapped to either end;
// otherwise the mark is redrawn and the page and highlight stay.
void FollowCurrentSong(ScreenContext& jubo);

}  // namespace screen

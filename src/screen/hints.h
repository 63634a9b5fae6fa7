// The hint lines under the lists, each written once: several views share them.
#pragma once

namespace screen {

inline constexpr char kHintMenu[] = "[Up/Down = Scroll] [Enter/OK = Select Item]";
inline constexpr char kHintAlbumsAdd[] =
    "[Left = Back] [Up/Down = Scroll] [Right = Show Albums] [Enter/OK = Add to Playlist]";
inline constexpr char kHintArtistsAdd[] =
    "[Left = Back] [Up/Down = Scroll] [Right = Show Artists] [Enter/OK = Add to Playlist]";
inline constexpr char kHintSongsAdd[] =
    "[Left = Back] [Up/Down = Scroll] [Right = Show Songs] [Enter/OK = Add to Playlist]";
inline constexpr char kHintTracks[] =
    "[Left = Back] [Up/Down = Scroll] [Enter/OK = Add to/Remove from Playlist]";
inline constexpr char kHintNowPlaying[] =
    "[Left = Back] [Up/Down = Scroll] [Enter/OK = Jump to Song] [Right = Remove Song]";
inline constexpr char kHintControl[] = "[Left = Back] [Up/Down = Scroll] [Enter/OK = Select Item]";
// While the user marks albums or artists for Jubo DJ or the exclusions: nothing is added.
inline constexpr char kHintAlbums[] = "[Left = Back] [Up/Down = Scroll] [Right = Show Albums]";
inline constexpr char kHintArtists[] = "[Left = Back] [Up/Down = Scroll] [Right = Show Artists]";
inline constexpr char kHintChooseAlbum[] =
    "[Left = Back] [Up/Down = Scroll] [Enter/OK = Select/Deselect Album]";
inline constexpr char kHintChooseArtist[] =
    "[Left = Back] [Up/Down = Scroll] [Enter/OK = Select/Deselect Artist]";

}  // namespace screen

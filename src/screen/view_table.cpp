// The view table: every view of the main screen, each row defined in the view's own file.
#include <array>

#include "screen/view.h"

namespace screen {

extern const View kMainMenuView;              // main_menu.cpp
extern const View kAlbumGenresView;           // genre_views.cpp
extern const View kArtistGenresView;          // genre_views.cpp
extern const View kAlbumGenresChoosingView;   // genre_views.cpp
extern const View kArtistGenresChoosingView;  // genre_views.cpp
extern const View kLettersView;               // letter_index.cpp
extern const View kLettersChoosingView;       // letter_index.cpp
extern const View kAlbumsView;                // name_lists.cpp
extern const View kArtistsView;               // name_lists.cpp
extern const View kArtistAlbumsView;          // name_lists.cpp
extern const View kAlbumsChoosingView;        // name_lists.cpp
extern const View kArtistsChoosingView;       // name_lists.cpp
extern const View kTracksView;                // track_list.cpp
extern const View kNowPlayingView;            // now_playing.cpp
extern const View kPlaylistControlView;       // playlist_control.cpp
extern const View kSettingsView;              // settings_view.cpp
extern const View kCriteriaView;              // criteria_views.cpp
extern const View kCriteriaSelectView;        // criteria_views.cpp
extern const View kSaverView;                 // saver.cpp
extern const View kHelpView;                  // help_view.cpp

namespace {

const std::array<const View*, 20> kViews = {
    &kMainMenuView,
    &kAlbumGenresView,
    &kArtistGenresView,
    &kAlbumGenresChoosingView,
    &kArtistGenresChoosingView,
    &kLettersView,
    &kLettersChoosingView,
    &kAlbumsView,
    &kArtistsView,
    &kArtistAlbumsView,
    &kAlbumsChoosingView,
    &kArtistsChoosingView,
    &kTracksView,
    &kNowPlayingView,
    &kPlaylistControlView,
    &kSettingsView,
    &kCriteriaView,
    &kCriteriaSelectView,
    &kSaverView,
    &kHelpView,
};

}  // namespace

const View* FindView(int code) {
  for (const View* view : kViews) {
    if (view->code == code) return view;
  }
  return nullptr;
}

}  // namespace screen

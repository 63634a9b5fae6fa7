// The Settings view: the user's settings as rows whose captions show their values. Enter
// changes the highlighted one in place, in memory; Left saves every setting and goes back to
// the Main Menu. Its row of the view table is kSettingsView; the hotkey V shows it from
// anywhere.
#include <string>
#include <vector>

#include "playback/loudness.h"
#include "screen/criteria_views.h"
#include "screen/navigation.h"
#include "screen/screen_context.h"
#include "screen/view.h"
#include "settings/settings_store.h"

namespace screen {
namespace {

constexpr char kHintSettings[] = "[Left = Back] [Up/Down = Scroll] [Enter/OK = Change Value]";

using settings::SettingsState;

std::string SaverTypeCaption(const SettingsState& s) {
  switch (s.SaverType) {
    case 1:
      return "Screen Saver Type: Visualization";
    case 2:
      return "Screen Saver Type: Logo";
    case 3:
      return "Screen Saver Type: Blank Screen";
  }
  return "Screen Saver Type: ";  // loading keeps the type in range; Enter brings it back
}

std::string TimeoutCaption(const SettingsState& s) {
  const int minutes = s.ScreensaverTimeout;
  return "Screen Saver Timeout: " + std::to_string(minutes) + (minutes == 1 ? " min" : " mins") +
         (minutes == 0 ? " (disabled)" : "");
}

std::string SongErrorCaption(const SettingsState& s) {
  return s.ActionOnError == 0 ? "Action on Corrupt Song: Skip to Next Song"
                              : "Action on Corrupt Song: Stop Playing";
}

// Enter on a setting changes it in memory, with the beep cue; its row shows the new value.
template <void (*change)(SettingsState& s)>
void Change(ScreenContext& jubo) {
  sound::PlayCue(jubo, jubo.cues.BeepSound);
  change(jubo.settings);
  RedrawKeepingRow(jubo);
}

void NextSaverType(SettingsState& s) { s.SaverType = s.SaverType >= 3 ? 1 : s.SaverType + 1; }
void ToggleSongError(SettingsState& s) { s.ActionOnError = s.ActionOnError == 0 ? 1 : 0; }

// Loudness: which ReplayGain evens the songs. The song playing takes the new mode at once.
std::string LoudnessCaption(const SettingsState& s) {
  static const char* const kModes[] = {"Automatic", "Album", "Track", "Off"};
  return std::string("Loudness: ") + kModes[s.Loudness];
}

void NextLoudness(ScreenContext& jubo) {
  int16_t& loudness = jubo.settings.Loudness;
  loudness = loudness >= settings::kLoudnessOff ? settings::kLoudnessAutomatic : loudness + 1;
  playback::ChooseReplayGain(jubo, jubo.playlist.CurrentSong);
  sound::PlayCue(jubo, jubo.cues.BeepSound);
  RedrawKeepingRow(jubo);
}

// The timeout is asked for as a number; left alone, the dialog gives the timeout back unchanged.
void AskTimeout(ScreenContext& jubo) {
  sound::PlayCue(jubo, jubo.cues.BeepSound);
  int16_t& timeout = jubo.settings.ScreensaverTimeout;
  timeout = static_cast<int16_t>(
      jubo.AskCount("Timeout in minutes", 0, settings::kMaxScreensaverTimeout, timeout));
  RedrawKeepingRow(jubo);
}

std::vector<MenuRow> Rows(const ScreenContext& jubo) {
  const SettingsState& s = jubo.settings;
  return {
      {SaverTypeCaption(s), "savertype", Change<NextSaverType>},
      {TimeoutCaption(s), "savertime", AskTimeout},
      {SongErrorCaption(s), "songerror", Change<ToggleSongError>},
      {"Exclusions for Non-Stop Music", "nonstop", OpenExclusions},
      {LoudnessCaption(s), "loudness", NextLoudness},
  };
}

// Left: what was changed here is kept, and takes effect for the screen savers.
void KeepSettings(ScreenContext& jubo) {
  settings::SaveSettings(jubo.store, jubo.settings, jubo.selection);
  jubo.settings.ConfiguredSaverType = jubo.settings.SaverType;
  jubo.display->SetSystemSaver(jubo.settings.ScreensaverTimeout < 1);
}

const MenuPart kSettings = {
    .title = [](ScreenContext&) -> std::string { return "Jubo Player Settings"; },
    .rows = Rows,
};

}  // namespace

// clang-format off
extern const View kSettingsView = {.code = kViewSettings, .menu = &kSettings,
    .hint = Hint<kHintSettings>, .parent = Parent<kViewMainMenu>, .leave = KeepSettings};
// clang-format on

}  // namespace screen

// The Settings view: the user's settings as rows whose captions show their values. Enter
// changes the highlighted one in place, in memory; Left saves every setting and goes back to
// the Main Menu. Its row of the view table is kSettingsView; the hotkey V shows it from
// anywhere.
#include <algorithm>
#include <string>
#include <vector>

#include "playback/loudness.h"
#include "screen/criteria_views.h"
#include "screen/navigation.h"
#include "screen/render.h"
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

// The devices Enter goes through: the player's, the system's choice first, then Snapcast once the
// settings name its pipe.
std::vector<playback::MediaPlayer::AudioDevice> AudioDevices(const ScreenContext& jubo) {
  std::vector<playback::MediaPlayer::AudioDevice> devices = jubo.player->AudioDevices();
  if (devices.empty()) devices.push_back({"auto", "Autoselect device"});
  if (const std::string& pipe = jubo.settings.SnapcastPipe; !pipe.empty()) {
    devices.push_back({playback::MediaPlayer::kSnapcast + pipe, "Snapcast (every room)"});
  }
  return devices;
}

// The device chosen by its description, shortened to fit the row; a device the system no
// longer offers (a headset switched off) by its name. An output named from outside wins.
std::string AudioOutputCaption(const ScreenContext& jubo) {
  std::string caption = "Audio Output: ";
  if (const std::string& fixed = jubo.player->FixedAudioOutput(); !fixed.empty()) {
    caption += fixed + " (set by JUBO_AUDIO_OUTPUT)";
  } else {
    std::string shown = jubo.settings.AudioDevice;
    for (const auto& device : AudioDevices(jubo)) {
      if (device.name == shown) shown = device.description;
    }
    caption += shown;
  }
  return fittowidth(caption, jubo.screen.frmMain.lblItem[1], *jubo.measure);
}

// Enter: the next device, heard at once and kept with the settings. Refused while an output is
// named from outside.
void NextAudioDevice(ScreenContext& jubo) {
  if (!jubo.player->FixedAudioOutput().empty()) {
    return sound::PlayCue(jubo, jubo.cues.ErrorSound);
  }
  sound::PlayCue(jubo, jubo.cues.BeepSound);
  const auto devices = AudioDevices(jubo);
  auto chosen = std::find_if(devices.begin(), devices.end(), [&](const auto& device) {
    return device.name == jubo.settings.AudioDevice;
  });
  chosen = chosen == devices.end() || chosen + 1 == devices.end() ? devices.begin() : chosen + 1;
  jubo.settings.AudioDevice = chosen->name;
  jubo.player->SetAudioDevice(chosen->name);
  RedrawKeepingRow(jubo);
}

// The phone remote: Enter switches its web server; turned on, the pairing panel shows. A
// server that cannot start says why, and the setting stays off.
std::string PhoneCaption(const SettingsState& s) {
  return s.PhoneRemote != 0 ? "Phone Remote: On" : "Phone Remote: Off";
}

void TogglePhone(ScreenContext& jubo) {
  sound::PlayCue(jubo, jubo.cues.BeepSound);
  int16_t& on = jubo.settings.PhoneRemote;
  on = on != 0 ? 0 : 1;
  if (jubo.phone != nullptr) {
    if (std::string problem = jubo.phone->Switch(on != 0); !problem.empty()) {
      on = 0;
      jubo.ShowInfo("The phone remote could not start:", problem);
    }
  }
  RedrawKeepingRow(jubo);
}

// Every paired phone must pair again: for a phone lost or given away.
void ForgetPhones(ScreenContext& jubo) {
  sound::PlayCue(jubo, jubo.cues.BeepSound);
  if (jubo.phone != nullptr) jubo.phone->ForgetPhones();
}

std::vector<MenuRow> Rows(const ScreenContext& jubo) {
  const SettingsState& s = jubo.settings;
  return {
      {SaverTypeCaption(s), "savertype", Change<NextSaverType>},
      {TimeoutCaption(s), "savertime", AskTimeout},
      {SongErrorCaption(s), "songerror", Change<ToggleSongError>},
      {"Exclusions for Non-Stop Music", "nonstop", OpenExclusions},
      {LoudnessCaption(s), "loudness", NextLoudness},
      {AudioOutputCaption(jubo), "audiooutput", NextAudioDevice},
      {PhoneCaption(s), "phoneremote", TogglePhone},
      {"Forget paired phones", "forgetphones", ForgetPhones},
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

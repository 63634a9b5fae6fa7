#include "settings/settings_store.h"

#include <algorithm>
#include <cstdio>
#include <variant>

#include "settings/registry.h"

namespace settings {
namespace {

constexpr const char* kScreensaverKey = "Software\\Tarvento\\Jubo_Player\\Screensaver";
constexpr const char* kPlaylistKey = "Software\\Tarvento\\Jubo_Player\\Playlist";
constexpr const char* kSoundKey = "Software\\Tarvento\\Jubo_Player\\Sound";
constexpr const char* kAudioOutputKey = "Software\\Tarvento\\Jubo_Player\\AudioOutput";
constexpr const char* kPhoneKey = "Software\\Tarvento\\Jubo_Player\\PhoneRemote";
constexpr const char* kPhoneTokensKey = "Software\\Tarvento\\Jubo_Player\\PhoneRemote\\Tokens";
constexpr const char* kExcludesKey = "Software\\Tarvento\\Jubo_Player\\NonStopExcludes\\";
constexpr const char* kLabelsKey = "AppEvents\\EventLabels\\";
constexpr const char* kSchemesKey = "AppEvents\\Schemes\\Apps\\Tarvento\\";

struct ExclusionList {
  const char* key;
  std::vector<std::string> selection::SelectionState::*names;
};
constexpr ExclusionList kExclusionLists[] = {
    {"Albums", &selection::SelectionState::ExcludedAlbums},
    {"Artists", &selection::SelectionState::ExcludedArtists},
    {"Genres", &selection::SelectionState::ExcludedGenres},
    {"Tempos", &selection::SelectionState::ExcludedTempos},
};

struct SoundEvent {
  const char* name;   // also its key's name
  const char* label;  // what a sound settings panel shows
  std::string sound::CueState::*file;
};
constexpr SoundEvent kSoundEvents[] = {
    {"KX_Error", "Error", &sound::CueState::ErrorSound},
    {"KX_Beep", "Beep", &sound::CueState::BeepSound},
    {"KX_Select", "Select", &sound::CueState::SelectSound},
};

// A stored number brought into lo..hi.
int16_t InRange(const Variant& value, int32_t lo, int32_t hi) {
  return static_cast<int16_t>(std::clamp(ToNumber(value), lo, hi));
}

// The value `name` of the key the registry is on, as a number.
Variant ReadDword(cRegistry& Registry, const char* name) {
  Registry.ValueKey = name;
  Registry.ValueType = REG_DWORD;
  return Registry.Value();
}

void WriteDword(cRegistry& Registry, const std::string& name, const Variant& value) {
  Registry.ValueKey = name;
  Registry.ValueType = REG_DWORD;
  Registry.Value(value);
}

void WriteText(cRegistry& Registry, const char* name, const std::string& text) {
  Registry.ValueKey = name;
  Registry.ValueType = REG_SZ;
  Registry.Value(text);
}

// Registers each event (its label) and reads the file the user assigned to it; an event
// without one gets its key, where the file is to be assigned.
void SetUpSoundEvents(cRegistry& Registry, sound::CueState& cues) {
  Registry.ValueKey = "";
  for (const SoundEvent& event : kSoundEvents) {
    Registry.SectionKey = std::string(kLabelsKey) + event.name;
    if (!ToText(Registry.Value()).empty()) continue;
    Registry.ValueType = REG_SZ;
    Registry.Value(std::string(event.label));
  }
  for (const SoundEvent& event : kSoundEvents) {
    Registry.SectionKey = std::string(kSchemesKey) + event.name + "\\.current";
    cues.*event.file = ToText(Registry.Value());
    if (!(cues.*event.file).empty()) continue;
    Registry.SectionKey = std::string(kSchemesKey) + event.name + "\\";
    Registry.CreateKey();
  }
}

// Every named value of the key the registry is on, whatever a stored count says: a
// hand-edited key may disagree with it.
void ReadNamedValues(cRegistry& Registry, std::vector<std::string>& out) {
  std::vector<std::string> names;
  int32_t count = 0;
  Registry.EnumerateValues(names, count);
  out.clear();
  std::copy_if(names.begin(), names.end(), std::back_inserter(out),
               [](const std::string& name) { return !name.empty(); });
}

// Makes `key` anew with one value per name, so that names taken off the list leave the store.
void WriteNamedValues(cRegistry& Registry, const std::string& key,
                      const std::vector<std::string>& names) {
  Registry.SectionKey = key;
  if (Registry.KeyExists()) Registry.DeleteKey();
  WriteDword(Registry, "", static_cast<int32_t>(names.size()));
  for (const std::string& name : names) WriteDword(Registry, name, int16_t{1});
}

void SavePhone(cRegistry& Registry, const SettingsState& s) {
  WriteNamedValues(Registry, kPhoneTokensKey, s.PhoneTokenHashes);
}

void Load(cRegistry& Registry, SettingsState& s, sound::CueState& cues,
          selection::SelectionState& selection) {
  Registry.ClassKey = HKEY_CURRENT_USER;
  Registry.SectionKey = kScreensaverKey;
  s.ScreensaverTimeout = InRange(ReadDword(Registry, "Timeout"), 0, kMaxScreensaverTimeout);
  s.SaverType = InRange(ReadDword(Registry, "Type"), 0, 3);
  if (s.SaverType == 0) {
    // Nothing stored yet, or a type never chosen: Visualization, kept from now on.
    s.SaverType = 1;
    WriteDword(Registry, "Type", int16_t{1});
  }
  Registry.SectionKey = kPlaylistKey;
  s.PlaylistLoop = InRange(ReadDword(Registry, "Loop"), 0, 1);
  s.ActionOnError = InRange(ReadDword(Registry, "ActionOnError"), 0, 1);
  Registry.SectionKey = kAudioOutputKey;
  Registry.ValueKey = "Device";
  s.AudioDevice = ToText(Registry.Value());
  if (s.AudioDevice.empty()) s.AudioDevice = "auto";
  Registry.ValueKey = "SnapcastPipe";
  s.SnapcastPipe = ToText(Registry.Value());

  // Volume and loudness. A first start keeps the level the player has always started at.
  Registry.SectionKey = kSoundKey;
  const Variant volume = ReadDword(Registry, "Volume");
  s.Volume =
      std::holds_alternative<std::monostate>(volume) ? kDefaultVolume : InRange(volume, 0, 100);
  s.Loudness = InRange(ReadDword(Registry, "Loudness"), kLoudnessAutomatic, kLoudnessOff);

  Registry.SectionKey = kPhoneKey;
  s.PhoneRemote = InRange(ReadDword(Registry, "Enabled"), 0, 1);
  Registry.SectionKey = kPhoneTokensKey;
  ReadNamedValues(Registry, s.PhoneTokenHashes);

  SetUpSoundEvents(Registry, cues);

  for (const ExclusionList& list : kExclusionLists) {
    Registry.SectionKey = std::string(kExcludesKey) + list.key;
    ReadNamedValues(Registry, selection.*list.names);
  }
  Registry.Flush();
}

void Save(cRegistry& Registry, const SettingsState& s, const selection::SelectionState& selection) {
  Registry.ClassKey = HKEY_CURRENT_USER;
  Registry.SectionKey = kScreensaverKey;
  WriteDword(Registry, "Timeout", s.ScreensaverTimeout);
  WriteDword(Registry, "Type", s.SaverType);
  Registry.SectionKey = kPlaylistKey;
  WriteDword(Registry, "Loop", s.PlaylistLoop);
  WriteDword(Registry, "ActionOnError", s.ActionOnError);
  Registry.SectionKey = kSoundKey;
  WriteDword(Registry, "Volume", s.Volume);
  WriteDword(Registry, "Loudness", s.Loudness);
  // The pipe is written even when empty: the file shows where to name one.
  Registry.SectionKey = kAudioOutputKey;
  WriteText(Registry, "Device", s.AudioDevice);
  WriteText(Registry, "SnapcastPipe", s.SnapcastPipe);
  Registry.SectionKey = kPhoneKey;
  WriteDword(Registry, "Enabled", s.PhoneRemote);
  SavePhone(Registry, s);
  for (const ExclusionList& list : kExclusionLists) {
    WriteNamedValues(Registry, std::string(kExcludesKey) + list.key, selection.*list.names);
  }
  Registry.Flush();
}

bool Report(const RegistryError& error) {
  std::fprintf(stderr, "jubo: %s (error %d in %s)\n", error.Description.c_str(), error.Number,
               error.Source.c_str());
  return false;
}

}  // namespace

bool LoadSettings(Store* store, SettingsState& settings, sound::CueState& cues,
                  selection::SelectionState& selection) {
  if (store == nullptr) return true;
  cRegistry Registry(*store);
  try {
    Load(Registry, settings, cues, selection);
  } catch (const RegistryError& error) {
    return Report(error);
  }
  return true;
}

bool SaveSettings(Store* store, const SettingsState& settings,
                  const selection::SelectionState& selection) {
  if (store == nullptr) return true;
  cRegistry Registry(*store);
  try {
    Save(Registry, settings, selection);
  } catch (const RegistryError& error) {
    return Report(error);
  }
  return true;
}

bool SavePhoneTokens(Store* store, const SettingsState& settings) {
  if (store == nullptr) return true;
  cRegistry Registry(*store);
  try {
    Registry.ClassKey = HKEY_CURRENT_USER;
    SavePhone(Registry, settings);
    Registry.Flush();
  } catch (const RegistryError& error) {
    return Report(error);
  }
  return true;
}

}  // namespace settings

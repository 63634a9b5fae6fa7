// What the program keeps in the settings store, and when: LoadSettings once at start-up,
// SaveSettings when the Settings view is left and when the program ends. In between the program
// works on the values in memory only. The layout under HKEY_CURRENT_USER:
//
//   Software\Tarvento\Jubo_Player\Screensaver     Timeout, Type           (REG_DWORD)
//   Software\Tarvento\Jubo_Player\Playlist        Loop, ActionOnError     (REG_DWORD)
//   Software\Tarvento\Jubo_Player\Sound           Volume, Loudness        (REG_DWORD)
//   Software\Tarvento\Jubo_Player\AudioOutput     Device, SnapcastPipe    (REG_SZ)
//   Software\Tarvento\Jubo_Player\PhoneRemote     Enabled                 (REG_DWORD)
//   Software\Tarvento\Jubo_Player\PhoneRemote\Tokens   one value per paired phone, named by
//       the SHA-256 of its token, holding 1
//   Software\Tarvento\Jubo_Player\NonStopExcludes\Albums (Artists, Genres, Tempos)
//       the unnamed value: the count; then one value per entry, named by it, holding 1
//   AppEvents\EventLabels\KX_Beep (KX_Select, KX_Error)             unnamed value: the label
//   AppEvents\Schemes\Apps\Tarvento\KX_Beep\.current (...)   unnamed value: the sound file
//
// With no store (null) nothing is read or written: the values in memory stay as they are. A
// store that cannot be written is reported on standard error in one line ("jubo: Failed to
// save the settings: ... (error 26001 in jubo.cRegistry)") and the program carries on with
// the settings in memory; both functions then return false.
#pragma once

#include "selection/selection_state.h"
#include "settings/settings_state.h"
#include "settings/store.h"
#include "sound/cues.h"

namespace settings {

// Reads the settings, each brought into its range (a timeout 0 to 3600, a type 1 to 3, where a
// stored or missing type 0 becomes 1 and is written back; Loop and ActionOnError 0 or 1); the
// sound events, whose labels and keys are made on a first run so that a file can be assigned
// to each, and whose assigned files become the cues; and the exclusion lists, each taking
// every named value of its key. The volume is 0 to 100, 50 when none is stored yet; the
// loudness mode 0 to 3.
bool LoadSettings(Store* store, SettingsState& settings, sound::CueState& cues,
                  selection::SelectionState& selection);

// Writes the settings and the exclusion lists, each list's key made anew.
bool SaveSettings(Store* store, const SettingsState& settings,
                  const selection::SelectionState& selection);

// Writes the paired phones alone (a phone paired or every phone forgotten), so that pairing
// survives a restart without saving what the Settings view has not yet kept.
bool SavePhoneTokens(Store* store, const SettingsState& settings);

}  // namespace settings

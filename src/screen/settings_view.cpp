#include "screen/settings_view.h"

#include <string>

#include "ground/keys.h"
#include "screen/list_movement.h"
#include "screen/navigation.h"
#include "screen/paged_list.h"
#include "screen/render.h"
#include "screen/screen_context.h"
#include "screen/view.h"
#include "settings/settings_store.h"

namespace screen {
namespace {

constexpr const char* kHintSettings = "[Left = Back] [Up/Down = Scroll] [Enter/OK = Change Value]";

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

// A row of the view: its tag, its caption from the settings, and what Enter changes (nullptr:
// the dialog or editor it opens does not exist yet, and Enter is refused).
struct SettingRow {
  const char* tag;
  std::string (*caption)(const SettingsState& s);
  void (*change)(SettingsState& s);
};

const SettingRow kRows[] = {
    {"savertype", SaverTypeCaption,
     [](SettingsState& s) { s.SaverType = s.SaverType >= 3 ? 1 : s.SaverType + 1; }},
    {"savertime", TimeoutCaption, nullptr},
    {"songerror", SongErrorCaption,
     [](SettingsState& s) { s.ActionOnError = s.ActionOnError == 0 ? 1 : 0; }},
    {"nonstop", [](const SettingsState&) -> std::string { return "Exclusions for Non-Stop Music"; },
     nullptr},
};

// Left: what was changed here is kept, and takes effect for the screen savers.
void LeaveSettings(ScreenContext& jubo) {
  settings::SaveSettings(jubo.store, jubo.settings, jubo.selection);
  jubo.settings.ConfiguredSaverType = jubo.settings.SaverType;
  jubo.display->SetSystemSaver(jubo.settings.ScreensaverTimeout < 1);
  StepBackTo(jubo, kViewMainMenu);
}

void SettingsKeyDown(ScreenContext& jubo, int16_t& KeyCode) {
  ScreenState& s = jubo.screen;
  if (KeyCode == ground::kKeyUp || KeyCode == ground::kKeyDown) {
    MoveWithinPage(jubo, KeyCode == ground::kKeyUp ? -1 : 1);
  } else if (KeyCode == ground::kKeyLeft) {
    LeaveSettings(jubo);
  } else if (KeyCode == ground::kKeyEnter) {
    Label& item = s.frmMain.lblItem[static_cast<size_t>(s.CurrentRow)];
    for (const SettingRow& row : kRows) {
      if (item.tag != row.tag || row.change == nullptr) continue;
      sound::PlayCue(jubo, jubo.cues.BeepSound);
      row.change(jubo.settings);
      item.caption = row.caption(jubo.settings);
      renderhighlight(s);
      return;
    }
    sound::PlayCue(jubo, jubo.cues.ErrorSound);
  }
}

}  // namespace

void RenderSettings(ScreenContext& jubo) {
  std::vector<std::pair<std::string, std::string>> rows;
  for (const SettingRow& setting : kRows)
    rows.emplace_back(setting.caption(jubo.settings), setting.tag);
  DrawMenu(jubo, rows);
  jubo.screen.frmMain.lblHelpAbove.visible = false;
}

extern const View kSettingsView = {
    .code = kViewSettings,
    .page = kViewSettings,
    .create = nullptr,
    .title = [](ScreenContext&) -> std::string { return "Jubo Player Settings"; },
    .draw = RenderSettings,
    .hint = [](const ScreenContext&) { return kHintSettings; },
    .parent = nullptr,
    .leave = nullptr,
    .right = nullptr,
    .enter = nullptr,
    .quiet_pages = false,
    .key = SettingsKeyDown,
};

}  // namespace screen

#include "remote/screen_query.h"

#include <nlohmann/json.hpp>

#include "dialogs/dialog_context.h"
#include "dialogs/modal.h"

namespace remote {
namespace {

using Json = nlohmann::ordered_json;

std::string Shown(const screen::Label& label) { return label.visible ? label.caption : ""; }

Json Dialog(const dialogs::DialogContext& jubo) {
  if (jubo.dialogs.open == nullptr) return nullptr;
  const dialogs::DialogSummary shown = jubo.dialogs.open->Summary();
  Json dialog = {{"form", shown.form},
                 {"lines", shown.lines},
                 {"buttons", shown.buttons},
                 {"selected", shown.selected}};
  if (shown.value) dialog["value"] = *shown.value;
  return dialog;
}

}  // namespace

std::string ScreenJson(const dialogs::DialogContext& jubo) {
  const screen::ScreenState& s = jubo.screen;
  const screen::MainForm& f = s.frmMain;
  Json rows = Json::array();
  for (size_t row = 1; row < f.lblItem.size(); ++row) {
    rows.push_back({{"caption", Shown(f.lblItem[row])},
                    {"tag", f.lblItem[row].visible ? f.lblItem[row].tag : ""},
                    {"icon", screen::IconKind(f.imgIcon[row])}});
  }
  Json answer = {
      {"view", s.CurrentView},
      {"title", f.lblTitle.caption},
      {"crumbs", f.lblCrumbs.caption},
      {"above", Shown(f.lblHelpAbove)},
      {"below", Shown(f.lblHelpBelow)},
      {"rows", rows},
      {"row", s.CurrentRow},
      {"highlight", f.shpHighlight.visible},
      {"state", f.lblState.caption},
      {"switches", f.lblState2.caption},
      {"track", f.lblTrack.caption},
      {"playlist", {{"count", jubo.playlist.SongCount}, {"current", jubo.playlist.CurrentSong}}},
      {"dialog", Dialog(jubo)},
      // The saver's type in effect while it shows: 1 visualisation, 2 logo, 3 blank.
      {"saver", s.CurrentView == screen::kViewSaver ? Json(jubo.settings.SaverType) : Json()},
      {"help", f.txtHelp.visible},
      {"pairing", jubo.pairing.shown
                      ? Json{{"code", jubo.pairing.code}, {"address", jubo.pairing.address}}
                      : Json()},
      {"frames", jubo.display != nullptr ? jubo.display->FramesPresented() : 0},
  };
  // Text the library gives may be invalid UTF-8 only if the file was; replace rather than fail.
  return answer.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace remote

// The screen saver on the fake clock: when it starts, what it shows, and what closes it.
#include "screen/saver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "ground/keys.h"
#include "support/session.h"

namespace screen {
namespace {

using namespace ground;
using namespace jubo_test;

constexpr int16_t kVisualization = 1, kLogo = 2, kBlank = 3;

// What covers the main screen: "video", "logo", "blank", or "" for nothing. The player's
// pictures are made only while the video shows.
std::string Cover(const Harness& h) {
  const SaverState& s = h.jubo.saver;
  auto shown = [&h](const Form* form) { return std::ranges::count(h.display.shown, form) > 0; };
  std::string cover;
  if (shown(&s.frmVideo)) cover += "video";
  if (shown(&s.frmSaver)) cover += s.frmSaver.imgSaver.visible ? "logo" : "blank";
  return cover + (h.player.visualization != (cover == "video") ? ", pictures wrong" : "");
}

std::function<void(Harness&)> Covered(const std::string& cover) {
  return [cover](Harness& h) { EXPECT_EQ(Cover(h), cover); };
}

void UseSaver(Harness& h, int16_t minutes, int16_t type) {
  h.jubo.settings.ScreensaverTimeout = minutes;
  h.jubo.settings.SaverType = type;
}

// With a minute's timeout the saver starts on the 60th idle second; a key just before restarts
// the count. Arrows and Page keys leave it up; Enter closes it on the view and row it covered.
// An open question keeps it away; left alone, the question answers just after the idle time
// and the saver follows.
TEST(SaverTest, StartsAfterTheIdleMinuteUnlessAQuestionIsOpen) {
  Harness h;
  UseSaver(h, 1, kBlank);
  Script(h, {
                {.keys = {kKeyDown}, .wait_ms = 59000, .view = kViewMainMenu, .check = Covered("")},
                {.keys = {kKeyDown}, .wait_ms = 59000, .view = kViewMainMenu},
                {.wait_ms = 1000, .view = kViewSaver, .check = Covered("blank")},
                {.keys = {kKeyUp, kKeyDown, kKeyPageUp, kKeyPageDown, kKeyLeft, kKeyRight},
                 .view = kViewSaver,
                 .cues = {},
                 .check = Covered("blank")},
                {.keys = {kKeyEnter},
                 .view = kViewMainMenu,
                 .highlighted = "Select Songs using Jubo DJ",
                 .cues = {kBeep},
                 .check = Covered("")},
                {.keys = {kKeyEscape}, .wait_ms = 60500, .question = "Exit Jubo Player?\n"},
                {.wait_ms = 2000, .view = kViewSaver, .check = Covered("blank")},
            });
  h.Run();
}

// While nothing plays, the blank screen and the visualisation give way to the moving logo after
// ten seconds; P works under the saver and brings the configured type back within a second. The
// logo jumps every ten seconds, always wholly on the screen.
TEST(SaverTest, TheLogoMovesAndStandsInWhileNothingPlays) {
  for (int16_t type : {kBlank, kVisualization, kLogo}) {
    Harness h;
    UseSaver(h, 5, type);
    h.random.next = {0.9999, 0.9999, 0, 0};  // the far corner (all but 1), then the near one
    auto logo_at = [](bool far) {
      return [far](Harness& h) {
        const SaverForm& f = h.jubo.saver.frmSaver;
        EXPECT_EQ(Cover(h), "logo");
        EXPECT_NEAR(f.imgSaver.left, far ? f.width - f.imgSaver.width : 0, 1);
        EXPECT_NEAR(f.imgSaver.top, far ? f.height - f.imgSaver.height : 0, 1);
      };
    };
    const std::string configured = type == kBlank ? "blank" : type == kLogo ? "logo" : "video";
    const auto first = type == kLogo ? logo_at(true) : Covered(configured);
    h.loop.Then([&] { h.AddSongs(1); }).Wait(1000);
    Script(h, {
                  {.keys = {KeyOf('S'), KeyOf('A')}, .wait_ms = 1000, .check = first},
                  {.wait_ms = 9000, .check = first},
                  {.wait_ms = 1000, .view = kViewSaver, .check = logo_at(type != kLogo)},
                  {.keys = {KeyOf('P')}, .wait_ms = 1000, .check = Covered(configured)},
                  {.keys = {KeyOf('P')}, .wait_ms = 10000, .check = Covered(configured)},
                  {.keys = {KeyOf('S')}, .wait_ms = 10000, .check = Covered("logo")},
                  {.keys = {kKeyEnter},
                   .view = kViewMainMenu,
                   .check =
                       [](Harness& h) {
                         EXPECT_EQ(Cover(h), "");
                         EXPECT_EQ(h.jubo.settings.SaverType, h.jubo.settings.ConfiguredSaverType);
                       }},
              });
    h.Run();
  }
}

// Escape, X, C, V and M close the saver before they act; so does a song that cannot be played.
TEST(SaverTest, HotkeysAndAFailedSongCloseItFirst) {
  const std::tuple<int16_t, int, std::string> cases[] = {
      {kKeyEscape, kViewMainMenu, "Exit Jubo Player?\n"},
      {KeyOf('X'), kViewMainMenu, "Shuffle\nPlaylist?"},
      {KeyOf('C'), kViewMainMenu, "Clear Playlist?\n"},
      {KeyOf('V'), kViewSettings, ""},
      {KeyOf('M'), kViewMainMenu, ""},
      {KeyOf('N'), kViewMainMenu, "Could not play\nSong 2"},
  };
  for (const auto& [key, view, question] : cases) {
    SCOPED_TRACE(key);
    Harness h;
    UseSaver(h, 5, kVisualization);
    h.player.unplayable = {h.songs[1].filename};
    h.jubo.settings.ActionOnError = 1;
    h.loop.Then([&] { h.AddSongs(2); });
    Script(h, {
                  {.keys = {kKeyDown, KeyOf('A')}, .wait_ms = 1000, .view = kViewSaver},
                  {.keys = {key},
                   .wait_ms = 100,
                   .view = view,
                   .question = question,
                   .check = Covered("")},
              });
    h.program_may_end_first = true;
    h.Run();
  }
}

}  // namespace
}  // namespace screen

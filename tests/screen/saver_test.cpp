// The screen saver on the fake clock: when it starts, what it shows, and what closes it.
#include "screen/saver.h"

#include <gtest/gtest.h>

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
  auto shown = [&h](const Form* form) {
    return std::find(h.display.shown.begin(), h.display.shown.end(), form) != h.display.shown.end();
  };
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
// ten seconds; P works under the saver and brings the configured type back within a second.
TEST(SaverTest, TheLogoStandsInWhileNothingPlays) {
  for (int16_t type : {kBlank, kVisualization}) {
    Harness h;
    UseSaver(h, 5, type);
    const std::string configured = type == kBlank ? "blank" : "video";
    h.loop.Then([&] { h.AddSongs(1); }).Wait(1000);
    Script(h, {
                  {.keys = {KeyOf('S'), KeyOf('A')}, .wait_ms = 1000, .check = Covered(configured)},
                  {.wait_ms = 9000, .check = Covered(configured)},
                  {.wait_ms = 1000, .view = kViewSaver, .check = Covered("logo")},
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

// The logo jumps every ten seconds, always wholly on the screen.
TEST(SaverTest, TheLogoMovesEveryTenSecondsAndStaysOnScreen) {
  Harness h;
  UseSaver(h, 5, kLogo);
  h.random.next = {0.9999, 0.9999, 0, 0};
  // At the far corner (the first draws all but 1), then at the near one.
  auto at = [](bool far) {
    return [far](Harness& h) {
      const SaverForm& f = h.jubo.saver.frmSaver;
      EXPECT_EQ(Cover(h), "logo");
      EXPECT_NEAR(f.imgSaver.left, far ? f.width - f.imgSaver.width : 0, 1);
      EXPECT_NEAR(f.imgSaver.top, far ? f.height - f.imgSaver.height : 0, 1);
    };
  };
  Script(h, {
                {.keys = {KeyOf('A')}, .wait_ms = 1000, .check = at(true)},
                {.wait_ms = 9000, .check = at(true)},
                {.wait_ms = 1000, .check = at(false)},
            });
  h.Run();
}

// Escape, X, C, V and M close the saver before they act; so does a song that cannot be played.
TEST(SaverTest, HotkeysAndAFailedSongCloseItFirst) {
  struct Case {
    int16_t key;
    int view;
    std::string question;
  };
  const Case cases[] = {
      {kKeyEscape, kViewMainMenu, "Exit Jubo Player?\n"},
      {KeyOf('X'), kViewMainMenu, "Shuffle\nPlaylist?"},
      {KeyOf('C'), kViewMainMenu, "Clear Playlist?\n"},
      {KeyOf('V'), kViewSettings, ""},
      {KeyOf('M'), kViewMainMenu, ""},
      {KeyOf('N'), kViewMainMenu, "Could not play\nSong 2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    Harness h;
    UseSaver(h, 5, kVisualization);
    h.player.unplayable = {h.songs[1].filename};
    h.jubo.settings.ActionOnError = 1;
    h.loop.Then([&] { h.AddSongs(2); });
    Script(h, {
                  {.keys = {kKeyDown, KeyOf('A')}, .wait_ms = 1000, .view = kViewSaver},
                  {.keys = {c.key},
                   .wait_ms = 100,
                   .view = c.view,
                   .question = c.question,
                   .check = Covered("")},
              });
    h.program_may_end_first = true;
    h.Run();
  }
}

}  // namespace
}  // namespace screen

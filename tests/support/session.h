// Scenario tests as tables: each step of a session presses its keys, then compares what the
// screen shows with what the step expects.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/harness.h"

namespace jubo_test {

// The keys of a step, then what shows; a field left empty is not checked.
struct Step {
  std::vector<int16_t> keys{};
  int64_t wait_ms = 0;  // after the keys
  int view = -1;        // CurrentView
  std::string title{}, crumbs{}, above{}, below{};
  std::vector<std::string> rows{};        // the page's first rows; the rest of the page is empty
  std::vector<int> icons{};               // IconKind of the page's first rows
  std::string highlighted{};              // the highlighted row's caption
  std::string question{};                 // an open dialog's two lines, "first\nsecond"
  std::vector<std::string> cues{};        // the cues the step sounded
  std::vector<std::string> playlist{};    // the entries' texts
  std::function<void(Harness&)> check{};  // anything else
};

inline std::vector<std::string> Entries(const Harness& h) {
  std::vector<std::string> entries;
  for (int32_t i = 0; i < h.jubo.playlist.SongCount; ++i) {
    entries.push_back(h.jubo.playlist.Playlist[static_cast<size_t>(i)].text());
  }
  return entries;
}

// Queues `steps` on the harness's loop. After each step the highlight also frames the
// highlighted row: narrow on the letter index, elsewhere as wide as when the steps began.
inline void Script(Harness& h, const std::vector<Step>& steps) {
  auto wide = std::make_shared<int>();
  h.loop.Then([&h, wide] {
    *wide = h.jubo.screen.frmMain.shpHighlight.width;
    h.TakeCues();
  });
  for (size_t i = 0; i < steps.size(); ++i) {
    h.loop.Keys(steps[i].keys);
    if (steps[i].wait_ms > 0) h.loop.Wait(steps[i].wait_ms);
    h.loop.Then([&h, wide, s = steps[i], i] {
      SCOPED_TRACE("step " + std::to_string(i + 1));
      const screen::ScreenState& screen = h.jubo.screen;
      const screen::MainForm& f = screen.frmMain;
      const std::vector<std::string> cues = h.TakeCues();
      if (s.view >= 0) {
        EXPECT_EQ(screen.CurrentView, s.view);
      }
      auto shows = [](const std::string& shown, const std::string& expected) {
        if (!expected.empty()) {
          EXPECT_EQ(shown, expected);
        }
      };
      shows(f.lblTitle.caption, s.title);
      shows(f.lblCrumbs.caption, s.crumbs);
      shows(f.lblHelpAbove.caption, s.above);
      shows(f.lblHelpBelow.caption, s.below);
      shows(h.HighlightedRow(), s.highlighted);
      if (!s.rows.empty()) {
        std::vector<std::string> page = s.rows;
        page.resize(static_cast<size_t>(screen.PageSize));
        EXPECT_EQ(h.Rows(), page);
      }
      for (size_t row = 0; row < s.icons.size(); ++row) {
        EXPECT_EQ(screen::IconKind(f.imgIcon[row + 1]), s.icons[row]) << "row " << row + 1;
      }
      if (!s.question.empty()) {
        const auto& form = h.jubo.dialogs.frmConfirm;
        EXPECT_TRUE(h.jubo.dialogs.DialogOpen);
        EXPECT_EQ(form.lblTitle.caption + "\n" + form.lblTitle2.caption, s.question);
      }
      if (!s.cues.empty()) {
        EXPECT_EQ(cues, s.cues);
      }
      if (!s.playlist.empty()) {
        EXPECT_EQ(Entries(h), s.playlist);
      }
      const screen::Frame& highlight = f.shpHighlight;
      EXPECT_EQ(highlight.top, f.lblItem[static_cast<size_t>(screen.CurrentRow)].top);
      if (screen.CurrentView == screen::kViewLetters) {
        EXPECT_LT(highlight.width, *wide / 4);
      } else {
        EXPECT_EQ(highlight.width, *wide);
      }
      if (s.check) s.check(h);
    });
  }
}

}  // namespace jubo_test

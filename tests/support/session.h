// Scenario tests as tables: each step of a session presses its keys, then compares what the
// screen shows with what the step expects.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "screen/view.h"
#include "support/harness.h"

namespace jubo_test {

// The keys of a step, then what shows; a field left empty is not checked.
struct Step {
  std::vector<int16_t> keys{};
  int64_t wait_ms = 0;        // after the keys
  std::optional<int> view{};  // CurrentView
  std::string title{}, crumbs{}, above{}, below{};
  std::vector<std::string> rows{};           // the page's first rows; the rest of the page is empty
  std::vector<int> icons{};                  // IconKind of the page's first rows
  std::string highlighted{};                 // the highlighted row's caption
  std::string question{};                    // an open dialog's two lines, "first\nsecond"
  std::vector<std::string> cues{};           // the cues the step sounded
  std::vector<std::string> playlist{};       // the entries' texts
  std::string state{}, switches{}, track{};  // the status panel's three lines
  std::function<void(Harness&)> check{};     // anything else
};

inline std::vector<std::string> Entries(const Harness& h) {
  std::vector<std::string> entries;
  for (int32_t i = 0; i < h.jubo.playlist.SongCount; ++i) {
    entries.push_back(h.jubo.playlist.Playlist[static_cast<size_t>(i)].text());
  }
  return entries;
}

// Queues `steps` on the harness's loop. After each step the highlight also frames the
// highlighted row: narrow where the view's list asks for it (the letter index), elsewhere as
// wide as when the steps began.
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
      auto shows = [](const char* what, const auto& shown, const auto& expected) {
        if (expected == std::decay_t<decltype(expected)>{}) return;
        EXPECT_EQ(shown, expected) << what;
      };
      std::vector<std::string> page = s.rows;
      if (!page.empty()) page.resize(static_cast<size_t>(screen.PageSize));
      shows("view", std::optional<int>(screen.CurrentView), s.view);
      shows("title", f.lblTitle.caption, s.title);
      shows("crumbs", f.lblCrumbs.caption, s.crumbs);
      shows("above", f.lblHelpAbove.caption, s.above);
      shows("below", f.lblHelpBelow.caption, s.below);
      shows("rows", h.Rows(), page);
      shows("highlighted", h.HighlightedRow(), s.highlighted);
      std::string question;
      for (const std::string& line : h.Dialog().lines) question += line + "\n";
      if (!question.empty()) question.pop_back();
      shows("question", question, s.question);
      shows("cues", h.TakeCues(), s.cues);
      shows("playlist", Entries(h), s.playlist);
      shows("state", f.lblState.caption, s.state);
      shows("switches", f.lblState2.caption, s.switches);
      shows("track", f.lblTrack.caption, s.track);
      for (size_t row = 0; row < s.icons.size(); ++row) {
        EXPECT_EQ(screen::IconKind(f.imgIcon[row + 1]), s.icons[row]) << "row " << row + 1;
      }
      const screen::Frame& highlight = f.shpHighlight;
      const screen::Label& row = f.lblItem[static_cast<size_t>(screen.CurrentRow)];
      EXPECT_LT(std::abs(highlight.top - row.top), row.height / 4)
          << "the highlight is off its row";
      const screen::View* view = screen::FindView(screen.CurrentView);
      const bool narrow = view != nullptr && view->list != nullptr && view->list->narrow_highlight;
      EXPECT_TRUE(narrow ? highlight.width < *wide / 4 : highlight.width == *wide)
          << "the highlight is " << highlight.width << " twips wide";
      if (s.check) s.check(h);
    });
  }
}

}  // namespace jubo_test

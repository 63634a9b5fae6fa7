#include "support/harness.h"

#include <gtest/gtest.h>

#include "app/startup.h"
#include "playback/player_engine.h"

namespace jubo_test {

FixtureLibrary SmallLibrary() {
  FixtureLibrary library;
  library.Album("Blue Hour", "O'Dara", "Jazz", {"Intro", "Night", "Outro"}, "Slow")
      .Album("bee sides", "Zed", "Rock", {"One", "Two"}, "Fast")
      .Album("10 Rivers", "Ana", "Blues", {"Flow"}, "Medium")
      .Album("Élan", "Ana", "Jazz", {"Rise"})
      .Album("Zephyr Road", "Cy", "Rock", {"Wind", "Rain"}, "Fast");
  return library;
}

Harness::Harness(const FixtureLibrary& library, int width, int height)
    : songs(library.songs()), display(width, height) {
  library.WriteTo(dir.path());
  jubo.loop = &loop;
  jubo.display = &display;
  jubo.measure = &measure;
  jubo.waves = &waves;
  jubo.player = &player;
  jubo.random = &random;
  jubo.folder = dir.path().string();
  jubo.asset_folder = dir.path().string();  // no help.txt unless a test writes one
  jubo.cues = {.BeepSound = kBeep, .SelectSound = kSelect, .ErrorSound = kError, .reported = {}};
  loop.EndWhenScriptRunsOut();
}

int Harness::Run() {
  const int status = app::RunJubo(jubo);
  if (!program_may_end_first && !loop.script_done()) {
    ADD_FAILURE() << "the program ended with its script left: " << loop.StepsLeft();
  }
  return status;
}

std::vector<std::string> Harness::Rows() const {
  std::vector<std::string> rows;
  const auto& items = jubo.screen.frmMain.lblItem;
  for (size_t row = 1; row < items.size(); ++row) {
    rows.push_back(items[row].visible ? items[row].caption : "");
  }
  return rows;
}

void Harness::AddSongs(int count) {
  for (size_t i = 0; i < static_cast<size_t>(count) && i < songs.size(); ++i) {
    playback::AppendSong(jubo, songs[i].title + " by " + songs[i].artist, songs[i].filename);
  }
  playback::StartIfIdle(jubo);
}

}  // namespace jubo_test

// The whole program, headless: the real start-up, key dispatch, views and dialogs over a
// fixture library, with fakes for the loop, display, text measurement and sounds. A test
// scripts the loop (keys, waits, checks), runs the program and reads the forms' models.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "app/jubo.h"
#include "dialogs/modal.h"
#include "support/fake_event_loop.h"
#include "support/fakes.h"
#include "support/fixture_library.h"
#include "support/temp_dir.h"

namespace jubo_test {

// Cue files the harness sets, so tests can tell the cues apart.
inline constexpr const char* kBeep = "beep.wav";
inline constexpr const char* kSelect = "select.wav";
inline constexpr const char* kError = "error.wav";

// A library of a few genres, albums and artists, names that exercise the program included.
FixtureLibrary SmallLibrary();

class Harness {
 public:
  explicit Harness(const FixtureLibrary& library = SmallLibrary(), int width = 800,
                   int height = 600);

  // Runs the program over the scripted loop until the program ends or the script runs out;
  // returns the exit status. A program that ends while its script still has steps (a check
  // queued after an unexpected end would never run) fails the test, unless the test set
  // `program_may_end_first`.
  int Run();

  // Captions of rows 1..PageSize as shown ("" for an empty or hidden row).
  std::vector<std::string> Rows() const;
  // The caption of the highlighted row.
  std::string HighlightedRow() const {
    return jubo.screen.frmMain.lblItem[static_cast<size_t>(jubo.screen.CurrentRow)].caption;
  }
  // What the dialog on top shows; an empty form name when none is open.
  dialogs::DialogSummary Dialog() const {
    return jubo.dialogs.open != nullptr ? jubo.dialogs.open->Summary() : dialogs::DialogSummary{};
  }
  // Cues played so far (kBeep, kSelect, kError), and forgetting them.
  std::vector<std::string> TakeCues() { return std::exchange(waves.played, {}); }
  // Appends the library's first `count` songs to the playlist as the views do ("Title by
  // Artist", the file), and starts the first if nothing was chosen to play yet. For a Then
  // step, or a test's own code while the program runs.
  void AddSongs(int count);

  std::vector<FixtureSong> songs;      // the library's songs, in the order they were written
  bool program_may_end_first = false;  // steps left when the program ends are no failure

  TempDir dir;
  FakeEventLoop loop;
  FakeDisplay display;
  FakeTextMeasure measure;
  FakeWavePlayer waves;
  FakeMediaPlayer player{loop};
  FakeRandom random;
  app::Jubo jubo;
};

}  // namespace jubo_test

#include "sound/cues.h"

#include <gtest/gtest.h>

#include "app/jubo.h"
#include "support/fake_event_loop.h"
#include "support/fakes.h"

namespace sound {
namespace {

// Only playing silences cues: paused, stopped and fast-forwarding do not, nor no player at
// all. A cue file that cannot be played is reported once.
TEST(CuesTest, SilentWhilePlayingAndForEmptyNamesAndABrokenFileReportedOnce) {
  jubo_test::FakeWavePlayer waves;
  jubo_test::FakeEventLoop loop;
  jubo_test::FakeMediaPlayer player(loop);
  waves.unplayable = {"broken.wav"};
  app::Jubo jubo;
  jubo.waves = &waves;
  PlayCue(jubo, "beep.wav");
  jubo.player = &player;
  for (int state : {playback::kStopped, playback::kPaused, playback::kPlaying,
                    playback::kFastForward, playback::kReady}) {
    player.state = state;
    PlayCue(jubo, "beep.wav");
  }
  testing::internal::CaptureStderr();
  for (const char* name : {"", "broken.wav", "broken.wav"}) PlayCue(jubo, name);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "jubo: cannot play the sound broken.wav: not a sound file\n");
  EXPECT_EQ(waves.played, std::vector<std::string>(5, "beep.wav"));
}

}  // namespace
}  // namespace sound

#include "demo/synth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "demo/catalogue.h"

namespace demo {
namespace {

TEST(DegreeToSemitonesTest, DegreesBelowTheTonicAndAboveTheOctave) {
  struct Case {
    Mode mode;
    int degree;
    int semitones;
  };
  const Case kCases[] = {
      {Mode::kMajor, 0, 0},    {Mode::kMajor, 4, 7},    {Mode::kMajor, 7, 12},
      {Mode::kMajor, 9, 16},   {Mode::kMajor, -1, -1},  {Mode::kMajor, -3, -5},
      {Mode::kMajor, -7, -12}, {Mode::kMajor, -8, -13}, {Mode::kMinor, 2, 3},
      {Mode::kMinor, -1, -2},  {Mode::kDorian, 5, 9},   {Mode::kDorian, 13, 22},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(synth::DegreeToSemitones(c.mode, c.degree), c.semitones)
        << "mode " << static_cast<int>(c.mode) << " degree " << c.degree;
  }
}

// Every artist's style, over many seeds: the tempo stays in the style's range and the song
// lasts 15 to 30 seconds, also at the slowest and fastest tempos.
TEST(ComposeTuneTest, TempoInRangeAndLengthBetweenFifteenAndThirtySeconds) {
  for (const CatalogueEntry& e : Catalogue()) {
    const Style& style = e.artist->style;
    for (uint32_t seed = 0; seed < 300; ++seed) {
      const Tune tune = ComposeTune(style, seed);
      EXPECT_GE(tune.bpm, style.min_bpm) << e.artist->name << " seed " << seed;
      EXPECT_LE(tune.bpm, style.max_bpm) << e.artist->name << " seed " << seed;
      const double seconds = TuneSeconds(tune);
      EXPECT_TRUE(seconds >= 15 && seconds <= 30)
          << e.artist->name << " seed " << seed << ": " << seconds << " s";
    }
  }
}

TEST(RenderTuneTest, SameTuneSameSamplesNormalizedBelowFullScale) {
  const Tune tune = ComposeTune(Catalogue()[0].artist->style, 42);
  const std::vector<float> samples = RenderTune(tune);
  EXPECT_EQ(samples, RenderTune(tune));
  EXPECT_EQ(samples.size(), static_cast<size_t>(std::lround(TuneSeconds(tune) * kSampleRate)));
  float peak = 0;
  for (float s : samples) peak = std::max(peak, std::abs(s));
  EXPECT_NEAR(peak, 0.9f, 1e-4f);
  EXPECT_EQ(samples.back(), 0.0f);  // faded out: no click at the end
}

}  // namespace
}  // namespace demo

// Composes and renders the demo library's short tunes: a seeded melody in two-bar phrases over
// a four-chord progression, with a bass line, soft chords and light drums. Everything follows
// from the tune's seed, so a tune renders to the same samples on every run and on every thread.
//
// Header-only, like the rest of jubo-demo.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <tuple>
#include <vector>

#include "instruments.h"

namespace demo {

enum class Beat { kNone, kBrushes, kBackbeat, kFourOnFloor };
enum class Mode { kMajor, kMinor, kDorian };

// How an artist sounds: the instrument that plays the melody, the drums, the scale and the
// tempo range its songs are drawn from.
struct Style {
  Lead lead;
  Beat beat;
  Mode mode;
  bool pentatonic = false;  // the melody keeps to the five-note scale
  bool swing = false;       // off-beat eighths come late, as in jazz
  bool chords = false;      // a soft pad holds each bar's chord
  int min_bpm;
  int max_bpm;
  float reverb;  // 0 dry .. 1 a large room
};

// One song's choices, all drawn from `seed` by ComposeTune.
struct Tune {
  Style style;
  uint32_t seed = 0;
  int bpm = 120;
  int tonic = 60;  // MIDI note of the key's tonic, an octave below the melody
  int bars = 8;    // including the closing bar on the tonic
};

namespace synth {

inline constexpr double kTailSeconds = 2.0;  // the last chord's release and the reverb
inline constexpr float kLeadGain = 0.5f;     // the melody a few dB over the accompaniment

// Scale degrees: 0 is the tonic, 7 the octave above; negative degrees go below.
inline int DegreeToSemitones(Mode mode, int degree) {
  static constexpr int kMajor[] = {0, 2, 4, 5, 7, 9, 11};
  static constexpr int kMinor[] = {0, 2, 3, 5, 7, 8, 10};
  static constexpr int kDorian[] = {0, 2, 3, 5, 7, 9, 10};
  const int* steps = mode == Mode::kMajor ? kMajor : mode == Mode::kMinor ? kMinor : kDorian;
  int octave = degree >= 0 ? degree / 7 : -((6 - degree) / 7);
  return 12 * octave + steps[degree - 7 * octave];
}

inline int Mod7(int degree) { return ((degree % 7) + 7) % 7; }

inline bool InPentatonic(Mode mode, int degree) {
  int d = Mod7(degree);
  return mode == Mode::kMajor ? (d != 3 && d != 6) : (d != 1 && d != 5);
}

inline bool IsChordTone(int degree, int chord_root) {
  int d = Mod7(degree - chord_root);
  return d == 0 || d == 2 || d == 4;
}

// Four-chord progressions as scale degrees of the chord roots, one chord a bar.
inline std::span<const int> PickProgression(Mode mode, Rng& rng) {
  static constexpr int kMajor[][4] = {{0, 4, 5, 3}, {0, 3, 4, 0}, {0, 5, 3, 4},
                                      {0, 3, 0, 4}, {0, 5, 1, 4}, {3, 4, 0, 0}};
  static constexpr int kMinor[][4] = {{0, 5, 2, 6}, {0, 3, 4, 0}, {0, 5, 3, 4}, {0, 6, 5, 6}};
  static constexpr int kDorian[][4] = {{0, 3, 0, 3}, {0, 6, 3, 0}, {0, 1, 3, 0}};
  switch (mode) {
    case Mode::kMajor:
      return kMajor[rng.Next() % std::size(kMajor)];
    case Mode::kMinor:
      return kMinor[rng.Next() % std::size(kMinor)];
    case Mode::kDorian:
      break;
  }
  return kDorian[rng.Next() % std::size(kDorian)];
}

// One bar's melody rhythm in eighths. Calm rhythms suit fast songs, busy ones slow songs.
inline std::span<const int> PickRhythm(int bpm, Rng& rng) {
  static constexpr int kCalm[][4] = {{4, 4, 0, 0}, {2, 2, 4, 0}, {6, 2, 0, 0},
                                     {3, 3, 2, 0}, {4, 2, 2, 0}, {2, 6, 0, 0}};
  static constexpr int kBusy[][6] = {{2, 2, 2, 2, 0, 0}, {3, 1, 2, 2, 0, 0}, {2, 1, 1, 2, 2, 0},
                                     {1, 1, 2, 1, 1, 2}, {3, 3, 2, 0, 0, 0}, {2, 2, 1, 1, 2, 0}};
  auto trim = [](std::span<const int> r) { return r.first(std::ranges::find(r, 0) - r.begin()); };
  bool calm = rng.Uniform() < (bpm - 70) / 80.0;
  return calm ? trim(kCalm[rng.Next() % std::size(kCalm)])
              : trim(kBusy[rng.Next() % std::size(kBusy)]);
}

// A melodic step: mostly to a neighbour, sometimes a leap or a repeat.
inline int PickStep(Rng& rng) {
  static constexpr int kSteps[] = {-1, 1, -1, 1, -2, 2, 0, -1, 1, 3, -3, 2};
  return kSteps[rng.Next() % std::size(kSteps)];
}

// A melody note in scale degrees and eighths from the phrase's start.
struct PhraseNote {
  int eighth;
  int eighths;
  int degree;
  float velocity;
};

// Two bars of melody over `chords`. Strong beats land on chord tones; a cadence ends on the
// tonic when the second chord allows it, otherwise on its nearest chord tone.
inline std::vector<PhraseNote> MakePhrase(const Tune& tune, const int (&chords)[2], bool cadence,
                                          Rng& rng) {
  const Mode mode = tune.style.mode;
  const bool pentatonic = tune.style.pentatonic;
  auto allowed = [&](int d) { return d >= -3 && d <= 9 && (!pentatonic || InPentatonic(mode, d)); };
  auto nearest_chord_tone = [&](int d, int chord) {
    int direction = rng.Next() % 2 ? 1 : -1;
    for (int distance = 0; distance < 7; ++distance) {
      for (int candidate : {d + direction * distance, d - direction * distance}) {
        if (IsChordTone(candidate, chord) && candidate >= -3 && candidate <= 9) return candidate;
      }
    }
    return d;
  };

  std::vector<PhraseNote> notes;
  int degree = nearest_chord_tone(rng.Range(1, 5), chords[0]);
  for (int bar = 0; bar < 2; ++bar) {
    int eighth = bar * 8;
    for (int length : PickRhythm(tune.bpm, rng)) {
      bool strong = eighth % 4 == 0;
      int step = PickStep(rng);
      int next = degree + step;
      // Off the scale or out of range: one more degree the same way, else turn back.
      if (!allowed(next)) next += step >= 0 ? 1 : -1;
      if (!allowed(next)) next = degree - step;
      if (!allowed(next)) next = degree;
      if (strong || length >= 4) next = nearest_chord_tone(next, chords[bar]);
      degree = next;
      bool rest = !notes.empty() && !strong && rng.Uniform() < 0.08;
      if (!rest) {
        float velocity = (eighth % 8 == 0 ? 1.0f : 0.8f) + 0.1f * static_cast<float>(rng.Uniform());
        notes.push_back({eighth, length, degree, velocity});
      }
      eighth += length;
    }
  }
  if (cadence && !notes.empty()) {
    PhraseNote& end = notes.back();
    end.degree = IsChordTone(0, chords[1]) ? (end.degree >= 4 ? 7 : 0)
                                           : nearest_chord_tone(end.degree, chords[1]);
  }
  return notes;
}

// Where a tune's eighths fall in time, and which MIDI note a scale degree is.
struct Grid {
  explicit Grid(const Tune& t) : tune(t), beat(60.0 / t.bpm), bar(4 * beat) {}
  const Tune& tune;
  double beat;  // seconds
  double bar;   // seconds
  // Eighth e of a bar, from the bar's start: swing delays the off-beats to a triplet's place.
  double Eighth(int e) const {
    return (e / 2) * beat + (e % 2 ? (tune.style.swing ? 2.0 / 3.0 : 0.5) * beat : 0.0);
  }
  int Pitch(int degree, int octave) const {
    return tune.tonic + 12 * octave + DegreeToSemitones(tune.style.mode, degree);
  }
};

// One bar of bass and pad on the chord whose root is scale degree `root`.
inline void PlayHarmony(std::span<float> out, const Grid& grid, int bar, int root, bool closing) {
  const Style& style = grid.tune.style;
  const double t0 = bar * grid.bar, beat = grid.beat;
  // Chords on the upper degrees sit an octave lower, so the bass stays in one register.
  const int octave = root >= 4 ? -1 : 0;
  const int bass_root = grid.Pitch(root, octave - 1);
  const int bass_fifth = grid.Pitch(root + 4, octave - 1);
  if (closing) {
    PlayBass(out, {t0, grid.bar, bass_root, 1}, 0.32f);
  } else if (style.beat == Beat::kBackbeat) {
    for (auto [at, length, note] : {std::tuple{0.0, 1.4, bass_root},
                                    {1.5, 0.4, bass_root},
                                    {2.0, 0.9, bass_fifth},
                                    {3.0, 0.9, bass_root + 12}}) {
      PlayBass(out, {t0 + at * beat, length * beat, note, 1}, 0.3f);
    }
  } else if (style.beat == Beat::kFourOnFloor) {
    for (int k = 0; k < 4; ++k)
      PlayBass(out, {t0 + (k + 0.5) * beat, 0.4 * beat, bass_root, 1}, 0.3f);
  } else {
    PlayBass(out, {t0, 1.9 * beat, bass_root, 1}, 0.3f);
    PlayBass(out, {t0 + 2 * beat, 1.9 * beat, bass_fifth, 1}, 0.25f);
  }
  if (style.chords || closing) {
    for (int tone : {root, root + 2, root + 4}) {
      PlayPad(out, {t0, grid.bar, grid.Pitch(tone, octave), 1}, 0.05f);
    }
  }
}

// One bar of drums; the closing bar gets a single kick.
inline void PlayBeat(std::span<float> out, const Grid& grid, int bar, bool closing, Rng& noise) {
  const Beat beat = grid.tune.style.beat;
  const double t0 = bar * grid.bar;
  if (closing) {
    if (beat != Beat::kNone) PlayDrum(out, Drum::kKick, t0, 0.5f, noise);
    return;
  }
  for (int e = 0; e < 8; ++e) {
    const double at = t0 + grid.Eighth(e);
    const bool on_beat = e % 2 == 0;
    switch (beat) {
      case Beat::kNone:
        break;
      case Beat::kBrushes:
        if (e == 0) PlayDrum(out, Drum::kKick, at, 0.3f, noise);
        if (on_beat || e == 7) {
          PlayDrum(out, Drum::kHat, at, e == 2 || e == 6 ? 0.1f : 0.06f, noise);
        }
        break;
      case Beat::kBackbeat:
        if (e == 0 || e == 4 || e == 5) PlayDrum(out, Drum::kKick, at, 0.5f, noise);
        if (e == 2 || e == 6) PlayDrum(out, Drum::kSnare, at, 0.3f, noise);
        PlayDrum(out, Drum::kHat, at, on_beat ? 0.1f : 0.06f, noise);
        break;
      case Beat::kFourOnFloor:
        if (on_beat) PlayDrum(out, Drum::kKick, at, 0.45f, noise);
        if (e == 2 || e == 6) PlayDrum(out, Drum::kSnare, at, 0.22f, noise);
        PlayDrum(out, on_beat ? Drum::kHat : Drum::kOpenHat, at, 0.08f, noise);
        break;
    }
  }
}

// The melody in two-bar phrases, form A B A B' C B A B' ..., then the tonic held through the
// closing bar. It starts after a bar of accompaniment when the song is long enough. A phrase
// always returns over the same two chords, because the progression is four bars long.
inline void PlayMelody(std::span<float> out, const Grid& grid, std::span<const int> chords,
                       Rng& rng, Rng& noise) {
  const Tune& tune = grid.tune;
  const int closing_bar = tune.bars - 1;
  const int first_bar = tune.bars >= 9 ? 1 : 0;
  static constexpr int kForm[] = {0, 1, 0, 2, 3, 1, 0, 2};
  std::vector<PhraseNote> phrases[4];  // A, B, B' (a cadence), C; made on first use
  for (int slot = 0; first_bar + 2 * slot < closing_bar; ++slot) {
    const int start_bar = first_bar + 2 * slot;
    const int which = kForm[slot % std::size(kForm)];
    if (phrases[which].empty()) {
      const int pair[2] = {chords[start_bar % 4], chords[(start_bar + 1) % 4]};
      phrases[which] = MakePhrase(tune, pair, which == 2, rng);
    }
    const double t0 = start_bar * grid.bar;
    const int end = (closing_bar - start_bar) * 8;  // a phrase cut short by the closing bar
    for (const PhraseNote& n : phrases[which]) {
      const int last = std::min(n.eighth + n.eighths, end);
      if (n.eighth >= last) continue;
      auto time = [&](int e) { return t0 + (e / 8) * grid.bar + grid.Eighth(e % 8); };
      const double start = time(n.eighth);
      // Slightly detached notes: each ends before the next one starts.
      const double length = (time(last) - start) * 0.92;
      PlayLead(out, tune.style.lead, {start, length, grid.Pitch(n.degree, 1), n.velocity},
               kLeadGain, noise);
    }
  }
  PlayLead(out, tune.style.lead, {closing_bar * grid.bar, grid.bar, grid.Pitch(0, 1), 0.9f},
           kLeadGain, noise);
}

}  // namespace synth

// Picks key, tempo (within the style's range) and a number of bars that makes the tune last
// 15 to 30 seconds, the tail included.
inline Tune ComposeTune(const Style& style, uint32_t seed) {
  Rng rng(seed);
  Tune tune;
  tune.style = style;
  tune.seed = seed;
  tune.bpm = rng.Range(style.min_bpm, style.max_bpm);
  tune.tonic = rng.Range(50, 61);
  const double bar_seconds = 240.0 / tune.bpm;
  const double target = rng.Range(16, 26) - synth::kTailSeconds;
  tune.bars = std::max(3, static_cast<int>(std::lround(target / bar_seconds)));
  while (tune.bars * bar_seconds + synth::kTailSeconds > 29.5) --tune.bars;
  while (tune.bars * bar_seconds + synth::kTailSeconds < 15.5) ++tune.bars;
  return tune;
}

// Length of the rendered tune, the tail included.
inline double TuneSeconds(const Tune& tune) {
  return tune.bars * 240.0 / tune.bpm + synth::kTailSeconds;
}

// Mono samples at kSampleRate, peak-normalized to 0.9 of full scale.
inline std::vector<float> RenderTune(const Tune& tune) {
  using namespace synth;
  Rng rng(tune.seed ^ 0x5EED5EEDu);
  Rng noise(tune.seed * 2654435761u);
  std::vector<float> samples(SecondsToSample(TuneSeconds(tune)));
  const Grid grid(tune);
  // The closing bar resolves to the tonic chord whatever the progression.
  const std::span<const int> chords = PickProgression(tune.style.mode, rng);
  for (int bar = 0; bar < tune.bars; ++bar) {
    const bool closing = bar == tune.bars - 1;
    PlayHarmony(samples, grid, bar, closing ? 0 : chords[bar % 4], closing);
    PlayBeat(samples, grid, bar, closing, noise);
  }
  PlayMelody(samples, grid, chords, rng, noise);
  AddReverb(samples, tune.style.reverb);

  float peak = 0;
  for (float s : samples) peak = std::max(peak, std::abs(s));
  const float scale = peak > 0 ? 0.9f / peak : 0.0f;
  const float fade = SecondsToSample(0.05);  // against a click at the very end
  for (size_t i = 0; i < samples.size(); ++i) {
    samples[i] *= scale * std::min(1.0f, (samples.size() - 1 - i) / fade);
  }
  return samples;
}

}  // namespace demo

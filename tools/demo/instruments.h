// The demo songs' instruments: melody voices, bass, pad and drums mixed note by note into a
// mono buffer at kSampleRate, and a small room reverb. Each voice is one or two wavetable
// lookups a sample under an envelope, so a whole demo renders in a second or two.
//
// Header-only, like the rest of jubo-demo.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <numbers>
#include <span>
#include <vector>

namespace demo {

inline constexpr int kSampleRate = 22050;

enum class Lead { kFlute, kPiano, kBell, kPluck, kChip, kOrgan };
enum class Drum { kKick, kSnare, kHat, kOpenHat };

// A note of any part: start and length in seconds.
struct Note {
  double start;
  double length;
  int pitch;  // MIDI note number
  float velocity;
};

// splitmix64: small, fast and the same everywhere, so songs render alike on every machine.
class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}
  uint32_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<uint32_t>((z ^ (z >> 31)) >> 32);
  }
  double Uniform() { return Next() / 4294967296.0; }                 // [0, 1)
  int Range(int lo, int hi) { return lo + Next() % (hi - lo + 1); }  // [lo, hi]
  float Noise() { return static_cast<float>(Uniform() * 2.0 - 1.0); }

 private:
  uint64_t state_;
};

// One cycle of a waveform made of harmonics with the given amplitudes, as a lookup table.
class Wave {
 public:
  Wave(std::initializer_list<double> harmonics) {
    for (int i = 0; i <= kSize; ++i) {
      double v = 0;
      int h = 1;
      for (double amplitude : harmonics) {
        v += amplitude * std::sin(2 * std::numbers::pi * h++ * i / kSize);
      }
      table_[i] = static_cast<float>(v);
    }
  }
  // The waveform at `phase` cycles (any real number).
  float operator()(double phase) const {
    const double x = (phase - std::floor(phase)) * kSize;
    const int i = static_cast<int>(x);
    const float* t = table_.data();  // no operator[] call per sample in debug builds
    return t[i] + (t[i + 1] - t[i]) * static_cast<float>(x - i);
  }

 private:
  static constexpr int kSize = 2048;
  std::array<float, kSize + 1> table_;
};

namespace wave {
inline const Wave kSine{1};
inline const Wave kFlute{1, 0.25, 0.08};
inline const Wave kOrgan{1, 0.5, 0.3, 0.2};
inline const Wave kSquare{1, 0, 1 / 3.0, 0, 1 / 5.0, 0, 1 / 7.0};  // band-limited for 22 kHz
inline const Wave kString{1, 1 / 2.0, 1 / 3.0, 1 / 4.0, 1 / 5.0, 1 / 6.0};
inline const Wave kBass{1, 0.35, 0.1};
inline const Wave kPad{1, 0.3};
}  // namespace wave

// An exponential decay stepped once a sample; exp() per sample would dominate the render.
class Decay {
 public:
  explicit Decay(double per_second) : step_(std::exp(-per_second / kSampleRate)) {}
  double Next() { return value_ *= step_; }

 private:
  double step_;
  double value_ = 1.0 / step_;  // the first Next() gives 1
};

inline double MidiHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

inline int SecondsToSample(double s) { return static_cast<int>(std::lround(s * kSampleRate)); }

// Mixes one melody note into `out`. The piano and the bell are two-operator FM; the pluck
// fades from a bright string to a pure tone as it dies away.
inline void PlayLead(std::span<float> out, Lead lead, const Note& n, float gain, Rng& noise) {
  const double hz = MidiHz(n.pitch);
  double release = 0.12, attack = 0.005;
  double rate1 = 0, rate2 = 0;  // per second, of the two decays an instrument may use
  switch (lead) {
    case Lead::kFlute:
      attack = 0.06;
      break;
    case Lead::kOrgan:
      attack = 0.02;
      break;
    case Lead::kPiano:
      release = 0.35, rate1 = 1 / 0.25, rate2 = 1 / 1.1;
      break;
    case Lead::kBell:
      release = 0.9, rate1 = 1 / 0.4, rate2 = 1 / 0.9;
      break;
    case Lead::kPluck:
      release = 0.9, rate1 = 1 / 0.15, rate2 = 1 / 0.8;
      break;
    case Lead::kChip:
      rate1 = 1 / 0.08;
      break;
  }
  Decay decay1(rate1), decay2(rate2);
  const int first = SecondsToSample(n.start);
  const int last = std::min<int>(out.size(), SecondsToSample(n.start + n.length + release));
  float* o = out.data();
  for (int i = first; i < last; ++i) {
    const double t = static_cast<double>(i - first) / kSampleRate;
    const double p = hz * t;
    const double d1 = decay1.Next(), d2 = decay2.Next();
    double v = 0;
    switch (lead) {
      case Lead::kFlute: {
        const double vibrato = t > 0.15 ? 0.004 * wave::kSine(5.2 * t) : 0.0;
        v = wave::kFlute(p * (1 + vibrato)) + 0.03 * noise.Noise();
        break;
      }
      case Lead::kPiano: {
        const double index = 1.6 * d1 + 0.25;
        v = wave::kSine(p + index * wave::kSine(p) / (2 * std::numbers::pi)) * d2;
        break;
      }
      case Lead::kBell:
        v = wave::kSine(p + 2.4 * d1 * wave::kSine(3.5 * p) / (2 * std::numbers::pi)) * d2;
        break;
      case Lead::kPluck:
        v = (wave::kString(p) * d1 + wave::kSine(p) * (1 - d1)) * d2;
        break;
      case Lead::kChip:
        v = wave::kSquare(p) * (0.55 + 0.45 * d1);
        break;
      case Lead::kOrgan:
        v = wave::kOrgan(p) * (1 + 0.08 * wave::kSine(6 * t)) * 0.6;
        break;
    }
    double envelope = t < attack ? t / attack : 1.0;
    // Released notes fade out linearly.
    if (t > n.length) envelope *= std::max(0.0, 1.0 - (t - n.length) / release);
    o[i] += static_cast<float>(v * envelope * gain * n.velocity);
  }
}

// A round bass note, plucked then held.
inline void PlayBass(std::span<float> out, const Note& n, float gain) {
  const double hz = MidiHz(n.pitch);
  constexpr double kRelease = 0.06;
  const int first = SecondsToSample(n.start);
  const int last = std::min<int>(out.size(), SecondsToSample(n.start + n.length + kRelease));
  Decay pluck(1 / 0.25);
  float* o = out.data();
  for (int i = first; i < last; ++i) {
    const double t = static_cast<double>(i - first) / kSampleRate;
    double envelope = (t < 0.008 ? t / 0.008 : 1.0) * (0.55 + 0.45 * pluck.Next());
    if (t > n.length) envelope *= std::max(0.0, 1.0 - (t - n.length) / kRelease);
    o[i] += static_cast<float>(wave::kBass(hz * t) * envelope * gain);
  }
}

// A chord tone of the pad: two slightly detuned voices swelling in and out.
inline void PlayPad(std::span<float> out, const Note& n, float gain) {
  const double hz = MidiHz(n.pitch);
  constexpr double kSwell = 0.25;
  const int first = SecondsToSample(n.start);
  const int last = std::min<int>(out.size(), SecondsToSample(n.start + n.length + kSwell));
  float* o = out.data();
  for (int i = first; i < last; ++i) {
    const double t = static_cast<double>(i - first) / kSampleRate;
    double envelope = std::min(1.0, t / kSwell);
    if (t > n.length) envelope *= std::max(0.0, 1.0 - (t - n.length) / kSwell);
    const double v = wave::kPad(hz * 1.003 * t) + wave::kPad(hz * 0.997 * t);
    o[i] += static_cast<float>(v * envelope * gain);
  }
}

inline void PlayDrum(std::span<float> out, Drum drum, double start, float gain, Rng& noise) {
  const int first = SecondsToSample(start);
  const double length = drum == Drum::kKick ? 0.35 : drum == Drum::kSnare ? 0.25 : 0.15;
  const int last = std::min<int>(out.size(), SecondsToSample(start + length));
  Decay kick(1 / 0.18), drop(1 / 0.04), rattle(1 / 0.07), tone(1 / 0.05),
      hiss(drum == Drum::kHat ? 1 / 0.02 : 1 / 0.07);
  double phase = 0;
  float previous = 0;
  float* o = out.data();
  for (int i = first; i < last; ++i) {
    const double t = static_cast<double>(i - first) / kSampleRate;
    double v = 0;
    if (drum == Drum::kKick) {
      phase += (45 + 90 * drop.Next()) / kSampleRate;  // the pitch drops: a thump
      v = wave::kSine(phase) * kick.Next();
    } else {
      // Differenced noise is brighter: hats keep only that, the snare adds a body tone.
      const float white = noise.Noise();
      const float bright = white - previous;
      previous = white;
      if (drum == Drum::kSnare) {
        v = (0.6 * white + 0.4 * bright) * rattle.Next() + 0.5 * wave::kSine(185 * t) * tone.Next();
      } else {
        v = bright * hiss.Next();
      }
    }
    o[i] += static_cast<float>(v) * gain;
  }
}

// Freeverb's layout (four damped combs into two all-passes), delays halved for 22 kHz.
// `amount` 0 leaves the samples dry, 1 is a large room.
inline void AddReverb(std::vector<float>& samples, float amount) {
  if (amount <= 0) return;
  constexpr int kLengths[] = {558, 594, 639, 678, 278, 220};  // combs, then all-passes
  constexpr int kCombs = 4, kLines = 6;
  std::vector<float> memory(558 + 594 + 639 + 678 + 278 + 220);
  float* line[kLines];
  int at[kLines] = {};
  float low[kCombs] = {};  // the combs' damping filters
  for (int k = 0, offset = 0; k < kLines; offset += kLengths[k++]) line[k] = &memory[offset];
  const float feedback = 0.72f + 0.12f * amount;
  const float wet = 0.35f * amount;
  float* s = samples.data();
  for (size_t i = 0, n = samples.size(); i < n; ++i) {
    const float in = s[i] * 0.25f;
    float sum = 0;
    for (int k = 0; k < kLines; ++k) {
      const float delayed = line[k][at[k]];
      if (k < kCombs) {
        low[k] = delayed * 0.6f + low[k] * 0.4f;
        line[k][at[k]] = in + low[k] * feedback;
        sum += delayed;
      } else {
        line[k][at[k]] = sum + delayed * 0.5f;
        sum = delayed - sum;
      }
      if (++at[k] == kLengths[k]) at[k] = 0;
    }
    s[i] += sum * wet;
  }
}

}  // namespace demo

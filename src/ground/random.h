// The program's one source of random draws (shuffles, Jubo DJ, Non-Stop Music). Randomize
// reseeds it from the clock wherever a fresh sequence is wanted; Rnd gives the next number.
// DrawNext is the one way anything is drawn without replacement.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <random>
#include <span>
#include <utility>

namespace ground {

class Random {
 public:
  virtual ~Random() = default;
  // Reseeds from the clock.
  virtual void Randomize() = 0;
  // Uniform in [0, 1).
  virtual double Rnd() = 0;
};

// The real one: a Mersenne twister, seeded from the system clock at construction and by
// every Randomize.
class ClockRandom final : public Random {
 public:
  ClockRandom() { Randomize(); }
  void Randomize() override {
    generator_.seed(static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch() /
                                          std::chrono::nanoseconds(1)));
  }
  double Rnd() override { return std::uniform_real_distribution<double>(0.0, 1.0)(generator_); }

 private:
  std::mt19937_64 generator_;
};

// Drawing without replacement in constant time, whatever the number of items: items[0, drawn)
// have been drawn; one of the rest, picked uniformly with one Rnd, is swapped into
// items[drawn], where it stays drawn, and returned. Drawing items 0, 1, ... size - 1 in turn
// shuffles them (forward Fisher-Yates). `drawn` must be below items.size().
template <typename T>
T& DrawNext(Random& random, std::span<T> items, size_t drawn) {
  const size_t left = items.size() - drawn;
  const auto offset = static_cast<size_t>(random.Rnd() * static_cast<double>(left));
  std::swap(items[drawn], items[drawn + std::min(offset, left - 1)]);
  return items[drawn];
}

}  // namespace ground

// The program's one source of random draws (shuffles, Jubo DJ, Non-Stop Music). Randomize
// reseeds it from the clock wherever a fresh sequence is wanted; Rnd gives the next number.
#pragma once

#include <chrono>
#include <cstdint>
#include <random>

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

}  // namespace ground

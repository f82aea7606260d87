#pragma once

#include "foundation/RandomEngine.h"

#include <cstdint>

// The combined generator "Ran" of Numerical Recipes (third edition): a 64-bit linear congruential
// step, a xorshift and a multiply-with-carry, combined. The state step runs in one critical section
// shared by all engines, so OpenMP threads may draw from one engine.
class RecommendedRandomEngine : public RandomEngine {
public:
  explicit RecommendedRandomEngine(long seed = 0) { init(seed); }

  void init(long seed) override; // a seed below 1 is replaced by the current time in seconds
  long uniformL() override;      // negative results are folded modulo 2^63 - 1
  double uniformLF() override;   // the 64-bit result times 2^-64

private:
  std::uint64_t next(); // one state step and its output

  std::uint64_t _u = 0;
  std::uint64_t _v = 0;
  std::uint64_t _w = 0;
};

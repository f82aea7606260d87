#pragma once

// Source of uniform pseudo-random numbers behind a RandomGenerator; engines are replaceable.
class RandomEngine {
public:
  virtual ~RandomEngine() = default;
  virtual void init(long seed) = 0;
  virtual long uniformL() = 0;    // a non-negative 64-bit integer
  virtual double uniformLF() = 0; // in [0, 1)
};

#pragma once

#include "foundation/Vector.h"

class RandomEngine;

// Pseudo-random numbers of several distributions drawn from a replaceable engine. A new generator
// owns a RecommendedRandomEngine seeded from the clock.
class RandomGenerator {
public:
  RandomGenerator();
  ~RandomGenerator();
  RandomGenerator(const RandomGenerator&) = delete;
  RandomGenerator& operator=(const RandomGenerator&) = delete;

  void init(long seed);                       // re-seeds the engine (below 1: from the clock)
  void setRandomEngine(RandomEngine* engine); // deletes the current engine, owns the new one

  long uniformL();                      // the engine's non-negative integer
  long uniformL(long n);                // in [0, n)
  long uniformL(long a, long b);        // in [a, b]
  double uniformLF();                   // in [0, 1)
  double uniformLF(double x);           // in [0, x)
  double uniformLF(double a, double b); // in [a, b)

  // Normal deviates by the polar method; every second call returns the value cached by the first.
  double gaussian();
  double gaussian(double sigma);
  double gaussian(double mean, double sigma);

  bool bernoulli(float p); // true with probability p
  long poisson(float lambda);
  long draw(const Vector<int>& weights); // an index with probability proportional to its weight

private:
  bool _hasCachedGaussian = false;
  double _cachedGaussian = 0;
  RandomEngine* _engine = nullptr;
};

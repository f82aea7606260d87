#include "foundation/RandomGenerator.h"

#include "foundation/RecommendedRandomEngine.h"

#include <cmath>

RandomGenerator::RandomGenerator() : _engine(new RecommendedRandomEngine(0)) {}

RandomGenerator::~RandomGenerator() {
  delete _engine;
}

void RandomGenerator::init(long seed) {
  _engine->init(seed);
  _hasCachedGaussian = false;
}

void RandomGenerator::setRandomEngine(RandomEngine* engine) {
  if (engine == _engine) return;
  delete _engine;
  _engine = engine;
  _hasCachedGaussian = false;
}

long RandomGenerator::uniformL() {
  return _engine->uniformL();
}

long RandomGenerator::uniformL(long n) {
  return static_cast<long>(static_cast<double>(n) * uniformLF());
}

long RandomGenerator::uniformL(long a, long b) {
  return static_cast<long>(static_cast<double>(b - a + 1) * uniformLF()) + a;
}

double RandomGenerator::uniformLF() {
  return _engine->uniformLF();
}

double RandomGenerator::uniformLF(double x) {
  return x * uniformLF();
}

double RandomGenerator::uniformLF(double a, double b) {
  return a + (b - a) * uniformLF();
}

double RandomGenerator::gaussian() {
  if (_hasCachedGaussian) {
    _hasCachedGaussian = false;
    return _cachedGaussian;
  }
  double x, y, r;
  do {
    x = 2.0 * uniformLF() - 1.0;
    y = 2.0 * uniformLF() - 1.0;
    r = x * x + y * y;
  } while (r >= 1.0 || r == 0.0);
  const double f = std::sqrt(-2.0 * std::log(r) / r);
  _cachedGaussian = x * f;
  _hasCachedGaussian = true;
  return y * f;
}

double RandomGenerator::gaussian(double sigma) {
  return gaussian() * sigma;
}

double RandomGenerator::gaussian(double mean, double sigma) {
  return gaussian() * sigma + mean;
}

bool RandomGenerator::bernoulli(float p) {
  return static_cast<double>(p) >= uniformLF();
}

long RandomGenerator::poisson(float lambda) {
  const double limit = std::exp(-static_cast<double>(lambda));
  double product = uniformLF();
  long count = 0;
  while (product > limit) {
    product *= uniformLF();
    ++count;
  }
  return count;
}

long RandomGenerator::draw(const Vector<int>& weights) {
  const int n = weights.getSize();
  long sum = 0;
  for (int i = 0; i < n; ++i) sum += weights[i];
  if (sum < 1) return static_cast<long>(static_cast<double>(n) * uniformLF());
  long t = static_cast<long>(static_cast<double>(sum) * uniformLF()) + 1 - weights[0];
  int index = 0;
  while (t >= 1 && index + 1 < n) t -= weights[++index];
  return index;
}

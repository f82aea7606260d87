#include "foundation/RecommendedRandomEngine.h"

#include <ctime>

void RecommendedRandomEngine::init(long seed) {
  if (seed < 1) seed = static_cast<long>(std::time(nullptr));
  _v = 4101842887655102017ULL;
  _w = 1;
  _u = static_cast<std::uint64_t>(seed) ^ _v;
  next();
  _v = _u;
  next();
  _w = _v;
  next();
}

std::uint64_t RecommendedRandomEngine::next() {
  std::uint64_t u, v, w;
#pragma omp critical(RandomEngineStep)
  {
    _u = _u * 2862933555777941757ULL + 7046029254386353087ULL;
    _v ^= _v >> 17;
    _v ^= _v << 31;
    _v ^= _v >> 8;
    _w = 4294957665ULL * (_w & 0xffffffffULL) + (_w >> 32);
    u = _u;
    v = _v;
    w = _w;
  }
  std::uint64_t x = u ^ (u << 21);
  x ^= x >> 35;
  x ^= x << 4;
  return (x + v) ^ w;
}

long RecommendedRandomEngine::uniformL() {
  const std::uint64_t result = next();
  if (static_cast<std::int64_t>(result) < 0) return static_cast<long>(result % 9223372036854775807ULL);
  return static_cast<long>(result);
}

double RecommendedRandomEngine::uniformLF() {
  return static_cast<double>(next()) * 5.421010862427522e-20;
}

#pragma once

#include "foundation/RandomGenerator.h"
#include "foundation/Vector.h"
#include "viewer/ViewerMotion.h"

// Drifts all three angles at once by plus or minus the angle per tick; each axis reverses its
// direction at random, on average once every 1000 ticks. Angles stay within [-180, 180].
class ViewerRandomMotion : public ViewerMotion {
  Q_OBJECT

public:
  ViewerRandomMotion();

  RandomGenerator& getRandomGenerator() { return _random; } // to replace the engine or re-seed it

public slots:
  void step() override;

private:
  RandomGenerator _random; // seeded from the clock
  Vector<int> _direction;  // each +1 or -1, all +1 at first
};

// Attribute sets: equality, which the selection and the editor rely on, and the checked getters.
#include "rendering/ShapePainterAttributesGL.h"

#include "foundation/Exception.h"
#include "tests/rendering/PainterTestShapes.h"
#include "tests/support/ExpectException.h"

#include <gtest/gtest.h>

namespace {

ShapePainterAttributesGL allDefined() {
  ShapePainterAttributesGL attributes;
  attributes.setColor(rgb(10, 20, 30));
  attributes.setVerticesSmoothing(2);
  attributes.setNormalsSmoothing(3);
  attributes.setBeginCapFlag(true);
  attributes.setEndCapFlag(false);
  return attributes;
}

ShapePainterAttributesGL undefinedEverywhere() {
  ShapePainterAttributesGL attributes;
  attributes.clear();
  return attributes;
}

} // namespace

TEST(ShapePainterAttributes, EqualityNeedsAllTwelveDefinedAndEqual) {
  const ShapePainterAttributesGL fresh;
  EXPECT_FALSE(fresh == fresh);
  EXPECT_TRUE(fresh != ShapePainterAttributesGL(fresh));
  EXPECT_TRUE(allDefined() == allDefined());
  ShapePainterAttributesGL other = allDefined();
  other.setEndCapFlag(true);
  EXPECT_TRUE(allDefined() != other);
}

TEST(ShapePainterAttributes, CheckedGettersReportTheUndefinedAttribute) {
  const ShapePainterAttributesGL empty = undefinedEverywhere();
  expectEach<ProgramError>(
      {[&] { empty.getVisibility(); }, [&] { empty.getBeginCapFlag(); }, [&] { empty.getEndCapFlag(); }});
}

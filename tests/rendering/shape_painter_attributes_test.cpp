// Attribute sets: defaults, the algebra the selection and the editor rely on, and the checked getters.
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

int numDefined(const ShapePainterAttributesGL& a) {
  return a.useColor() + a.useDisplayMode() + a.useLineWidth() + a.useTransparency() + a.useShininess() +
         a.useVerticesSmoothing() + a.useNormalsSmoothing() + a.useSymbolSize() + a.useVertexSymbol() +
         a.useVisibility() + a.hasBeginCapFlag() + a.hasEndCapFlag();
}

} // namespace

TEST(ShapePainterAttributes, CopiesKeepExactlyTheSourceAttributesAndOwnTheirColour) {
  ShapePainterAttributesGL source = undefinedEverywhere();
  source.setLineWidth(3.0f);
  Vector<int> red = rgb(255, 0, 0);
  source.setColor(red);
  red[0] = 1;
  const ShapePainterAttributesGL copy(source);
  ShapePainterAttributesGL assigned = allDefined();
  assigned = source;
  source.setColor(rgb(0, 0, 9));
  for (const ShapePainterAttributesGL* target :
       {&copy, static_cast<const ShapePainterAttributesGL*>(&assigned)}) {
    EXPECT_EQ(numDefined(*target), 2);
    EXPECT_EQ(target->getLineWidth(), 3.0f);
    EXPECT_EQ(target->getColor()[0], 255);
  }
}

TEST(ShapePainterAttributes, UpdateCopiesOnlyWhatTheOtherDefines) {
  ShapePainterAttributesGL painter = allDefined();
  const ShapePainterAttributesGL before = painter;
  painter.update(undefinedEverywhere());
  EXPECT_TRUE(painter == before);

  ShapePainterAttributesGL edit = undefinedEverywhere();
  edit.setColor(rgb(1, 2, 3));
  edit.setVisibility(false);
  painter.update(edit);
  EXPECT_EQ(painter.getColor()[1], 2);
  EXPECT_FALSE(painter.getVisibility());
  EXPECT_EQ(painter.getVerticesSmoothing(), 2);

  ShapePainterAttributesGL empty = undefinedEverywhere();
  empty.update(allDefined());
  EXPECT_EQ(numDefined(empty), 12);
}

TEST(ShapePainterAttributes, IntersectionKeepsOnlyCommonValuesSymmetrically) {
  const ShapePainterAttributesGL fresh = ShapePainterAttributesGL().intersection(ShapePainterAttributesGL());
  EXPECT_EQ(numDefined(fresh), 7);
  EXPECT_FALSE(fresh.useColor());

  ShapePainterAttributesGL b = allDefined();
  b.setColor(rgb(10, 20, 31));
  b.setLineWidth(2.0f);
  const ShapePainterAttributesGL common = allDefined().intersection(b);
  EXPECT_FALSE(common.useColor());
  EXPECT_FALSE(common.useLineWidth()); // a differing default is dropped, not restored
  EXPECT_EQ(numDefined(common), 10);
  EXPECT_EQ(numDefined(allDefined().intersection(undefinedEverywhere())), 0);

  ShapePainterAttributesGL c;
  c.setColor(rgb(10, 20, 30));
  c.setShininess(1.0f);
  EXPECT_EQ(numDefined(allDefined().intersection(c)), numDefined(c.intersection(allDefined())));
  EXPECT_TRUE(c.intersection(allDefined()).useColor());
  Vector<int> longer(4);
  for (int i = 0; i < 4; ++i) longer[i] = 10 * (i + 1) % 40; // 10, 20, 30, 0
  c.setColor(longer);
  EXPECT_FALSE(c.intersection(allDefined()).useColor()); // colours of different length differ
}

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

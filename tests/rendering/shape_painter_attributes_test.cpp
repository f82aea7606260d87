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

// Notes the calls that assignment makes, to show that it goes through the overridable operations.
class LoggingAttributes : public ShapePainterAttributesGL {
public:
  using ShapePainterAttributesGL::operator=;
  void clear() override {
    log += "clear ";
    ShapePainterAttributesGL::clear();
  }
  void update(const ShapePainterAttributesGL& other) override {
    log += "update ";
    ShapePainterAttributesGL::update(other);
  }
  std::string log;
};

} // namespace

TEST(ShapePainterAttributes, DefineSevenAttributesWithThePainterDefaults) {
  const ShapePainterAttributesGL attributes;
  EXPECT_EQ(numDefined(attributes), 7);
  EXPECT_EQ(attributes.getDisplayMode(), DISPLAY_MODE_NONE);
  EXPECT_EQ(attributes.getLineWidth(), 1.0f);
  EXPECT_EQ(attributes.getTransparency(), 255.0f);
  EXPECT_EQ(attributes.getShininess(), 32.0f);
  EXPECT_EQ(attributes.getSymbolSize(), 10.0f);
  EXPECT_EQ(attributes.getVertexSymbol(), VERTEX_SYMBOL_DOT);
  EXPECT_TRUE(attributes.getVisibility());
}

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

TEST(ShapePainterAttributes, AssignmentClearsThenUpdatesThroughTheOverridableOperations) {
  LoggingAttributes target;
  static_cast<ShapePainterAttributesGL&>(target) = allDefined();
  EXPECT_EQ(target.log, "clear update ");
  EXPECT_EQ(numDefined(target), 12);
  target.log.clear();
  ShapePainterAttributesGL& self = target;
  self = target; // self-assignment does nothing and keeps everything
  EXPECT_EQ(target.log, "");
  EXPECT_EQ(numDefined(target), 12);
  EXPECT_EQ(target.getColor()[2], 30);
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
  expectException<ProgramError>([&] { empty.getVisibility(); },
                                "bool ShapePainterAttributesGL::getVisibility() const",
                                "Visibility: undefined attribute");
  expectException<ProgramError>([&] { empty.getBeginCapFlag(); },
                                "bool ShapePainterAttributesGL::getBeginCapFlag() const",
                                "Begin cap flag: undefined attribute");
  expectException<ProgramError>([&] { empty.getEndCapFlag(); },
                                "bool ShapePainterAttributesGL::getEndCapFlag() const",
                                "End cap flag: undefined attribute");
}

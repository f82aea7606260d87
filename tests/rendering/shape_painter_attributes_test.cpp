// Attribute sets: defaults, the algebra the selection and the editor rely on, and the checked getters.
#include "rendering/ShapePainterAttributesGL.h"

#include "foundation/Exception.h"

#include <gtest/gtest.h>

namespace {

Vector<int> color(std::initializer_list<int> components) {
  Vector<int> result(static_cast<int>(components.size()));
  int i = 0;
  for (int c : components) result[i++] = c;
  return result;
}

ShapePainterAttributesGL allDefined() {
  ShapePainterAttributesGL attributes;
  attributes.setColor(color({10, 20, 30}));
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

TEST(ShapePainterAttributesDefaults, DefineSevenAttributesWithThePainterDefaults) {
  const ShapePainterAttributesGL attributes;
  EXPECT_EQ(numDefined(attributes), 7);
  EXPECT_EQ(attributes.getDisplayMode(), DISPLAY_MODE_NONE);
  EXPECT_EQ(attributes.getLineWidth(), 1.0f);
  EXPECT_EQ(attributes.getTransparency(), 255.0f);
  EXPECT_EQ(attributes.getShininess(), 32.0f);
  EXPECT_EQ(attributes.getSymbolSize(), 10.0f);
  EXPECT_EQ(attributes.getVertexSymbol(), VERTEX_SYMBOL_DOT);
  EXPECT_TRUE(attributes.getVisibility());
  EXPECT_FALSE(attributes.useColor() || attributes.useVerticesSmoothing() ||
               attributes.useNormalsSmoothing() || attributes.hasBeginCapFlag() ||
               attributes.hasEndCapFlag());
}

TEST(ShapePainterAttributesCopy, KeepsUndefinedAttributesUndefined) {
  ShapePainterAttributesGL source = undefinedEverywhere();
  source.setLineWidth(3.0f);
  const ShapePainterAttributesGL copy(source);
  EXPECT_EQ(numDefined(copy), 1);
  EXPECT_EQ(copy.getLineWidth(), 3.0f);
}

TEST(ShapePainterAttributesCopy, AssignmentLeavesExactlyTheSourceAttributesDefined) {
  ShapePainterAttributesGL target = allDefined();
  ShapePainterAttributesGL source = undefinedEverywhere();
  source.setShininess(5.0f);
  target = source;
  EXPECT_EQ(numDefined(target), 1);
  EXPECT_EQ(target.getShininess(), 5.0f);

  target = undefinedEverywhere();
  EXPECT_EQ(numDefined(target), 0);
}

TEST(ShapePainterAttributesCopy, AssignmentClearsThenUpdatesThroughTheOverridableOperations) {
  LoggingAttributes target;
  const ShapePainterAttributesGL source = allDefined();
  static_cast<ShapePainterAttributesGL&>(target) = source;
  EXPECT_EQ(target.log, "clear update ");
  EXPECT_EQ(numDefined(target), 12);
  target.log.clear();
  ShapePainterAttributesGL& self = target;
  self = target; // self-assignment does nothing
  EXPECT_EQ(target.log, "");
}

TEST(ShapePainterAttributesCopy, SelfAssignmentKeepsEverything) {
  ShapePainterAttributesGL attributes = allDefined();
  ShapePainterAttributesGL& alias = attributes;
  attributes = alias;
  EXPECT_EQ(numDefined(attributes), 12);
  EXPECT_EQ(attributes.getColor()[2], 30);
}

TEST(ShapePainterAttributesCopy, ColourIsCopiedNotShared) {
  Vector<int> red = color({255, 0, 0});
  ShapePainterAttributesGL attributes;
  attributes.setColor(red);
  red[0] = 1;
  const ShapePainterAttributesGL copy(attributes);
  attributes.setColor(color({0, 0, 9}));
  EXPECT_EQ(copy.getColor()[0], 255);
}

TEST(ShapePainterAttributesUpdate, CopiesOnlyWhatTheOtherDefines) {
  ShapePainterAttributesGL painter = allDefined();
  ShapePainterAttributesGL edit = undefinedEverywhere();
  edit.setColor(color({1, 2, 3}));
  edit.setVisibility(false);
  painter.update(edit);
  EXPECT_EQ(painter.getColor()[1], 2);
  EXPECT_FALSE(painter.getVisibility());
  EXPECT_EQ(painter.getVerticesSmoothing(), 2);
  EXPECT_EQ(painter.getLineWidth(), 1.0f);
}

TEST(ShapePainterAttributesUpdate, WithAnEmptySetChangesNothing) {
  ShapePainterAttributesGL painter = allDefined();
  const ShapePainterAttributesGL before = painter;
  painter.update(undefinedEverywhere());
  EXPECT_TRUE(painter == before);
}

TEST(ShapePainterAttributesUpdate, DefinesAttributesUndefinedHere) {
  ShapePainterAttributesGL painter = undefinedEverywhere();
  painter.update(allDefined());
  EXPECT_EQ(numDefined(painter), 12);
}

TEST(ShapePainterAttributesIntersection, OfTwoFreshSetsKeepsTheSevenDefaults) {
  const ShapePainterAttributesGL common = ShapePainterAttributesGL().intersection(ShapePainterAttributesGL());
  EXPECT_EQ(numDefined(common), 7);
  EXPECT_FALSE(common.useColor());
  EXPECT_FALSE(common.hasEndCapFlag());
  EXPECT_EQ(common.getSymbolSize(), 10.0f);
}

TEST(ShapePainterAttributesIntersection, DropsDifferingValuesAndDoesNotRestoreDefaults) {
  ShapePainterAttributesGL a = allDefined();
  ShapePainterAttributesGL b = allDefined();
  b.setColor(color({10, 20, 31}));
  b.setLineWidth(2.0f);
  const ShapePainterAttributesGL common = a.intersection(b);
  EXPECT_FALSE(common.useColor());
  EXPECT_FALSE(common.useLineWidth());
  EXPECT_EQ(numDefined(common), 10);
  EXPECT_EQ(numDefined(a.intersection(undefinedEverywhere())), 0);
}

TEST(ShapePainterAttributesIntersection, ColoursOfDifferentLengthDoNotMatch) {
  ShapePainterAttributesGL a;
  ShapePainterAttributesGL b;
  a.setColor(color({255, 0, 0}));
  b.setColor(color({255, 0, 0, 0}));
  EXPECT_FALSE(a.intersection(b).useColor());
  b.setColor(color({255, 0, 0}));
  EXPECT_TRUE(a.intersection(b).useColor());
}

TEST(ShapePainterAttributesIntersection, IsSymmetric) {
  ShapePainterAttributesGL a = allDefined();
  ShapePainterAttributesGL b;
  b.setColor(color({10, 20, 30}));
  b.setShininess(1.0f);
  EXPECT_EQ(numDefined(a.intersection(b)), numDefined(b.intersection(a)));
  EXPECT_TRUE(b.intersection(a).useColor());
}

TEST(ShapePainterAttributesEquality, NeedsAllTwelveDefinedAndEqual) {
  const ShapePainterAttributesGL fresh;
  const ShapePainterAttributesGL copy(fresh);
  EXPECT_FALSE(fresh == copy);
  EXPECT_FALSE(fresh == fresh);
  EXPECT_TRUE(fresh != copy);

  EXPECT_TRUE(allDefined() == allDefined());
  ShapePainterAttributesGL other = allDefined();
  other.setEndCapFlag(true);
  EXPECT_TRUE(allDefined() != other);
}

TEST(ShapePainterAttributesGetters, CheckedGettersReportTheUndefinedAttribute) {
  const ShapePainterAttributesGL empty = undefinedEverywhere();
  try {
    empty.getVisibility();
    FAIL() << "no exception";
  } catch (const ProgramError& error) {
    EXPECT_EQ(error.getWhat(), "Visibility: undefined attribute");
    EXPECT_EQ(error.getWhere(), "bool ShapePainterAttributesGL::getVisibility() const");
  }
  try {
    empty.getBeginCapFlag();
    FAIL() << "no exception";
  } catch (const ProgramError& error) {
    EXPECT_EQ(error.getWhat(), "Begin cap flag: undefined attribute");
  }
  try {
    empty.getEndCapFlag();
    FAIL() << "no exception";
  } catch (const ProgramError& error) {
    EXPECT_EQ(error.getWhat(), "End cap flag: undefined attribute");
  }
}

TEST(ShapePainterAttributesPrint, ShowsNoneForUndefinedAttributes) {
  ShapePainterAttributesGL attributes = undefinedEverywhere();
  attributes.setLineWidth(2.5f);
  testing::internal::CaptureStdout();
  attributes.print("Title");
  const std::string output = testing::internal::GetCapturedStdout();
  EXPECT_EQ(output.rfind("Title\nColor        = (none)\nDisplay mode = (none)\nLineWidth    = 2.5 at ", 0),
            0u)
      << output;
  EXPECT_NE(output.find("Symbol type  = (none)\n"), std::string::npos);
}

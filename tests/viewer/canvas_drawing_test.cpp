// What the canvas draws: background styles, scene box and its contrast colour, the opaque and the
// blended pass, the square viewport, and standard poses turning an asymmetric model. Pixels come
// from real frames rendered by Mesa; state that pixels cannot show is read back from OpenGL.
#include "viewer/ViewerCanvasGL.h"

#include "tests/support/OffscreenGL.h"
#include "tests/viewer/CanvasTestPainters.h"

#include <QImage>
#include <QSettings>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

class CanvasDrawing : public ::testing::Test {
protected:
  void SetUp() override { QSettings().clear(); }

  std::unique_ptr<ViewerCanvasGL> makeCanvas(int width = 96, int height = 96) {
    auto canvas = std::make_unique<ViewerCanvasGL>();
    canvas->resize(width, height);
    return canvas;
  }

  // A canvas showing the given painters in a flat orthographic view without scene box.
  std::unique_ptr<ViewerCanvasGL> flatView(const std::vector<PainterGL<float>*>& painters) {
    auto canvas = makeCanvas();
    for (PainterGL<float>* painter : painters) canvas->addPainter(*painter);
    ProjectionGL orthographic;
    orthographic.setOrthographic();
    canvas->setProjection(orthographic);
    canvas->toggleBoundingBox(false);
    BackgroundGL black;
    black.setColor(rgb(0, 0, 0));
    black.setGradientEnabled(false);
    canvas->setBackground(black);
    canvas->initializeGL();
    return canvas;
  }

  static Vector<int> rgb(int r, int g, int b) {
    Vector<int> color(3);
    color[0] = r;
    color[1] = g;
    color[2] = b;
    return color;
  }

  // Column or row of a scene coordinate in a square orthographic view of half-width scale.
  static int pixelOf(float coordinate, float scale, int size) {
    return static_cast<int>((coordinate / scale + 1.0f) * 0.5f * size);
  }
};

// Whether any pixel of the rectangle is within tolerance of the colour.
bool anyPixelNear(const QImage& frame, const QRect& area, const QColor& color, int tolerance = 40) {
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      const QColor got = frame.pixelColor(x, y);
      if (std::abs(got.red() - color.red()) <= tolerance &&
          std::abs(got.green() - color.green()) <= tolerance &&
          std::abs(got.blue() - color.blue()) <= tolerance)
        return true;
    }
  return false;
}

} // namespace

TEST_F(CanvasDrawing, DefaultGradientRunsFromAThirdOfTheColourAtTheBottomToTheColourAtTheTop) {
  auto canvas = makeCanvas(64, 64);
  const QImage frame = canvas->grabFramebuffer();
  EXPECT_TRUE(pixelNear(frame, 32, 63, QColor(28, 56, 85), 4));
  EXPECT_TRUE(pixelNear(frame, 32, 0, QColor(85, 170, 255), 4));
  EXPECT_TRUE(pixelNear(frame, 5, 32, QColor(56, 113, 170), 6));
}

TEST_F(CanvasDrawing, UniformBackgroundClearsToItsColour) {
  auto canvas = makeCanvas(64, 48);
  BackgroundGL background;
  background.setColor(rgb(10, 200, 30));
  background.setGradientEnabled(false);
  canvas->setBackground(background);
  const QImage frame = canvas->grabFramebuffer();
  EXPECT_TRUE(pixelNear(frame, 0, 0, QColor(10, 200, 30), 1));
  EXPECT_TRUE(pixelNear(frame, 63, 47, QColor(10, 200, 30), 1));
}

TEST_F(CanvasDrawing, ShowsOnlyTheBackgroundWithoutPainters) {
  auto canvas = makeCanvas(64, 64);
  BackgroundGL background;
  background.setColor(rgb(100, 100, 100));
  background.setGradientEnabled(false);
  canvas->setBackground(background);
  const QImage frame = canvas->grabFramebuffer();
  for (int y = 0; y < 64; y += 7)
    for (int x = 0; x < 64; x += 7) ASSERT_TRUE(pixelNear(frame, x, y, QColor(100, 100, 100), 1));
  EXPECT_EQ(canvas->getScale(), 1.0f);
  ASSERT_EQ(canvas->getCenter().getSize(), 3);
  EXPECT_EQ(canvas->getCenter()[0], 0.0f);
  EXPECT_FALSE(canvas->getBoundingBoxPainter().getBoundingBox().isValid());
}

TEST_F(CanvasDrawing, SceneBoxIsWhiteOnDarkAndBlackOnLightBackgrounds) {
  BlockPainter model(-1, -1, -1, 1, 1, 1, 255, 0, 0);
  model.setBox(cubeBox(1));
  auto canvas = makeCanvas();
  canvas->setBoundingBoxScaling(100);
  ProjectionGL orthographic;
  orthographic.setOrthographic();
  canvas->setProjection(orthographic);
  BlockPainter nothing(0, 0, 0, 0, 0, 0, 0, 0, 0);
  nothing.setBox(cubeBox(1));
  canvas->addPainter(nothing); // frames the scene but draws a point only
  canvas->initializeGL();
  const float scale = canvas->getScale();
  const int edge = pixelOf(1.0f, scale, 96);
  const QRect edgeArea(edge - 2, 40, 5, 16);

  for (const auto& [background, box] :
       {std::pair{QColor(100, 100, 100), QColor(Qt::white)},
        std::pair{QColor(200, 50, 50), QColor(Qt::black)}, std::pair{QColor(126, 0, 0), QColor(Qt::white)},
        std::pair{QColor(127, 0, 0), QColor(Qt::black)}}) {
    BackgroundGL uniform;
    uniform.setColor(rgb(background.red(), background.green(), background.blue()));
    uniform.setGradientEnabled(false);
    canvas->setBackground(uniform);
    const QImage frame = canvas->grabFramebuffer();
    EXPECT_TRUE(anyPixelNear(frame, edgeArea, box, 10))
        << "background " << background.red() << " frame saved as "
        << saveFrame(frame, std::to_string(background.red()));
    EXPECT_TRUE(pixelNear(frame, 48, 48, background, 1));
  }
}

TEST_F(CanvasDrawing, HiddenSceneBoxLeavesTheBackground) {
  BlockPainter nothing(0, 0, 0, 0, 0, 0, 0, 0, 0);
  nothing.setBox(cubeBox(1));
  auto canvas = flatView({&nothing});
  canvas->setBoundingBoxScaling(100);
  const int edge = pixelOf(1.0f, canvas->getScale(), 96);
  const QImage frame = canvas->grabFramebuffer();
  EXPECT_FALSE(anyPixelNear(frame, QRect(edge - 2, 40, 5, 16), Qt::white, 10)) << saveFrame(frame);
}

TEST_F(CanvasDrawing, ModelAppearsWhereItLies) {
  BlockPainter right(0.5f, -0.2f, -0.2f, 0.9f, 0.2f, 0.2f, 255, 0, 0);
  right.setBox(cubeBox(1));
  auto canvas = flatView({&right});
  const float scale = canvas->getScale();
  const QImage frame = canvas->grabFramebuffer();
  EXPECT_TRUE(pixelNear(frame, pixelOf(0.7f, scale, 96), 48, QColor(255, 0, 0), 2));
  EXPECT_TRUE(pixelNear(frame, pixelOf(-0.7f, scale, 96), 48, QColor(0, 0, 0), 2));
}

TEST_F(CanvasDrawing, OpaquePainterOccludesATransparentOneListedEarlier) {
  BlockPainter behind(-0.5f, -0.5f, -0.8f, 0.5f, 0.5f, -0.6f, 0, 255, 0, 128, false);
  BlockPainter front(-0.5f, -0.5f, 0.6f, 0.5f, 0.5f, 0.8f, 255, 0, 0);
  behind.setBox(cubeBox(1));
  front.setBox(cubeBox(1));
  auto canvas = flatView({&behind, &front});
  const QImage frame = canvas->grabFramebuffer();
  EXPECT_TRUE(pixelNear(frame, 48, 48, QColor(255, 0, 0), 2));
}

TEST_F(CanvasDrawing, TransparentPainterInFrontIsBlendedOverTheOpaqueOne) {
  BlockPainter front(-0.5f, -0.5f, 0.6f, 0.5f, 0.5f, 0.8f, 0, 255, 0, 128, false);
  BlockPainter behind(-0.5f, -0.5f, -0.8f, 0.5f, 0.5f, -0.6f, 255, 0, 0);
  front.setBox(cubeBox(1));
  behind.setBox(cubeBox(1));
  auto canvas = flatView({&front, &behind});
  const QImage frame = canvas->grabFramebuffer();
  // Both faces of the transparent block blend: green over (green over red).
  const QImage expected = frame; // keep the frame for the message
  const QColor got = frame.pixelColor(48, 48);
  EXPECT_GT(got.red(), 30) << saveFrame(expected);
  EXPECT_GT(got.green(), 150) << saveFrame(expected);
}

TEST_F(CanvasDrawing, DrawsOpaquePaintersFirstThenTheOthersBlendedWithoutDepthWrites) {
  std::vector<ProbePainter::Visit> visits;
  ProbePainter glassA("glassA", false, visits), solidA("solidA", true, visits);
  ProbePainter glassB("glassB", false, visits), solidB("solidB", true, visits);
  auto canvas = makeCanvas();
  for (ProbePainter* painter : {&glassA, &solidA, &glassB, &solidB}) canvas->addPainter(*painter);
  canvas->grabFramebuffer();
  ASSERT_EQ(visits.size(), 4u);
  const char* order[] = {"solidA", "solidB", "glassA", "glassB"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(visits[i].name, order[i]);
  for (int i = 0; i < 2; ++i) {
    EXPECT_TRUE(visits[i].depthWrites);
    EXPECT_FALSE(visits[i].blending);
  }
  for (int i = 2; i < 4; ++i) {
    EXPECT_FALSE(visits[i].depthWrites);
    EXPECT_TRUE(visits[i].blending);
    EXPECT_EQ(visits[i].blendSource, GL_SRC_ALPHA);
    EXPECT_EQ(visits[i].blendDestination, GL_ONE_MINUS_SRC_ALPHA);
  }
  canvas->makeCurrent();
  GLboolean depthWrites = GL_FALSE;
  glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
  EXPECT_EQ(depthWrites, GL_TRUE);
  EXPECT_EQ(glIsEnabled(GL_BLEND), GL_FALSE);
}

TEST_F(CanvasDrawing, ViewportIsTheCentredSquareOfTheLargerSide) {
  struct Case {
    int width, height;
    GLint expected[4];
  };
  for (const Case& c : {Case{80, 60, {0, -10, 80, 80}}, Case{60, 80, {-10, 0, 80, 80}},
                        Case{61, 80, {-9, 0, 80, 80}}, Case{50, 50, {0, 0, 50, 50}}}) {
    std::vector<ProbePainter::Visit> visits;
    ProbePainter probe("probe", true, visits);
    auto canvas = makeCanvas(c.width, c.height);
    canvas->addPainter(probe);
    canvas->grabFramebuffer();
    ASSERT_FALSE(visits.empty());
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(visits.back().viewport[i], c.expected[i]) << c.width << "x" << c.height;
  }
}

TEST_F(CanvasDrawing, WideWidgetOverflowsVerticallyInsteadOfStretching) {
  BlockPainter square(-0.5f, -0.5f, -0.1f, 0.5f, 0.5f, 0.1f, 255, 0, 0);
  square.setBox(cubeBox(1));
  auto canvas = flatView({&square});
  canvas->resize(120, 60);
  const QImage frame = canvas->grabFramebuffer();
  // The square viewport is 120 wide, centred: the block spans the same number of pixels both ways.
  const float scale = canvas->getScale();
  const int half = static_cast<int>(0.5f / scale * 60);
  EXPECT_TRUE(pixelNear(frame, 60 + half - 2, 30, QColor(255, 0, 0), 2));
  EXPECT_TRUE(pixelNear(frame, 60 + half + 3, 30, QColor(0, 0, 0), 2));
  EXPECT_TRUE(pixelNear(frame, 60, 30 + half - 2, QColor(255, 0, 0), 2));
  EXPECT_TRUE(pixelNear(frame, 60, 30 - half + 2, QColor(255, 0, 0), 2));
}

TEST_F(CanvasDrawing, StandardPosesTurnAnAsymmetricModel) {
  BlockPainter xBlock(0.5f, -0.2f, -0.2f, 0.9f, 0.2f, 0.2f, 255, 0, 0); // red on +x
  BlockPainter yBlock(-0.2f, 0.5f, -0.2f, 0.2f, 0.9f, 0.2f, 0, 255, 0); // green on +y
  BlockPainter zBlock(-0.2f, -0.2f, 0.5f, 0.2f, 0.2f, 0.9f, 0, 0, 255); // blue on +z
  for (BlockPainter* block : {&xBlock, &yBlock, &zBlock}) block->setBox(cubeBox(1));
  auto canvas = flatView({&xBlock, &yBlock, &zBlock});
  const float scale = canvas->getScale();
  const int right = pixelOf(0.7f, scale, 96), left = pixelOf(-0.7f, scale, 96);
  const int top = 95 - pixelOf(0.7f, scale, 96), bottom = 95 - pixelOf(-0.7f, scale, 96);
  const QColor red(255, 0, 0), green(0, 255, 0), blue(0, 0, 255), black(0, 0, 0);
  struct Case {
    void (ViewerCanvasGL::*pose)();
    QColor centre, atRight, atLeft, atTop, atBottom;
  };
  const Case cases[] = {
      {&ViewerCanvasGL::setRevStandardPose1, blue, red, black, green, black},
      {&ViewerCanvasGL::setStandardPose1, blue, black, red, green, black}, // half turn about y: +x goes left
      {&ViewerCanvasGL::setStandardPose2, red, blue, black, green, black}, // +z goes right, +x away
      {&ViewerCanvasGL::setRevStandardPose2, red, black, blue, green, black},
      {&ViewerCanvasGL::setStandardPose3, green, red, black, black, blue},    // +y comes forward, +z down
      {&ViewerCanvasGL::setRevStandardPose3, green, red, black, blue, black}, // +z goes up, +y away
  };
  for (const Case& c : cases) {
    (canvas.get()->*c.pose)();
    const QImage frame = canvas->grabFramebuffer();
    EXPECT_TRUE(pixelNear(frame, right, 48, c.atRight, 2));
    EXPECT_TRUE(pixelNear(frame, left, 48, c.atLeft, 2));
    EXPECT_TRUE(pixelNear(frame, 48, top, c.atTop, 2));
    EXPECT_TRUE(pixelNear(frame, 48, bottom, c.atBottom, 2));
    EXPECT_TRUE(pixelNear(frame, 48, 48, c.centre, 2));
  }
}

TEST_F(CanvasDrawing, TallWidgetOverflowsHorizontallyInsteadOfStretching) {
  BlockPainter square(-0.5f, -0.5f, -0.1f, 0.5f, 0.5f, 0.1f, 255, 0, 0);
  square.setBox(cubeBox(1));
  auto canvas = flatView({&square});
  canvas->resize(60, 120);
  const QImage frame = canvas->grabFramebuffer();
  // The square viewport is 120 high, centred: the block spans the same number of pixels both ways.
  const float scale = canvas->getScale();
  const int half = static_cast<int>(0.5f / scale * 60);
  EXPECT_TRUE(pixelNear(frame, 30, 60 - half + 2, QColor(255, 0, 0), 2));
  EXPECT_TRUE(pixelNear(frame, 30, 60 - half - 3, QColor(0, 0, 0), 2));
  EXPECT_TRUE(pixelNear(frame, 30 + half - 2, 60, QColor(255, 0, 0), 2));
  EXPECT_TRUE(pixelNear(frame, 30 - half + 2, 60, QColor(255, 0, 0), 2));
}

namespace {

// Reads the frame back when the canvas draws it, to see what was drawn before the painters.
class FrameReader : public PainterGL<float> {
public:
  explicit FrameReader(int size) : _size(size) {}
  BoundingBox<float> boundingBox() const override { return cubeBox(1); }
  void glDraw() const override {
    frame = QImage(_size, _size, QImage::Format_RGBA8888);
    glReadPixels(0, 0, _size, _size, GL_RGBA, GL_UNSIGNED_BYTE, frame.bits());
    frame = frame.mirrored(); // OpenGL rows run bottom-up
  }
  mutable QImage frame;

private:
  int _size;
};

} // namespace

TEST_F(CanvasDrawing, SceneBoxAndScaleBarAreDrawnBeforeThePainters) {
  FrameReader reader(96);
  auto canvas = flatView({&reader});
  canvas->toggleBoundingBox(true);
  canvas->setBoundingBoxScaling(100);
  canvas->setScaleBar(cubeBox(0.5f));
  canvas->toggleScaleBar(true);
  const float scale = canvas->getScale();
  canvas->grabFramebuffer();
  ASSERT_FALSE(reader.frame.isNull());
  const int sceneEdge = pixelOf(1.0f, scale, 96), barEdge = pixelOf(0.5f, scale, 96);
  EXPECT_TRUE(anyPixelNear(reader.frame, QRect(sceneEdge - 2, 40, 5, 16), Qt::white, 10))
      << saveFrame(reader.frame);
  EXPECT_TRUE(anyPixelNear(reader.frame, QRect(barEdge - 2, 40, 5, 16), Qt::white, 10))
      << saveFrame(reader.frame);

  canvas->toggleScaleBar(false);
  canvas->grabFramebuffer();
  EXPECT_FALSE(anyPixelNear(reader.frame, QRect(barEdge - 2, 40, 5, 16), Qt::white, 10))
      << saveFrame(reader.frame);
  EXPECT_TRUE(anyPixelNear(reader.frame, QRect(sceneEdge - 2, 40, 5, 16), Qt::white, 10));
}

TEST_F(CanvasDrawing, LightBackgroundBlackensTheSceneBoxButNotTheScaleBar) {
  FrameReader reader(96);
  auto canvas = flatView({&reader});
  canvas->toggleBoundingBox(true);
  canvas->setBoundingBoxScaling(100);
  canvas->setScaleBar(cubeBox(0.5f));
  BackgroundGL light;
  light.setColor(rgb(0, 200, 0));
  light.setGradientEnabled(false);
  canvas->setBackground(light);
  EXPECT_EQ(canvas->getScaleBarPainter().getColor()[1], 255);
  const float scale = canvas->getScale();
  const QImage frame = canvas->grabFramebuffer();
  EXPECT_TRUE(anyPixelNear(frame, QRect(pixelOf(1.0f, scale, 96) - 2, 40, 5, 16), Qt::black, 10))
      << saveFrame(frame);
  EXPECT_TRUE(anyPixelNear(frame, QRect(pixelOf(0.5f, scale, 96) - 2, 40, 5, 16), Qt::white, 10))
      << saveFrame(frame);
}

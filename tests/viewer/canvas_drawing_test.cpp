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

Vector<int> rgb(int r, int g, int b) {
  return Vector<int>(std::vector<int>{r, g, b});
}

BackgroundGL uniform(int r, int g, int b) {
  BackgroundGL background;
  background.setColor(rgb(r, g, b));
  background.setGradientEnabled(false);
  return background;
}

// Column or row of a scene coordinate in a square orthographic view of half-width scale.
int pixelOf(float coordinate, float scale, int size) {
  return static_cast<int>((coordinate / scale + 1.0f) * 0.5f * size);
}

// Whether any pixel near the middle of the column where the scene coordinate x lies, in a 96 x 96
// view, is within 10 of the colour.
bool columnShows(const QImage& frame, float x, float scale, const QColor& color) {
  const int column = pixelOf(x, scale, 96);
  for (int y = 40; y < 56; ++y)
    for (int dx = -2; dx <= 2; ++dx) {
      const QColor got = frame.pixelColor(column + dx, y);
      if (std::abs(got.red() - color.red()) <= 10 && std::abs(got.green() - color.green()) <= 10 &&
          std::abs(got.blue() - color.blue()) <= 10)
        return true;
    }
  return false;
}

// Reads the frame back when the canvas draws it, to see what was drawn before the painters.
class FrameReader : public PainterGL<float> {
public:
  BoundingBox<float> boundingBox() const override { return cubeBox(1); }
  void glDraw() const override {
    frame = QImage(96, 96, QImage::Format_RGBA8888);
    glReadPixels(0, 0, 96, 96, GL_RGBA, GL_UNSIGNED_BYTE, frame.bits());
    frame = frame.mirrored(); // OpenGL rows run bottom-up
  }
  mutable QImage frame;
};

class CanvasDrawing : public ::testing::Test {
protected:
  void SetUp() override { QSettings().clear(); }

  std::unique_ptr<ViewerCanvasGL> makeCanvas(int width = 96, int height = 96) {
    auto canvas = std::make_unique<ViewerCanvasGL>();
    canvas->resize(width, height);
    return canvas;
  }

  // A canvas showing the given painters, framed by the cube of half-side 1, in a flat orthographic
  // view without scene box on black.
  std::unique_ptr<ViewerCanvasGL> flatView(const std::vector<BlockPainter*>& blocks,
                                           PainterGL<float>* other = nullptr) {
    auto canvas = makeCanvas();
    for (BlockPainter* block : blocks) {
      block->setBox(cubeBox(1));
      canvas->addPainter(*block);
    }
    if (other) canvas->addPainter(*other);
    ProjectionGL orthographic;
    orthographic.setOrthographic();
    canvas->setProjection(orthographic);
    canvas->toggleBoundingBox(false);
    canvas->setBackground(uniform(0, 0, 0));
    canvas->initializeGL();
    return canvas;
  }
};

} // namespace

TEST_F(CanvasDrawing, GradientRunsFromAThirdOfTheColourAtTheBottomToTheColourAtTheTopAndUniformClears) {
  auto canvas = makeCanvas(64, 64);
  QImage frame = canvas->grabFramebuffer();
  EXPECT_TRUE(pixelNear(frame, 32, 63, QColor(28, 56, 85), 4));
  EXPECT_TRUE(pixelNear(frame, 32, 0, QColor(85, 170, 255), 4));
  EXPECT_TRUE(pixelNear(frame, 5, 32, QColor(56, 113, 170), 6));

  canvas->setBackground(uniform(10, 200, 30));
  frame = canvas->grabFramebuffer();
  for (int y = 0; y < 64; y += 7)
    for (int x = 0; x < 64; x += 7) ASSERT_TRUE(pixelNear(frame, x, y, QColor(10, 200, 30), 1));
  EXPECT_TRUE(pixelNear(frame, 63, 63, QColor(10, 200, 30), 1));
  EXPECT_EQ(canvas->getScale(), 1.0f); // nothing to frame
  EXPECT_EQ(canvas->getCenter()[0], 0.0f);
  EXPECT_FALSE(canvas->getBoundingBoxPainter().getBoundingBox().isValid());
}

TEST_F(CanvasDrawing, SceneBoxIsWhiteOnDarkAndBlackOnLightBackgroundsAndHiddenWhenToggledOff) {
  BlockPainter nothing(0, 0, 0, 0, 0, 0, 0, 0, 0); // frames the scene but draws a point only
  auto canvas = flatView({&nothing});
  canvas->toggleBoundingBox(true);
  canvas->setBoundingBoxScaling(100);
  const float scale = canvas->getScale();
  for (const auto& [background, box] :
       {std::pair{QColor(100, 100, 100), QColor(Qt::white)},
        std::pair{QColor(200, 50, 50), QColor(Qt::black)}, std::pair{QColor(126, 0, 0), QColor(Qt::white)},
        std::pair{QColor(127, 0, 0), QColor(Qt::black)}}) {
    SCOPED_TRACE(background.red());
    canvas->setBackground(uniform(background.red(), background.green(), background.blue()));
    const QImage frame = canvas->grabFramebuffer();
    EXPECT_TRUE(columnShows(frame, 1.0f, scale, box)) << saveFrame(frame, std::to_string(background.red()));
    EXPECT_TRUE(pixelNear(frame, 48, 48, background, 1));
  }
  canvas->setBackground(uniform(0, 0, 0));
  canvas->toggleBoundingBox(false);
  const QImage frame = canvas->grabFramebuffer();
  EXPECT_FALSE(columnShows(frame, 1.0f, scale, Qt::white)) << saveFrame(frame);
}

TEST_F(CanvasDrawing, OpaquePainterOccludesATransparentOneListedEarlierAndShowsThroughOneInFront) {
  BlockPainter glassBehind(-0.5f, -0.5f, -0.8f, 0.5f, 0.5f, -0.6f, 0, 255, 0, 128, false);
  BlockPainter redFront(-0.5f, -0.5f, 0.6f, 0.5f, 0.5f, 0.8f, 255, 0, 0);
  QImage frame = flatView({&glassBehind, &redFront})->grabFramebuffer();
  EXPECT_TRUE(pixelNear(frame, 48, 48, QColor(255, 0, 0), 2)) << saveFrame(frame);

  BlockPainter glassFront(-0.5f, -0.5f, 0.6f, 0.5f, 0.5f, 0.8f, 0, 255, 0, 128, false);
  BlockPainter redBehind(-0.5f, -0.5f, -0.8f, 0.5f, 0.5f, -0.6f, 255, 0, 0);
  frame = flatView({&glassFront, &redBehind})->grabFramebuffer();
  // Both faces of the transparent block blend: green over (green over red).
  const QColor got = frame.pixelColor(48, 48);
  EXPECT_GT(got.red(), 30) << saveFrame(frame);
  EXPECT_GT(got.green(), 150);
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
  for (int i = 0; i < 4; ++i) {
    const bool blended = i >= 2;
    EXPECT_EQ(visits[i].name, order[i]);
    EXPECT_EQ(visits[i].depthWrites, !blended);
    EXPECT_EQ(visits[i].blending, blended);
  }
  EXPECT_EQ(visits[3].blendSource, GL_SRC_ALPHA);
  EXPECT_EQ(visits[3].blendDestination, GL_ONE_MINUS_SRC_ALPHA);
  canvas->makeCurrent();
  GLboolean depthWrites = GL_FALSE;
  glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
  EXPECT_EQ(depthWrites, GL_TRUE);
  EXPECT_EQ(glIsEnabled(GL_BLEND), GL_FALSE);
}

TEST_F(CanvasDrawing, WideAndTallWidgetsOverflowInsteadOfStretching) {
  for (const bool wide : {true, false}) {
    SCOPED_TRACE(wide ? "wide" : "tall");
    BlockPainter square(-0.5f, -0.5f, -0.1f, 0.5f, 0.5f, 0.1f, 255, 0, 0);
    auto canvas = flatView({&square});
    const int width = wide ? 120 : 60, height = wide ? 60 : 120;
    canvas->resize(width, height);
    const QImage frame = canvas->grabFramebuffer();
    // The square viewport is 120 on its long side, centred: the block spans the same pixels both ways.
    const int half = static_cast<int>(0.5f / canvas->getScale() * 60), x = width / 2, y = height / 2;
    EXPECT_TRUE(pixelNear(frame, x + half - 2, y, QColor(255, 0, 0), 2)) << saveFrame(frame);
    EXPECT_TRUE(pixelNear(frame, x - half + 2, y, QColor(255, 0, 0), 2));
    EXPECT_TRUE(pixelNear(frame, x, y + half - 2, QColor(255, 0, 0), 2));
    EXPECT_TRUE(pixelNear(frame, x, y - half + 2, QColor(255, 0, 0), 2));
    if (wide)
      EXPECT_TRUE(pixelNear(frame, x + half + 3, y, QColor(0, 0, 0), 2));
    else
      EXPECT_TRUE(pixelNear(frame, x, y - half - 3, QColor(0, 0, 0), 2));
  }
}

TEST_F(CanvasDrawing, StandardPosesTurnAnAsymmetricModel) {
  BlockPainter xBlock(0.5f, -0.2f, -0.2f, 0.9f, 0.2f, 0.2f, 255, 0, 0); // red on +x
  BlockPainter yBlock(-0.2f, 0.5f, -0.2f, 0.2f, 0.9f, 0.2f, 0, 255, 0); // green on +y
  BlockPainter zBlock(-0.2f, -0.2f, 0.5f, 0.2f, 0.2f, 0.9f, 0, 0, 255); // blue on +z
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
    Pose away; // the slots reset zoom, panning and lights too
    away.setZoom(300);
    away.setXTranslation(20);
    away.setDiffuseLight(99);
    away.setAmbientLight(90);
    canvas->setPose(away);
    (canvas.get()->*c.pose)();
    EXPECT_EQ(canvas->getPose().getDiffuseLight() + canvas->getPose().getAmbientLight(), 0);
    const QImage frame = canvas->grabFramebuffer();
    EXPECT_TRUE(pixelNear(frame, right, 48, c.atRight, 2));
    EXPECT_TRUE(pixelNear(frame, left, 48, c.atLeft, 2));
    EXPECT_TRUE(pixelNear(frame, 48, top, c.atTop, 2));
    EXPECT_TRUE(pixelNear(frame, 48, bottom, c.atBottom, 2));
    EXPECT_TRUE(pixelNear(frame, 48, 48, c.centre, 2));
  }
}

TEST_F(CanvasDrawing, SceneBoxAndScaleBarAreDrawnBeforeThePaintersAndOnlyTheBoxTurnsBlackOnLight) {
  FrameReader reader;
  auto canvas = flatView({}, &reader);
  canvas->toggleBoundingBox(true);
  canvas->setBoundingBoxScaling(100);
  canvas->setScaleBar(cubeBox(0.5f));
  canvas->toggleScaleBar(true);
  const float scale = canvas->getScale();
  canvas->grabFramebuffer();
  ASSERT_FALSE(reader.frame.isNull());
  EXPECT_TRUE(columnShows(reader.frame, 1.0f, scale, Qt::white)) << saveFrame(reader.frame);
  EXPECT_TRUE(columnShows(reader.frame, 0.5f, scale, Qt::white));

  canvas->setBackground(uniform(0, 200, 0));
  EXPECT_EQ(canvas->getScaleBarPainter().getColor()[1], 255);
  canvas->grabFramebuffer();
  EXPECT_TRUE(columnShows(reader.frame, 1.0f, scale, Qt::black)) << saveFrame(reader.frame);
  EXPECT_TRUE(columnShows(reader.frame, 0.5f, scale, Qt::white));

  canvas->toggleScaleBar(false);
  canvas->grabFramebuffer();
  EXPECT_FALSE(columnShows(reader.frame, 0.5f, scale, Qt::white)) << saveFrame(reader.frame);
  EXPECT_TRUE(columnShows(reader.frame, 1.0f, scale, Qt::black));
}

// Pictures drawn off screen: drawn in strips they are the picture drawn at once, row for row; the
// crop keeps what the painters drew over a gradient; the frame buffer bound before is bound again.
#include "viewer/OffscreenRendererGL.h"
#include "viewer/ViewerSceneGL.h"

#include "tests/support/OffscreenGL.h"
#include "tests/viewer/CanvasTestPainters.h"

#include <gtest/gtest.h>

TEST(OffscreenRenderer, StripsMakeThePictureDrawnAtOnceAndTheCropKeepsTheDrawnBlocks) {
  OffscreenGL gl(16);
  if (!gl.isValid()) GTEST_SKIP() << "no OpenGL context";
  GLint bound = 0;
  glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &bound);
  BlockPainter high(-0.9f, 0.5f, 0, -0.5f, 0.9f, 0, 250, 40, 40);
  BlockPainter low(0.2f, -0.9f, 0, 0.9f, -0.6f, 0, 40, 250, 40);
  ViewerSceneGL scene;
  scene.setPainters({&high, &low});
  scene.updateBoundingBox();
  scene.boundingBoxPainter().setActive(false);
  scene.glInitialize();
  const int width = 97, height = 61; // odd sizes leave a short last strip
  OffscreenRendererGL::Options once, strips;
  strips.stripPixels = width * 7;
  const QImage whole = OffscreenRendererGL::render(scene, width, height, once);
  EXPECT_EQ(OffscreenRendererGL::render(scene, width, height, strips), whole) << saveFrame(whole);
  EXPECT_TRUE(pixelNear(whole, 30, 12, QColor(250, 40, 40), 0)); // the high block near the top
  strips.cropped = true;
  const QImage cropped = OffscreenRendererGL::render(scene, width, height, strips);
  QRect blocks;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (qGreen(whole.pixel(x, y)) == 250 || qRed(whole.pixel(x, y)) == 250) blocks |= QRect(x, y, 1, 1);
  EXPECT_EQ(cropped, whole.copy(blocks));
  GLint after = 0;
  glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &after);
  EXPECT_EQ(after, bound);
}

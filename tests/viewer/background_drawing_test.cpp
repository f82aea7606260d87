// What the background leaves behind in the OpenGL state: the gradient draws behind everything with
// its own projection and leaves the projection matrix selected, the uniform style only clears.
#include "viewer/BackgroundGL.h"

#include "tests/support/OffscreenGL.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>

namespace {

using GLMatrix = std::array<GLdouble, 16>;

GLMatrix current(GLenum which) {
  GLMatrix m{};
  glGetDoublev(which, m.data());
  return m;
}

GLint matrixMode() {
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  return mode;
}

class BackgroundDrawing : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(gl.isValid()) << "no OpenGL context";
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1, 1, -1, 1, 2, 9);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    glDisable(GL_LIGHTING);
    projection = current(GL_PROJECTION_MATRIX);
    modelView = current(GL_MODELVIEW_MATRIX);
  }
  OffscreenGL gl{32};
  GLMatrix projection{}, modelView{};
};

} // namespace

TEST_F(BackgroundDrawing, UniformOnlyClearsWhileTheGradientCoversTheFrameWithItsOwnProjection) {
  BackgroundGL background;
  background.setColor(Vector<int>(std::vector<int>{51, 102, 204}));
  background.setGradientEnabled(false);
  background.glDraw();
  EXPECT_EQ(matrixMode(), GL_MODELVIEW);
  EXPECT_EQ(current(GL_PROJECTION_MATRIX), projection);
  EXPECT_EQ(current(GL_MODELVIEW_MATRIX), modelView);
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  GLfloat clearColor[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColor);
  EXPECT_FLOAT_EQ(clearColor[0], 0.2f);
  EXPECT_FLOAT_EQ(clearColor[2], 0.8f);
  EXPECT_FLOAT_EQ(clearColor[3], 1.0f);
  EXPECT_TRUE(pixelNear(gl.grab(), 31, 31, QColor(51, 102, 204), 1));

  gl.clear(Qt::red);
  background.setColor(Vector<int>(std::vector<int>{90, 0, 0}));
  background.setGradientEnabled(true);
  background.glDraw();
  EXPECT_EQ(matrixMode(), GL_PROJECTION); // left selected, restored
  EXPECT_EQ(current(GL_PROJECTION_MATRIX), projection);
  GLMatrix identity{};
  for (int i = 0; i < 4; ++i) identity[static_cast<std::size_t>(5 * i)] = 1.0;
  EXPECT_EQ(current(GL_MODELVIEW_MATRIX), identity);
  GLboolean writes = GL_FALSE;
  glGetBooleanv(GL_DEPTH_WRITEMASK, &writes);
  EXPECT_EQ(writes, GL_TRUE);
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING)); // switched on again whatever it was before
  const QImage frame = gl.grab();
  for (int y = 0; y < 32; y += 5)
    for (int x = 0; x < 32; x += 5) ASSERT_LT(frame.pixelColor(x, y).red(), 95) << x << ", " << y;
  GLfloat depth = 0;
  glReadPixels(3, 3, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
  EXPECT_EQ(depth, 1.0f); // the quadrilateral writes no depth
}

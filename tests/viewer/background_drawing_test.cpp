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

GLMatrix identity() {
  GLMatrix m{};
  for (int i = 0; i < 4; ++i) m[static_cast<std::size_t>(5 * i)] = 1.0;
  return m;
}

GLint matrixMode() {
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  return mode;
}

bool depthWrites() {
  GLboolean writes = GL_FALSE;
  glGetBooleanv(GL_DEPTH_WRITEMASK, &writes);
  return writes == GL_TRUE;
}

Vector<int> rgb(int r, int g, int b) {
  Vector<int> color(3);
  color[0] = r;
  color[1] = g;
  color[2] = b;
  return color;
}

class BackgroundDrawing : public ::testing::Test {
protected:
  void SetUp() override {
    if (!gl.isValid()) GTEST_SKIP() << "no OpenGL context";
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1, 1, -1, 1, 2, 9);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1, 2, 3);
  }
  OffscreenGL gl{32};
};

} // namespace

TEST_F(BackgroundDrawing, GradientRestoresTheProjectionAndLeavesItSelectedWithAnIdentityModelView) {
  const GLMatrix projection = current(GL_PROJECTION_MATRIX);
  glDisable(GL_LIGHTING);
  const BackgroundGL background;
  background.glDraw();
  EXPECT_EQ(matrixMode(), GL_PROJECTION);
  EXPECT_EQ(current(GL_PROJECTION_MATRIX), projection);
  EXPECT_EQ(current(GL_MODELVIEW_MATRIX), identity());
  EXPECT_TRUE(depthWrites());
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING)); // switched on again whatever it was before
  const QImage frame = gl.grab();
  EXPECT_TRUE(pixelNear(frame, 16, 31, QColor(28, 56, 85), 4));
  EXPECT_TRUE(pixelNear(frame, 16, 0, QColor(85, 170, 255), 4));
}

TEST_F(BackgroundDrawing, GradientCoversTheFrameAndClearsOnlyTheDepth) {
  gl.clear(Qt::red);
  BackgroundGL background;
  background.setColor(rgb(90, 30, 0));
  background.glDraw();
  const QImage frame = gl.grab();
  for (int y = 0; y < 32; y += 5)
    for (int x = 0; x < 32; x += 5) ASSERT_LT(frame.pixelColor(x, y).red(), 95) << x << ", " << y;
  GLfloat depth = 0;
  glReadPixels(3, 3, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
  EXPECT_EQ(depth, 1.0f); // the quadrilateral writes no depth
}

TEST_F(BackgroundDrawing, UniformOnlyClearsToItsColour) {
  const GLMatrix projection = current(GL_PROJECTION_MATRIX);
  const GLMatrix modelView = current(GL_MODELVIEW_MATRIX);
  glDisable(GL_LIGHTING);
  BackgroundGL background;
  Vector<int> color = rgb(51, 102, 204);
  background.setColor(color);
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
}

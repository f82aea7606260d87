// OpenGL state that the canvas sets up and that pixels show only indirectly: lights in a new context
// and the projection of a paint pass.
#include "viewer/ViewerCanvasGL.h"

#include "tests/viewer/CanvasTestPainters.h"

#include <QSettings>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>

namespace {

using GLMatrix = std::array<double, 16>;

// A column-major glFrustum matrix.
GLMatrix frustum(double l, double r, double b, double t, double n, double f) {
  GLMatrix m{};
  m[0] = 2 * n / (r - l);
  m[5] = 2 * n / (t - b);
  m[8] = (r + l) / (r - l);
  m[9] = (t + b) / (t - b);
  m[10] = -(f + n) / (f - n);
  m[11] = -1;
  m[14] = -2 * f * n / (f - n);
  return m;
}

class CanvasGLState : public ::testing::Test {
protected:
  void SetUp() override {
    QSettings().clear();
    canvas = std::make_unique<ViewerCanvasGL>();
    canvas->resize(80, 80);
    model.setBox(BoundingBox<float>(point3(0, 0, 0), point3(2, 4, 4))); // centre (1, 2, 2), scale 3.6
    canvas->addPainter(model);
  }

  // Paints once and leaves the canvas's context current to read its state.
  void paint() {
    canvas->initializeGL();
    canvas->grabFramebuffer();
    canvas->makeCurrent();
  }

  void paintWith(bool perspective, float strength, int zoom, int panX, int panY) {
    ProjectionGL projection;
    projection.setPerspectiveStrength(strength);
    if (!perspective) projection.setOrthographic();
    canvas->setProjection(projection);
    canvas->setZoom(zoom);
    canvas->setTranslation(Vector<int>(std::vector<int>{panX, panY}));
    paint();
  }

  static void expectMatrix(GLenum which, const GLMatrix& expected) {
    GLdouble m[16];
    glGetDoublev(which, m);
    for (int i = 0; i < 16; ++i)
      EXPECT_NEAR(m[i], expected[i], 1e-5 * (1 + std::abs(expected[i]))) << "entry " << i;
  }

  static float lightComponent(GLenum which, int component) {
    GLfloat colour[4];
    glGetLightfv(GL_LIGHT0, which, colour);
    return colour[component];
  }

  BlockPainter model{0, 0, 0, 0, 0, 0, 0, 0, 0};
  std::unique_ptr<ViewerCanvasGL> canvas;
};

} // namespace

TEST_F(CanvasGLState, ReparentedCanvasSendsItsLightsToItsNewContext) {
  canvas->setDiffuseLight(51);
  paint();
  QWidget window;
  window.resize(100, 100);
  canvas->setParent(&window); // the widget's context is created anew
  window.show();
  canvas->show();
  canvas->grabFramebuffer();
  canvas->makeCurrent();
  EXPECT_FLOAT_EQ(lightComponent(GL_DIFFUSE, 0), 0.2f);
  canvas->setParent(nullptr);
}

TEST_F(CanvasGLState, PerspectiveFrustumSurroundsTheSceneAtTheEyeDistanceAndFollowsPanningAndZoom) {
  paintWith(true, 2.0f, 100, 0, 0);
  const double s = 0.6 * 6.0;
  expectMatrix(GL_PROJECTION_MATRIX, frustum(-s, s, -s, s, 5 * s - s, 5 * s + s));
  // Model-view: the eye backs off by k times the scale, the scene centre moves to the origin.
  expectMatrix(GL_MODELVIEW_MATRIX, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -1, -2, -2 - 5 * s, 1});

  paintWith(true, 3.0f, 50, 0, 10); // zoom 0.5: factor 3, so translationY = -0.3
  const double r = s / 0.5, cy = -0.3 * s;
  expectMatrix(GL_PROJECTION_MATRIX, frustum(-r, r, cy - r, cy + r, 4 * s - s, 4 * s + s));
}

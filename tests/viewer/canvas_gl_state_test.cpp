// OpenGL state that the canvas sets up and that pixels show only indirectly: lighting set-up, light
// colours, and the projection and model-view matrices of a paint pass.
#include "viewer/ViewerCanvasGL.h"

#include "tests/viewer/CanvasTestPainters.h"

#include <QSettings>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

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

  static void expectMatrix(GLenum which, const double expected[16]) {
    GLdouble m[16];
    glGetDoublev(which, m);
    for (int i = 0; i < 16; ++i)
      EXPECT_NEAR(m[i], expected[i], 1e-5 * (1 + std::abs(expected[i]))) << "entry " << i;
  }

  BlockPainter model{0, 0, 0, 0, 0, 0, 0, 0, 0};
  std::unique_ptr<ViewerCanvasGL> canvas;
};

// Column-major glOrtho and glFrustum matrices.
void ortho(double l, double r, double b, double t, double n, double f, double m[16]) {
  const double values[16] = {2 / (r - l),
                             0,
                             0,
                             0,
                             0,
                             2 / (t - b),
                             0,
                             0,
                             0,
                             0,
                             -2 / (f - n),
                             0,
                             -(r + l) / (r - l),
                             -(t + b) / (t - b),
                             -(f + n) / (f - n),
                             1};
  std::copy(values, values + 16, m);
}

void frustum(double l, double r, double b, double t, double n, double f, double m[16]) {
  const double values[16] = {2 * n / (r - l),
                             0,
                             0,
                             0,
                             0,
                             2 * n / (t - b),
                             0,
                             0,
                             (r + l) / (r - l),
                             (t + b) / (t - b),
                             -(f + n) / (f - n),
                             -1,
                             0,
                             0,
                             -2 * f * n / (f - n),
                             0};
  std::copy(values, values + 16, m);
}

} // namespace

TEST_F(CanvasGLState, InitialisationLightsTheSceneFromTheEye) {
  paint();
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
  EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
  GLint twoSided = 0, shading = 0;
  glGetIntegerv(GL_LIGHT_MODEL_TWO_SIDE, &twoSided);
  glGetIntegerv(GL_SHADE_MODEL, &shading);
  EXPECT_EQ(twoSided, GL_TRUE);
  EXPECT_EQ(shading, GL_SMOOTH);
  GLfloat position[4];
  glGetLightfv(GL_LIGHT0, GL_POSITION, position);
  EXPECT_EQ(position[2], 1.0f);
  EXPECT_EQ(position[3], 0.0f); // directional
}

TEST_F(CanvasGLState, LightLevelsBecomeGreyLightColours) {
  canvas->setAmbientLight(51);
  canvas->setDiffuseLight(255);
  canvas->setSpecularLight(0);
  paint();
  GLfloat ambient[4], diffuse[4], specular[4];
  glGetLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
  glGetLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
  glGetLightfv(GL_LIGHT0, GL_SPECULAR, specular);
  EXPECT_FLOAT_EQ(ambient[1], 0.2f);
  EXPECT_FLOAT_EQ(ambient[3], 1.0f);
  EXPECT_FLOAT_EQ(diffuse[0], 1.0f);
  EXPECT_FLOAT_EQ(specular[2], 0.0f);
}

TEST_F(CanvasGLState, OrthographicWindowFollowsPanningAndZoom) {
  ProjectionGL orthographic;
  orthographic.setOrthographic();
  canvas->setProjection(orthographic);
  canvas->setZoom(200);
  Vector<int> panning(2);
  panning[0] = -30; // zoom 2: factor 1.5, so translationX = 0.45
  panning[1] = 0;
  canvas->setTranslation(panning);
  paint();
  const double s = 0.6 * 6.0, r = s / 2, cx = 0.45 * s;
  double expected[16];
  ortho(cx - r, cx + r, -r, r, -s, s, expected);
  expectMatrix(GL_PROJECTION_MATRIX, expected);
  // Panning moves the window, not the model: the model-view only centres the scene, without an eye
  // distance in orthographic view.
  const double centring[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -1, -2, -2, 1};
  expectMatrix(GL_MODELVIEW_MATRIX, centring);
}

TEST_F(CanvasGLState, PerspectiveWindowFollowsPanningAndZoomToo) {
  ProjectionGL perspective;
  perspective.setPerspectiveStrength(3.0f);
  canvas->setProjection(perspective);
  canvas->setZoom(50);
  Vector<int> panning(2);
  panning[0] = 0;
  panning[1] = 10; // zoom 0.5: factor 3, so translationY = -0.3
  canvas->setTranslation(panning);
  paint();
  const double s = 0.6 * 6.0, r = s / 0.5, cy = -0.3 * s, k = 4.0;
  double expected[16];
  frustum(-r, r, cy - r, cy + r, k * s - s, k * s + s, expected);
  expectMatrix(GL_PROJECTION_MATRIX, expected);
}

TEST_F(CanvasGLState, PerspectiveFrustumSurroundsTheSceneAtTheEyeDistance) {
  ProjectionGL perspective;
  perspective.setPerspectiveStrength(2.0f);
  canvas->setProjection(perspective);
  paint();
  const double s = 0.6 * 6.0, k = 5.0;
  double expected[16];
  frustum(-s, s, -s, s, k * s - s, k * s + s, expected);
  expectMatrix(GL_PROJECTION_MATRIX, expected);
  // Model-view: the eye backs off by k times the scale, the scene centre moves to the origin.
  GLdouble modelView[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
  EXPECT_NEAR(modelView[12], -1.0, 1e-5);
  EXPECT_NEAR(modelView[13], -2.0, 1e-5);
  EXPECT_NEAR(modelView[14], -2.0 - k * s, 1e-4);
}

TEST_F(CanvasGLState, RotationAppliesXThenYThenZToTheModel) {
  Vector<float> angles(3);
  angles[0] = 90;
  angles[1] = 90;
  angles[2] = 0;
  ProjectionGL orthographic;
  orthographic.setOrthographic();
  canvas->setProjection(orthographic);
  canvas->setRotation(angles);
  paint();
  // The model's x axis (1, 0, 0): Ry(90) turns it to (0, 0, -1), then Rx(90) to (0, 1, 0). Rotating
  // about x first would leave (0, 0, -1).
  GLdouble m[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, m);
  EXPECT_NEAR(m[0], 0.0, 1e-6);
  EXPECT_NEAR(m[1], 1.0, 1e-6);
  EXPECT_NEAR(m[2], 0.0, 1e-6);
}

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
  GLfloat diffuse[4];
  glGetLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
  EXPECT_FLOAT_EQ(diffuse[0], 0.2f);
  canvas->setParent(nullptr);
}

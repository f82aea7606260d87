// The canvas in real frames rendered by Mesa: background styles, scene box and scale bar and their
// contrast colours, the opaque and the blended pass, the square viewport, standard poses turning an
// asymmetric model, a scene box of fewer than three dimensions, pictures drawn off screen in strips,
// the colour bar's ticks (round values, 4 to 8 of them, labelled without needless digits).
// And what it keeps beyond a frame: lights sent to a new context, the projection of a paint pass and
// the pose it gives back, the background saved for the next canvas, and OpenGL objects of painters
// deleted in the canvas's context however and whenever painters go.
#include "viewer/ColorBarGL.h"
#include "viewer/OffscreenRendererGL.h"
#include "viewer/ViewerCanvasGL.h"
#include "viewer/ViewerSceneGL.h"

#include "geometry/Curve.h"
#include "rendering/CurvePainterGL.h"
#include "rendering/ImagePainterGL.h"
#include "rendering/TriMeshPainterGL.h"
#include "tests/support/GLCallRecorder.h"
#include "tests/support/MeshFixtures.h"
#include "tests/support/OffscreenGL.h"
#include "tests/viewer/CanvasTestPainters.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <vector>

namespace {

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
  void glDraw() const override {
    frame = QImage(96, 96, QImage::Format_RGBA8888);
    glReadPixels(0, 0, 96, 96, GL_RGBA, GL_UNSIGNED_BYTE, frame.bits());
    frame = frame.mirrored(); // OpenGL rows run bottom-up
  }
  mutable QImage frame;
};

using GLMatrix = std::array<double, 16>;

// The projection matrix that glFrustum makes of the planes.
GLMatrix frustum(double l, double r, double b, double t, double n, double f) {
  GLMatrix m{};
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glFrustum(l, r, b, t, n, f);
  glGetDoublev(GL_PROJECTION_MATRIX, m.data());
  glPopMatrix();
  return m;
}

void expectMatrix(GLenum which, const GLMatrix& expected) {
  GLdouble m[16];
  glGetDoublev(which, m);
  for (int i = 0; i < 16; ++i)
    EXPECT_NEAR(m[i], expected[i], 1e-5 * (1 + std::abs(expected[i]))) << "entry " << i;
}

} // namespace

// The gradient writes no depth, so the model far behind shows, and leaves the next frame the same
// and the lights on. (Every other test here draws on a uniform background.)
TEST_F(CanvasTest, GradientRunsFromAThirdOfTheColourAtTheBottomToTheColourAtTheTopBehindTheModel) {
  BlockPainter back(-0.2f, -0.2f, -0.9f, 0.2f, 0.2f, -0.8f, 255, 0, 0);
  auto canvas = flatView({&back}, 64);
  canvas->setBackground(BackgroundGL());
  const QImage frame = canvas->grabFramebuffer();
  EXPECT_TRUE(pixelNear(frame, 32, 63, QColor(28, 56, 85), 4));
  EXPECT_TRUE(pixelNear(frame, 32, 0, QColor(85, 170, 255), 4));
  EXPECT_TRUE(pixelNear(frame, 5, 32, QColor(56, 113, 170), 6));
  EXPECT_TRUE(pixelNear(frame, 32, 32, QColor(255, 0, 0), 2));
  EXPECT_EQ(canvas->grabFramebuffer(), frame);
  canvas->makeCurrent();
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
}

// The scene box and the scale bar are white on a background whose brightest channel is below 127, black
// otherwise, and the bar's caption is written in that colour beside its far corner. They are drawn before
// the painters and can be hidden.
TEST_F(CanvasTest, SceneBoxScaleBarAndItsCaptionAreDrawnFirstAndTurnBlackOnLightBackgrounds) {
  FrameReader reader;
  auto canvas = flatView({&reader});
  canvas->toggleBoundingBox(true);
  canvas->setBoundingBoxScaling(100);
  canvas->setScaleBar(cubeBox(0.5f));
  canvas->toggleScaleBar(true);
  const float scale = canvas->getScale();
  for (const auto& [background, box] :
       {std::pair{QColor(0, 126, 0), QColor(Qt::white)}, {QColor(0, 0, 127), QColor(Qt::black)}}) {
    canvas->setBackground(uniform(background.red(), background.green(), background.blue()));
    canvas->grabFramebuffer();
    EXPECT_TRUE(columnShows(reader.frame, 1.0f, scale, box))
        << saveFrame(reader.frame, box.name().toStdString());
    EXPECT_TRUE(columnShows(reader.frame, 0.5f, scale, box));
    EXPECT_TRUE(pixelNear(reader.frame, 48, 48, background, 1));
  }
  const auto captionPixels = [&] { // dark ones on the dark blue, right of the bar's far corner, above it
    canvas->grabFramebuffer();
    int count = 0;
    for (int y = 16; y < 40; ++y)
      for (int x = pixelOf(0.5f, scale, 96) + 2; x < 96; ++x) count += qGray(reader.frame.pixel(x, y)) < 10;
    return count;
  };
  const int uncaptioned = captionPixels();
  canvas->setScaleBarCaption("10 µm");
  EXPECT_GT(captionPixels(), uncaptioned + 10) << saveFrame(reader.frame);
  canvas->toggleBoundingBox(false);
  canvas->toggleScaleBar(false);
  canvas->grabFramebuffer();
  EXPECT_FALSE(columnShows(reader.frame, 1.0f, scale, Qt::black)) << saveFrame(reader.frame);
  EXPECT_FALSE(columnShows(reader.frame, 0.5f, scale, Qt::black));
  EXPECT_EQ(captionPixels(), 0);
}

// Opaque painters are drawn first, then the others blended without depth writes, whatever their order.
TEST_F(CanvasTest, OpaquePainterOccludesATransparentOneListedEarlierAndShowsThroughOneInFront) {
  BlockPainter glassBehind(-0.5f, -0.5f, -0.8f, 0.5f, 0.5f, -0.6f, 0, 255, 0, 128, false);
  BlockPainter redFront(-0.5f, -0.5f, 0.6f, 0.5f, 0.5f, 0.8f, 255, 0, 0);
  QImage frame = flatView({&glassBehind, &redFront})->grabFramebuffer();
  EXPECT_TRUE(pixelNear(frame, 48, 48, QColor(255, 0, 0), 2)) << saveFrame(frame);

  BlockPainter glassFront(-0.5f, -0.5f, 0.6f, 0.5f, 0.5f, 0.8f, 0, 255, 0, 128, false);
  BlockPainter redBehind(-0.5f, -0.5f, -0.8f, 0.5f, 0.5f, -0.6f, 255, 0, 0);
  auto canvas = flatView({&glassFront, &redBehind});
  frame = canvas->grabFramebuffer();
  // Both faces of the transparent block blend: green over (green over red).
  const QColor got = frame.pixelColor(48, 48);
  EXPECT_GT(got.red(), 30) << saveFrame(frame);
  EXPECT_GT(got.green(), 150);
  EXPECT_EQ(canvas->grabFramebuffer(), frame); // the next frame starts from the same state
}

TEST_F(CanvasTest, WideAndTallWidgetsOverflowInsteadOfStretching) {
  for (const bool wide : {true, false}) {
    SCOPED_TRACE(wide ? "wide" : "tall");
    BlockPainter square(-0.5f, -0.5f, -0.1f, 0.5f, 0.5f, 0.1f, 255, 0, 0);
    auto canvas = flatView({&square});
    const int width = wide ? 120 : 60, height = wide ? 60 : 120;
    canvas->resize(width, height);
    const QImage frame = canvas->grabFramebuffer();
    // The square viewport is 120 on its long side, centred: the block spans the same pixels both ways.
    const int half = static_cast<int>(0.5f / canvas->getScale() * 60), x = width / 2, y = height / 2;
    for (const auto& [dx, dy] : {std::pair{half - 2, 0}, {2 - half, 0}, {0, half - 2}, {0, 2 - half}})
      EXPECT_TRUE(pixelNear(frame, x + dx, y + dy, QColor(255, 0, 0), 2)) << saveFrame(frame);
    EXPECT_TRUE(pixelNear(frame, wide ? x + half + 3 : x, wide ? y : y - half - 3, QColor(0, 0, 0), 2));
  }
}

TEST_F(CanvasTest, StandardPosesTurnAnAsymmetricModelAndResetZoomPanningAndLights) {
  BlockPainter xBlock(0.5f, -0.2f, -0.2f, 0.9f, 0.2f, 0.2f, 255, 0, 0); // red on +x
  BlockPainter yBlock(-0.2f, 0.5f, -0.2f, 0.2f, 0.9f, 0.2f, 0, 255, 0); // green on +y
  BlockPainter zBlock(-0.2f, -0.2f, 0.5f, 0.2f, 0.2f, 0.9f, 0, 0, 255); // blue on +z
  auto canvas = flatView({&xBlock, &yBlock, &zBlock});
  const float scale = canvas->getScale();
  const int far = pixelOf(0.7f, scale, 96), near = 95 - far; // right or bottom, left or top
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
    Pose away;
    away.setZoom(300);
    away.setXTranslation(20);
    away.setDiffuseLight(99);
    away.setAmbientLight(90);
    canvas->setPose(away);
    (canvas.get()->*c.pose)();
    EXPECT_EQ(canvas->getPose().getDiffuseLight() + canvas->getPose().getAmbientLight(), 0);
    const QImage frame = canvas->grabFramebuffer();
    const std::pair<QPoint, QColor> expected[] = {
        {{far, 48}, c.atRight}, {{near, 48}, c.atLeft}, {{48, near}, c.atTop}, {{48, far}, c.atBottom}};
    for (const auto& [at, colour] : expected) EXPECT_TRUE(pixelNear(frame, at.x(), at.y(), colour, 2));
    EXPECT_TRUE(pixelNear(frame, 48, 48, c.centre, 2));
  }
}

// A fixed bug: a box of two dimensions was read as if it had three.
TEST_F(CanvasTest, SceneBoxOfTwoDimensionsIsCentredWithZeroDepth) {
  BlockPainter flat(0, 0, 0, 1, 1, 1, 255, 255, 255);
  flat.setBox(
      BoundingBox<float>(Vector<float>(std::vector<float>{0, 2}), Vector<float>(std::vector<float>{4, 6})));
  ViewerCanvasGL canvas;
  canvas.addPainter(flat);
  canvas.fitSceneBox();
  canvas.grabFramebuffer();
  EXPECT_EQ(canvas.getCenter(), point3(2, 4, 0));
}

// Drawn in strips, a picture is the picture drawn at once, row for row; the frame buffer bound before
// is bound again.
TEST(OffscreenRenderer, StripsMakeThePictureDrawnAtOnce) {
  OffscreenGL gl(16);
  ASSERT_TRUE(gl.isValid()) << "no OpenGL context";
  GLint bound = 0;
  glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &bound);
  BlockPainter high(-0.9f, 0.5f, 0, -0.5f, 0.9f, 0, 250, 40, 40);
  BlockPainter low(0.2f, -0.9f, 0, 0.9f, -0.6f, 0, 40, 250, 40);
  ViewerSceneGL scene;
  scene.setPainters({&high, &low});
  scene.updateBoundingBox();
  scene.setSceneBoxShown(false);
  scene.glInitialize();
  const int width = 97, height = 61; // odd sizes leave a short last strip
  OffscreenRendererGL::Options once, strips;
  strips.stripPixels = width * 7;
  const QImage whole = OffscreenRendererGL::render(scene, width, height, once);
  EXPECT_EQ(OffscreenRendererGL::render(scene, width, height, strips), whole) << saveFrame(whole);
  EXPECT_TRUE(pixelNear(whole, 30, 12, QColor(250, 40, 40), 0)); // the high block near the top
  GLint after = 0;
  glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &after);
  EXPECT_EQ(after, bound);
}

// Draws the triangles of several meshes sorted back to front by their centres' depth, blended
// over what is drawn: the reference for translucent surfaces. Colours and normals as the mesh
// painter sends them. Reports itself opaque so that the scene draws it in the opaque pass.
class SortedTrianglesPainter : public PainterGL<float> {
public:
  struct Surface {
    const TriMesh<float>* mesh;
    QColor color; // with its alpha
  };
  explicit SortedTrianglesPainter(std::vector<Surface> surfaces) : _surfaces(std::move(surfaces)) {}

  BoundingBox<float> boundingBox() const override {
    return _surfaces[0].mesh->boundingBox().merge(_surfaces[1].mesh->boundingBox());
  }

  void glDraw() const override {
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    struct Triangle {
      float depth;
      const Surface* surface;
      const int* vertices;
    };
    std::vector<Triangle> triangles;
    for (const Surface& surface : _surfaces)
      for (int t = 0; t < surface.mesh->getNumTriangles(); ++t) {
        const int* v = surface.mesh->getTriangleVertices(t);
        float depth = 0;
        for (int k = 0; k < 3; ++k) {
          const Vector<float>& p = (*surface.mesh)[v[k]];
          depth += m[2] * p[0] + m[6] * p[1] + m[10] * p[2] + m[14];
        }
        triangles.push_back({depth, &surface, v});
      }
    std::sort(triangles.begin(), triangles.end(),
              [](const Triangle& a, const Triangle& b) { return a.depth < b.depth; });
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    glEnable(GL_COLOR_MATERIAL);
    glBegin(GL_TRIANGLES);
    for (const Triangle& triangle : triangles) {
      const QColor& c = triangle.surface->color;
      glColor4ub(GLubyte(c.red()), GLubyte(c.green()), GLubyte(c.blue()), GLubyte(c.alpha()));
      for (int k = 0; k < 3; ++k) {
        const TriMesh<float>& mesh = *triangle.surface->mesh;
        if (mesh.hasNormals()) {
          const Vector<float>& n = mesh.getNormal(triangle.vertices[k]);
          glNormal3f(n[0], n[1], n[2]);
        }
        const Vector<float>& p = mesh[triangle.vertices[k]];
        glVertex3f(p[0], p[1], p[2]);
      }
    }
    glEnd();
    glPopAttrib();
  }

private:
  std::vector<Surface> _surfaces;
};

// Pixels of two frames whose colours differ by more than 12 on some channel.
int differingPixels(const QImage& a, const QImage& b) {
  int count = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
      count += std::max({std::abs(p.red() - q.red()), std::abs(p.green() - q.green()),
                         std::abs(p.blue() - q.blue())}) > 12;
    }
  return count;
}

// Two interlocking translucent tori look as when every triangle is drawn sorted back to front, in
// whichever order they are listed, drawn at once or in strips, with a background or without.
TEST(TranslucentSurfaces, BlendInDepthOrderWhateverTheirOrder) {
  OffscreenGL gl(16);
  ASSERT_TRUE(gl.isValid()) << "no OpenGL context";
  std::unique_ptr<TriMesh<float>> flat = torus(40, 20), upright = torus(40, 20);
  for (int v = 0; v < upright->getNumVertices(); ++v) { // in the xz plane, through the other's hole
    Vector<float>& p = upright->vertex(v);
    p = point3(p[0] + 3.0f, p[2], p[1]);
  }
  flat->computeNormals();
  upright->computeNormals();
  const QColor red(230, 40, 40, 190), blue(40, 90, 230, 160);
  const auto painterOf = [](const TriMesh<float>& mesh, const QColor& color) {
    auto painter = std::make_unique<TriMeshPainterGL<float>>();
    painter->setShape(mesh);
    ShapePainterAttributesGL attributes = painter->getAttributes();
    attributes.setColor(Vector<int>(std::vector<int>{color.red(), color.green(), color.blue()}));
    attributes.setOpacity(float(color.alpha()));
    painter->setAttributes(attributes);
    return painter;
  };
  const auto redPainter = painterOf(*flat, red), bluePainter = painterOf(*upright, blue);
  SortedTrianglesPainter sorted({{flat.get(), red}, {upright.get(), blue}});
  const auto picture = [](const std::vector<PainterGL<float>*>& painters,
                          const OffscreenRendererGL::Options& how) {
    ViewerSceneGL scene;
    scene.setPainters(painters);
    scene.updateBoundingBox();
    scene.setBackground(uniform(250, 250, 250));
    scene.setSceneBoxShown(false);
    scene.setScaleBarShown(false);
    Pose pose;
    pose.setRotation(point3(50, 30, 0));
    pose.setAmbientLight(80);
    pose.setDiffuseLight(200);
    scene.setPose(pose);
    scene.glInitialize();
    return OffscreenRendererGL::render(scene, 160, 120, how);
  };
  OffscreenRendererGL::Options whole, strips, transparent;
  strips.stripPixels = 160 * 25;
  transparent.transparent = true;
  for (const OffscreenRendererGL::Options& how : {whole, strips, transparent}) {
    const QImage reference = picture({&sorted}, how);
    for (const auto& painters : {std::vector<PainterGL<float>*>{redPainter.get(), bluePainter.get()},
                                 std::vector<PainterGL<float>*>{bluePainter.get(), redPainter.get()}}) {
      const QImage frame = picture(painters, how);
      EXPECT_LT(differingPixels(frame, reference), 160 * 120 / 200)
          << saveFrame(frame, "sorted") << saveFrame(reference, "reference");
      if (how.transparent) {
        EXPECT_EQ(frame.pixelColor(0, 0).alpha(), 0);
      }
    }
  }
}

// A fixed bug: a canvas moved to another window drew with the default lights of its new context.
TEST_F(CanvasTest, ReparentedCanvasSendsItsLightsToItsNewContext) {
  auto canvas = flatView({});
  canvas->setDiffuseLight(51);
  canvas->grabFramebuffer();
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

// The eye stands 7 - strength scales from the scene centre; zoom narrows the frustum, panning moves it.
TEST_F(CanvasTest, PerspectiveFrustumSurroundsTheSceneAtTheEyeDistanceAndFollowsPanningAndZoom) {
  BlockPainter model(0, 0, 0, 2, 4, 4, 0, 0, 0); // centre (1, 2, 2), scale 0.6 x 6
  ViewerCanvasGL canvas;
  canvas.resize(80, 80);
  canvas.addPainter(model);
  canvas.fitSceneBox();
  const double s = 0.6 * 6.0;
  // strength, zoom, panning; the frustum's centre and half side, the eye distance in scales
  for (const auto& [strength, zoom, panX, panY, cx, cy, r, k] :
       {std::make_tuple(2.0f, 100, 0, 0, 0.0, 0.0, s, 5.0),
        {3.0f, 50, 20, 10, -0.6 * s, -0.3 * s, 2 * s, 4.0}}) { // zoom 0.5: panning factor 3
    ProjectionGL projection;
    projection.setPerspectiveStrength(strength);
    canvas.setProjection(projection);
    canvas.setZoom(zoom);
    canvas.setTranslation(Vector<int>(std::vector<int>{panX, panY}));
    canvas.grabFramebuffer();
    canvas.makeCurrent();
    expectMatrix(GL_PROJECTION_MATRIX, frustum(cx - r, cx + r, cy - r, cy + r, k * s - s, k * s + s));
    expectMatrix(GL_MODELVIEW_MATRIX, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -1, -2, -2 - k * s, 1});
    EXPECT_EQ(canvas.getPose().getTranslation(), Vector<int>(std::vector<int>{panX, panY}));
  }
}

TEST_F(CanvasTest, BackgroundIsSavedForTheNextCanvasAndAnUnreadableOneReadsAsBlack) {
  QSettings().setValue("viewerCanvas/background/color", "not a colour");
  ViewerCanvasGL blank;
  EXPECT_EQ(blank.getBackground().getColor(), Vector<int>(std::vector<int>{0, 0, 0, 255}));
  EXPECT_TRUE(blank.getBackground().isGradientEnabled()); // no saved flag: gradient
  EXPECT_EQ(blank.view().boxColor[0], 255);               // white box on black
  blank.setBackground(uniform(200, 10, 20));
  ViewerCanvasGL next;
  EXPECT_EQ(next.getBackground().getColor(), Vector<int>(std::vector<int>{200, 10, 20, 255}));
  EXPECT_FALSE(next.getBackground().isGradientEnabled());
  EXPECT_EQ(next.view().boxColor[0], 0); // black box on a light background
}

// A hundred times: a mesh and an image painter painted, then deleted with no context, another one or
// the canvas's own current. Each list and texture is deleted once, in the canvas's context.
TEST_F(CanvasTest, PaintersDeletedAnywhereLeaveNoListOrTextureAlive) {
  auto mesh = torus(8, 6);
  const Image picture(4, 4, 8);
  ViewerCanvasGL canvas;
  OffscreenGL other;
  GLCallRecorder recorder(true);
  for (int k = 0; k < 100; ++k) {
    auto surface = std::make_unique<TriMeshPainterGL<float>>();
    surface->setShape(*mesh);
    auto image = std::make_unique<ImagePainterGL<float>>();
    image->setImage(picture);
    canvas.setPainters({surface.get(), image.get()});
    canvas.grabFramebuffer();
    canvas.removePainters();
    k % 3 == 0 ? canvas.doneCurrent() : k % 3 == 1 ? other.clear() : canvas.makeCurrent();
    surface.reset();
    image.reset();
  }
  canvas.grabFramebuffer(); // the next paint deletes what waited for the canvas's context
  canvas.makeCurrent();
  for (const auto& [made, deleted, isAlive] :
       {std::make_tuple("glGenLists", "glDeleteLists", &glIsList),
        std::make_tuple("glGenTextures", "glDeleteTextures", &glIsTexture)}) {
    ASSERT_EQ(recorder.count(made), 100) << made;
    EXPECT_EQ(recorder.count(deleted), 100) << deleted;
    for (const GLCall& call : recorder.named(made)) EXPECT_FALSE(isAlive(static_cast<GLuint>(call.args[1])));
    for (const GLCall& call : recorder.named(deleted)) EXPECT_EQ(call.context, canvas.context());
  }
  for (const GLCall& call : recorder.calls()) ASSERT_NE(call.context, nullptr) << call.name;
}

TEST(ColorBar, PutsFourToEightTicksAtRoundValues) {
  const struct {
    double minimum, maximum;
    std::vector<std::string> labels;
  } cases[] = {
      {0, 10, {"0", "2", "4", "6", "8", "10"}},
      {0, 1, {"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}},
      {-3.7, 12.2, {"-2", "0", "2", "4", "6", "8", "10", "12"}},
      {0.0013, 0.0091, {"0.002", "0.004", "0.006", "0.008"}},
      {130, 1000, {"200", "400", "600", "800", "1000"}},
      {-0.25, 0.25, {"-0.2", "-0.1", "0.0", "0.1", "0.2"}},
      {5, 5, {"5"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.minimum) + " " + std::to_string(c.maximum));
    const std::vector<double> ticks = ColorBarGL::ticks(c.minimum, c.maximum);
    const double step = ticks.size() > 1 ? ticks[1] - ticks[0] : 0;
    std::vector<std::string> labels;
    for (double tick : ticks) labels.push_back(ColorBarGL::tickLabel(tick, step));
    EXPECT_EQ(labels, c.labels);
  }
}

// Under the viewer's start lights (ambient 80, diffuse 128, specular 128) a line, which faces the light,
// shows the colour chosen for it, not a highlight-whitened one.
TEST_F(CanvasTest, LinesShowTheirChosenColourUnderTheStartLights) {
  Curve<float> line(3, 2, 0, 0, true);
  line[0] = point3(-1, 0, 0);
  line[1] = point3(1, 0, 0);
  CurvePainterGL<float> painter;
  painter.setShape(line);
  ShapePainterAttributesGL attributes = painter.getAttributes();
  attributes.setColor(Vector<int>(std::vector<int>{0, 0, 255}));
  attributes.setLineWidth(6);
  painter.setAttributes(attributes);
  auto canvas = flatView({&painter});
  canvas->setAmbientLight(80);
  canvas->setDiffuseLight(128);
  canvas->setSpecularLight(128);
  EXPECT_TRUE(pixelNear(canvas->grabFramebuffer(), 40, 48, QColor(0, 0, 255), 8));
}

// Landmarks picked with Z on a real canvas: the front surface under the cursor, nothing over empty
// space, Control+Z and clearing, meshes that leave the canvas, and the ".vx" file written.
#include "viewer/LandmarksDelegate.h"

#include "geometry/TriMesh.h"
#include "rendering/TriMeshPainterGL.h"
#include "tests/support/MeshFixtures.h"
#include "tests/support/TestFiles.h"
#include "viewer/ShapeViewerPainterGL.h"
#include "viewer/ViewerCanvasGL.h"

#include <QCursor>
#include <QSettings>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

// A square sheet over [-1, 1]^2 on the plane z = height + slope * x, two triangles.
std::unique_ptr<TriMesh<float>> sheet(float height, float slope) {
  auto mesh = makeMesh(
      {{-1, -1, height - slope}, {1, -1, height + slope}, {1, 1, height + slope}, {-1, 1, height - slope}},
      {{0, 1, 2}, {0, 2, 3}});
  mesh->computeNormals();
  return mesh;
}

// A shown 200 x 200 canvas with a landmark picker, the meshes given to it through viewer painters.
struct PickingCanvas {
  PickingCanvas() {
    QSettings().clear();
    canvas.resize(200, 200);
    canvas.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&canvas));
  }
  ShapeViewerPainterGL& add(std::unique_ptr<TriMesh<float>> mesh) {
    auto proxy = new TriMeshPainterGL<float>();
    proxy->setShape(*mesh);
    painters.push_back(std::make_unique<ShapeViewerPainterGL>());
    painters.back()->setProxy(proxy);
    painters.back()->keepShape(std::move(mesh));
    canvas.addPainter(*painters.back());
    canvas.initializeGL();
    canvas.grabFramebuffer(); // paints: picks use the matrices of the last paint
    return *painters.back();
  }
  void turn(float degreesAboutY) {
    Vector<float> rotation(3);
    rotation.setZeros();
    rotation[1] = degreesAboutY;
    canvas.setRotation(rotation);
    canvas.grabFramebuffer();
  }
  // Z (or Control+Z) with the mouse cursor over a canvas position, as the user presses it.
  void press(QPoint at, Qt::KeyboardModifiers keys = Qt::NoModifier) {
    QCursor::setPos(canvas.mapToGlobal(at));
    QTest::keyClick(&canvas, Qt::Key_Z, keys);
  }
  int count() const { return picker.getLandmarks() ? picker.getLandmarks()->getNumVertices() : 0; }
  Vector<float> last() const { return picker.getLandmarks()->vertex(count() - 1); }

  ViewerCanvasGL canvas;
  LandmarksDelegate picker{&canvas};
  std::vector<std::unique_ptr<ShapeViewerPainterGL>> painters;
};

} // namespace

// Z marks the surface point under the cursor nearest to the viewer, whichever mesh it belongs to.
TEST(LandmarkPicking, MarksTheFrontSurfaceUnderTheCursor) {
  const struct {
    const char* name;
    std::vector<float> heights; // one tilted sheet per height, slope 0.25
    float turn;                 // degrees about the vertical axis
    QPoint at;
    int picked;
    float height; // of the sheet that must be hit
  } cases[] = {
      {"centre of one sheet", {0.2f}, 0, {100, 100}, 1, 0.2f},
      {"off centre", {0.2f}, 0, {70, 130}, 1, 0.2f},
      {"empty space", {0.2f}, 0, {2, 2}, 0, 0},
      {"front of two", {-0.5f, 0.5f}, 0, {110, 90}, 1, 0.5f},
      {"front of two, other order", {0.5f, -0.5f}, 0, {110, 90}, 1, 0.5f},
      {"turned round, the other is in front", {0.5f, -0.5f}, 180, {110, 90}, 1, -0.5f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PickingCanvas scene;
    for (float height : c.heights) scene.add(sheet(height, 0.25f));
    scene.turn(c.turn);
    scene.press(c.at);
    ASSERT_EQ(scene.count(), c.picked);
    if (c.picked == 0) continue;
    const Vector<float> p = scene.last();
    EXPECT_NEAR(p[2], c.height + 0.25f * p[0], 1e-5f); // on the surface that was hit
    // Under the cursor: the point projects back to where the cursor was.
    EXPECT_LT(std::abs(p[0] - (c.turn == 0 ? 1 : -1) * (c.at.x() - 100) / 100.0f * 1.8f), 1.0f);
    EXPECT_GT((p[1] - 0) * (100 - c.at.y()), -1e-3f);
  }
}

// Control+Z removes the last mark, clearing removes all, a mesh gone from the canvas is no longer
// hit (marks on it stay), and the file holds the marks in order with ".vx" appended.
TEST(LandmarkPicking, UndoesClearsForgetsRemovedMeshesAndSaves) {
  PickingCanvas scene;
  ShapeViewerPainterGL& front = scene.add(sheet(0.5f, 0));
  scene.add(sheet(-0.5f, 0));
  const QPoint at[] = {{60, 60}, {100, 100}, {140, 120}};
  for (const QPoint& p : at) scene.press(p);
  ASSERT_EQ(scene.count(), 3);
  scene.press({100, 100}, Qt::ControlModifier);
  EXPECT_EQ(scene.count(), 2);
  EXPECT_EQ(scene.canvas.getPainters().size(), 3u); // the two meshes and the marks

  TemporaryDirectory dir;
  scene.picker.saveLandmarks(dir.file("marks"));
  const Vertices<float> saved(dir.file("marks.vx"));
  ASSERT_EQ(saved.getNumVertices(), 2);
  for (int v = 0; v < 2; ++v)
    for (int i = 0; i < 3; ++i) EXPECT_EQ(saved.vertex(v)[i], scene.picker.getLandmarks()->vertex(v)[i]);

  scene.canvas.removePainter(front);
  EXPECT_EQ(scene.picker.numQueries(), 1);
  scene.press({100, 100});
  ASSERT_EQ(scene.count(), 3);
  EXPECT_FLOAT_EQ(scene.last()[2], -0.5f); // the sheet behind is hit now

  scene.picker.clearLandmarks();
  EXPECT_EQ(scene.count(), 0);
  EXPECT_EQ(scene.canvas.getPainters().size(), 1u);
  scene.press({100, 100}, Qt::ControlModifier); // nothing to undo
  scene.picker.saveLandmarks(dir.file("none"));
  EXPECT_EQ(readFile(dir.file("none.vx")), "");
}

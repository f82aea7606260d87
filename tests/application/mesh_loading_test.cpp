// Loading meshes into the program: quad meshes get their caps and optional colours, triangle meshes
// their optional colours, whose failures are reported without stopping the loading.
#include "application/ShapeViewerMainWindow.h"
#include "application/ShapeViewerMediator.h"
#include "geometry/QuadMesh.h"
#include "geometry/TriMesh.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QSettings>

#include <iostream>
#include <sstream>

namespace {

// A closed quad mesh of 2 rows of 4 vertices, and a triangle mesh of 4 vertices and 2 triangles.
const char* const quadMeshText =
    "# 4\n# 3\n# 2\n\n\n# 4\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n\n\n# 4\n0 0 1\n1 0 1\n1 1 1\n0 1 1\n";
const char* const openQuadMeshText = "# 5\n# 3\n# 2\n\n\n# 2\n0 0 0\n1 0 0\n\n\n# 2\n0 0 1\n1 0 1\n";
const char* const quadColoursText =
    "# 4\n# 3\n# 2\n\n\n# 4\n255 0 0\n0 255 0\n0 0 255\n9 9 9\n\n\n# 4\n1 2 3\n4 5 6\n7 8 9\n10 11 12\n";
const char* const narrowQuadColoursText =
    "# 4\n# 3\n# 2\n\n\n# 3\n1 1 1\n2 2 2\n3 3 3\n\n\n# 3\n1 1 1\n2 2 2\n3 3 3\n";
const char* const triMeshText = "# 8\n# 3\n# 4\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n# 2\n0 1 2\n0 2 3\n# 0\n";
const char* const triColoursText = "# 8\n# 3\n# 4\n255 0 0\n0 255 0\n0 0 255\n7 7 7\n# 0\n# 0\n";
const char* const shortTriColoursText = "# 8\n# 3\n# 3\n255 0 0\n0 255 0\n0 0 255\n# 0\n# 0\n";
const char* const greyTriColoursText = "# 8\n# 1\n# 4\n10\n20\n30\n40\n# 0\n# 0\n";
const char* const greyQuadColoursText =
    "# 4\n# 2\n# 2\n\n\n# 4\n1 1\n2 2\n3 3\n4 4\n\n\n# 4\n1 1\n2 2\n3 3\n4 4\n";

class ErrorCapture {
public:
  ErrorCapture() : _old(std::cerr.rdbuf(_text.rdbuf())) {}
  ~ErrorCapture() { std::cerr.rdbuf(_old); }
  std::string text() const { return _text.str(); }

private:
  std::ostringstream _text;
  std::streambuf* _old;
};

class MeshLoadingTest : public testing::Test {
protected:
  void SetUp() override {
    QSettings().clear();
    _window = new ShapeViewerMainWindow();
    Vector<float> one(3);
    one.setOnes();
    _window->setScaling(one);
  }
  void TearDown() override {
    delete _window;
    QSettings().clear();
  }

  QString file(const std::string& name, const std::string& text) {
    writeFile(_dir.file(name), text);
    return QString::fromStdString(_dir.file(name));
  }

  const Shape<float>& lastShape() const {
    return _window->mediator()->getShape(_window->mediator()->numShapes() - 1);
  }
  const QuadMesh<float>& lastQuadMesh() const { return dynamic_cast<const QuadMesh<float>&>(lastShape()); }
  const TriMesh<float>& lastTriMesh() const { return dynamic_cast<const TriMesh<float>&>(lastShape()); }

  TemporaryDirectory _dir;
  QPointer<ShapeViewerMainWindow> _window;
};

} // namespace

TEST_F(MeshLoadingTest, AClosedQuadMeshGetsBothCaps) {
  _window->openShapeFile(file("tube.qm", quadMeshText));
  ASSERT_EQ(_window->mediator()->numShapes(), 1);
  EXPECT_TRUE(lastQuadMesh().hasAllCaps());
  EXPECT_FALSE(lastQuadMesh().hasVertexColors());
  _window->openShapeFile(file("band.qm", openQuadMeshText));
  EXPECT_FALSE(lastQuadMesh().hasAnyCap());
}

TEST_F(MeshLoadingTest, CapsAreScaledWithTheirMesh) {
  Vector<float> scaling(3);
  scaling.fill(10);
  _window->setScaling(scaling);
  _window->openShapeFile(file("tube.qm", quadMeshText));
  const QuadMesh<float>& mesh = lastQuadMesh();
  EXPECT_EQ(mesh[0].vertex(2), Vector<float>(std::vector<float>{10, 10, 0}));
  EXPECT_EQ((*mesh.getBeginCap())[0].vertex(2), mesh[0].vertex(2));
  EXPECT_EQ((*mesh.getEndCap())[0].vertex(1), mesh[1].vertex(1));
}

TEST_F(MeshLoadingTest, AQuadMeshTakesTheColoursOfItsCompanion) {
  file("tube.vcolors.qm", quadColoursText);
  _window->openShapeFile(file("tube.qm", quadMeshText));
  ASSERT_TRUE(lastQuadMesh().hasVertexColors());
  EXPECT_EQ((*lastQuadMesh().getVertexColors())[1].vertex(3), Vector<int>(std::vector<int>{10, 11, 12}));
}

TEST_F(MeshLoadingTest, EveryQmInTheNameLeadsToTheCompanion) {
  file("a.vcolors.qm.b.vcolors.qm", quadColoursText);
  _window->openShapeFile(file("a.qm.b.qm", quadMeshText));
  EXPECT_TRUE(lastQuadMesh().hasVertexColors());
}

TEST_F(MeshLoadingTest, AQuadMeshCompanionThatDoesNotFitIsIgnoredSilently) {
  ErrorCapture errors;
  file("tube.vcolors.qm", narrowQuadColoursText);
  _window->openShapeFile(file("tube.qm", quadMeshText));
  file("other.vcolors.qm", "garbage");
  _window->openShapeFile(file("other.qm", quadMeshText));
  _window->openShapeFile(file("alone.qm", quadMeshText));
  EXPECT_EQ(_window->mediator()->numShapes(), 3);
  EXPECT_FALSE(lastQuadMesh().hasVertexColors());
  EXPECT_EQ(errors.text(), "");
}

TEST_F(MeshLoadingTest, ATriangleMeshTakesTheColoursOfItsCompanion) {
  file("square.vcolors.tm", triColoursText);
  ErrorCapture errors;
  _window->openShapeFile(file("square.tm", triMeshText));
  ASSERT_TRUE(lastTriMesh().hasVertexColors());
  EXPECT_EQ(lastTriMesh().getVertexColors()->vertex(3), Vector<int>(std::vector<int>{7, 7, 7}));
  EXPECT_EQ(errors.text(), "");
}

TEST_F(MeshLoadingTest, ATriangleMeshCompanionOfTheWrongSizeIsReportedAndTheMeshLoaded) {
  file("square.vcolors.tm", shortTriColoursText);
  ErrorCapture errors;
  _window->openShapeFile(file("square.tm", triMeshText));
  ASSERT_EQ(_window->mediator()->numShapes(), 1);
  EXPECT_FALSE(lastTriMesh().hasVertexColors());
  EXPECT_EQ(errors.text(), "Exception raised:\n"
                           "  What: The number of colors differs from the number of vertices\n"
                           "  Where: void TriMesh<T>::setVertexColors(TriMesh<int>*)\n"
                           "  Calls: [0] void TriMesh<T>::setVertexColors(TriMesh<int>*)\n\n");
}

TEST_F(MeshLoadingTest, CompanionsWithFewerThanThreeComponentsAreNotApplied) {
  // Drawing reads red, green and blue from every colour vertex.
  file("square.vcolors.tm", greyTriColoursText);
  file("tube.vcolors.qm", greyQuadColoursText);
  ErrorCapture errors;
  _window->openShapeFile(file("tube.qm", quadMeshText));
  ASSERT_EQ(_window->mediator()->numShapes(), 1);
  EXPECT_FALSE(lastQuadMesh().hasVertexColors());
  EXPECT_EQ(errors.text(), "") << "quad mesh companions fail silently";
  _window->openShapeFile(file("square.tm", triMeshText));
  ASSERT_EQ(_window->mediator()->numShapes(), 2);
  EXPECT_FALSE(lastTriMesh().hasVertexColors());
  EXPECT_NE(errors.text().find("  What: Vertex colours need three components\n"), std::string::npos);
  EXPECT_NE(errors.text().find("  Filename: " + _dir.file("square.vcolors.tm") + "\n"), std::string::npos);
}

TEST_F(MeshLoadingTest, AMissingTriangleMeshCompanionIsReportedAndTheMeshLoaded) {
  ErrorCapture errors;
  _window->openShapeFile(file("square.tm", triMeshText));
  ASSERT_EQ(_window->mediator()->numShapes(), 1);
  EXPECT_FALSE(lastTriMesh().hasVertexColors());
  EXPECT_NE(errors.text().find("Exception raised:\n"), std::string::npos);
  EXPECT_NE(errors.text().find("  Filename: " + _dir.file("square.vcolors.tm") + "\n"), std::string::npos);
  EXPECT_EQ(errors.text().find("Exception raised:\n", 1), std::string::npos) << "one report only";
}

// Loading meshes into the program: quad meshes get their caps and optional colours, triangle meshes
// their optional colours, whose failures are reported without stopping the loading.
#include "geometry/QuadMesh.h"
#include "geometry/TriMesh.h"
#include "tests/application/MainWindowFixture.h"

namespace {

// A closed quad mesh of 2 rows of 4 vertices, and a triangle mesh of 4 vertices and 2 triangles.
const char* const quadMeshText =
    "# 4\n# 3\n# 2\n\n\n# 4\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n\n\n# 4\n0 0 1\n1 0 1\n1 1 1\n0 1 1\n";
const char* const quadColoursText =
    "# 4\n# 3\n# 2\n\n\n# 4\n255 0 0\n0 255 0\n0 0 255\n9 9 9\n\n\n# 4\n1 2 3\n4 5 6\n7 8 9\n10 11 12\n";
const char* const triMeshText = "# 8\n# 3\n# 4\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n# 2\n0 1 2\n0 2 3\n# 0\n";

class MeshLoadingTest : public MainWindowFixture {
protected:
  const QuadMesh<float>& lastQuadMesh() const { return dynamic_cast<const QuadMesh<float>&>(lastShape()); }
  const TriMesh<float>& lastTriMesh() const { return dynamic_cast<const TriMesh<float>&>(lastShape()); }

  // Loads the quad or triangle mesh `mesh` with the companion `colours` beside it (none if null);
  // returns what was reported.
  std::string load(const std::string& mesh, const std::string& companion, const char* colours) {
    if (colours) file(companion, colours);
    ErrorCapture errors;
    const bool quad = mesh.compare(mesh.size() - 3, 3, ".qm") == 0;
    _window->openShapeFile(file(mesh, quad ? quadMeshText : triMeshText));
    return errors.text();
  }
};

} // namespace

TEST_F(MeshLoadingTest, AClosedQuadMeshGetsBothCapsScaledWithIt) {
  _window->setScaling(scaling(10));
  _window->openShapeFile(file("tube.qm", quadMeshText));
  ASSERT_EQ(numShapes(), 1);
  const QuadMesh<float>& mesh = lastQuadMesh();
  EXPECT_TRUE(mesh.hasAllCaps());
  EXPECT_FALSE(mesh.hasVertexColors());
  EXPECT_EQ(mesh[0].vertex(2), Vector<float>(std::vector<float>{10, 10, 0}));
  EXPECT_EQ((*mesh.getBeginCap())[0].vertex(2), mesh[0].vertex(2));
  EXPECT_EQ((*mesh.getEndCap())[0].vertex(1), mesh[1].vertex(1));
  _window->openShapeFile(file("band.qm", "# 5\n# 3\n# 2\n\n\n# 2\n0 0 0\n1 0 0\n\n\n# 2\n0 0 1\n1 0 1\n"));
  EXPECT_FALSE(lastQuadMesh().hasAnyCap());
}

TEST_F(MeshLoadingTest, AQuadMeshTakesTheColoursOfItsCompanionWhichFailsSilently) {
  EXPECT_EQ(load("tube.qm", "tube.vcolors.qm", quadColoursText), "");
  ASSERT_TRUE(lastQuadMesh().hasVertexColors());
  EXPECT_EQ((*lastQuadMesh().getVertexColors())[1].vertex(3), Vector<int>(std::vector<int>{10, 11, 12}));
  EXPECT_EQ(load("a.qm.b.qm", "a.vcolors.qm.b.vcolors.qm", quadColoursText), "");
  EXPECT_TRUE(lastQuadMesh().hasVertexColors()) << "every qm in the name leads to the companion";

  const std::pair<std::string, const char*> unfit[] = {
      {"narrow", "# 4\n# 3\n# 2\n\n\n# 3\n1 1 1\n2 2 2\n3 3 3\n\n\n# 3\n1 1 1\n2 2 2\n3 3 3\n"},
      // drawing reads red, green and blue from every colour vertex
      {"grey", "# 4\n# 2\n# 2\n\n\n# 4\n1 1\n2 2\n3 3\n4 4\n\n\n# 4\n1 1\n2 2\n3 3\n4 4\n"},
      {"garbage", "garbage"},
      {"alone", nullptr}};
  for (const auto& [name, colours] : unfit) {
    EXPECT_EQ(load(name + ".qm", name + ".vcolors.qm", colours), "") << name;
    EXPECT_FALSE(lastQuadMesh().hasVertexColors()) << name;
  }
  EXPECT_EQ(numShapes(), 6);
}

TEST_F(MeshLoadingTest, ATriangleMeshTakesTheColoursOfItsCompanionOrIsLoadedWithAReport) {
  EXPECT_EQ(
      load("square.tm", "square.vcolors.tm", "# 8\n# 3\n# 4\n255 0 0\n0 255 0\n0 0 255\n7 7 7\n# 0\n# 0\n"),
      "");
  ASSERT_TRUE(lastTriMesh().hasVertexColors());
  EXPECT_EQ(lastTriMesh().getVertexColors()->vertex(3), Vector<int>(std::vector<int>{7, 7, 7}));

  EXPECT_EQ(load("short.tm", "short.vcolors.tm", "# 8\n# 3\n# 3\n255 0 0\n0 255 0\n0 0 255\n# 0\n# 0\n"),
            "Exception raised:\n"
            "  What: The number of colors differs from the number of vertices\n"
            "  Where: void TriMesh<T>::setVertexColors(TriMesh<int>*)\n"
            "  Calls: [0] void TriMesh<T>::setVertexColors(TriMesh<int>*)\n\n");
  EXPECT_FALSE(lastTriMesh().hasVertexColors());

  // Drawing reads red, green and blue from every colour vertex.
  std::string errors = load("grey.tm", "grey.vcolors.tm", "# 8\n# 1\n# 4\n10\n20\n30\n40\n# 0\n# 0\n");
  EXPECT_FALSE(lastTriMesh().hasVertexColors());
  EXPECT_NE(errors.find("  What: Vertex colours need three components\n"), std::string::npos) << errors;
  EXPECT_NE(errors.find("  Filename: " + _dir.file("grey.vcolors.tm") + "\n"), std::string::npos);

  errors = load("alone.tm", "", nullptr);
  EXPECT_FALSE(lastTriMesh().hasVertexColors());
  EXPECT_EQ(errors.rfind("Exception raised:\n"), 0u) << "one report only:\n" << errors;
  EXPECT_NE(errors.find("  Filename: " + _dir.file("alone.vcolors.tm") + "\n"), std::string::npos);
  EXPECT_EQ(numShapes(), 4) << "every mesh is loaded";
}

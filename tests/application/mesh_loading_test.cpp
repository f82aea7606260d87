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
  struct Case {
    const char* mesh;
    const char* companion; // written next to the mesh unless null
    const char* colours;
    bool applied;
  };
  const Case cases[] = {
      {"tube.qm", "tube.vcolors.qm", quadColoursText, true},
      {"a.qm.b.qm", "a.vcolors.qm.b.vcolors.qm", quadColoursText, true}, // every qm in the name
      {"narrow.qm", "narrow.vcolors.qm",
       "# 4\n# 3\n# 2\n\n\n# 3\n1 1 1\n2 2 2\n3 3 3\n\n\n# 3\n1 1 1\n2 2 2\n3 3 3\n", false},
      // drawing reads red, green and blue from every colour vertex
      {"grey.qm", "grey.vcolors.qm",
       "# 4\n# 2\n# 2\n\n\n# 4\n1 1\n2 2\n3 3\n4 4\n\n\n# 4\n1 1\n2 2\n3 3\n4 4\n", false},
      {"garbage.qm", "garbage.vcolors.qm", "garbage", false},
      {"alone.qm", nullptr, nullptr, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mesh);
    if (c.companion) file(c.companion, c.colours);
    ErrorCapture errors;
    _window->openShapeFile(file(c.mesh, quadMeshText));
    EXPECT_EQ(errors.text(), "");
    ASSERT_EQ(lastQuadMesh().hasVertexColors(), c.applied);
    if (c.applied) {
      EXPECT_EQ((*lastQuadMesh().getVertexColors())[1].vertex(3), Vector<int>(std::vector<int>{10, 11, 12}));
    }
  }
  EXPECT_EQ(numShapes(), 6);
}

TEST_F(MeshLoadingTest, ATriangleMeshTakesTheColoursOfItsCompanionOrIsLoadedWithAReport) {
  struct Case {
    const char* name;
    const char* colours; // the companion's text, none if null
    std::vector<std::string> reported;
  };
  const Case cases[] = {
      {"square", "# 8\n# 3\n# 4\n255 0 0\n0 255 0\n0 0 255\n7 7 7\n# 0\n# 0\n", {}},
      {"short",
       "# 8\n# 3\n# 3\n255 0 0\n0 255 0\n0 0 255\n# 0\n# 0\n",
       {"Exception raised:\n"
        "  What: The number of colors differs from the number of vertices\n"
        "  Where: void TriMesh<T>::setVertexColors(TriMesh<int>*)\n"
        "  Calls: [0] void TriMesh<T>::setVertexColors(TriMesh<int>*)\n\n"}},
      // drawing reads red, green and blue from every colour vertex
      {"grey",
       "# 8\n# 1\n# 4\n10\n20\n30\n40\n# 0\n# 0\n",
       {"  What: Vertex colours need three components\n",
        "  Filename: " + _dir.file("grey.vcolors.tm") + "\n"}},
      {"alone", nullptr, {"  Filename: " + _dir.file("alone.vcolors.tm") + "\n"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.colours) file(std::string(c.name) + ".vcolors.tm", c.colours);
    ErrorCapture errors;
    _window->openShapeFile(file(std::string(c.name) + ".tm", triMeshText));
    ASSERT_EQ(lastShape().getName(), c.name);
    ASSERT_EQ(lastTriMesh().hasVertexColors(), c.reported.empty());
    if (c.reported.empty()) {
      EXPECT_EQ(lastTriMesh().getVertexColors()->vertex(3), Vector<int>(std::vector<int>{7, 7, 7}));
      EXPECT_EQ(errors.text(), "");
      continue;
    }
    EXPECT_EQ(errors.text().rfind("Exception raised:\n"), 0u) << "one report only:\n" << errors.text();
    for (const std::string& part : c.reported) {
      if (part.rfind("Exception raised:", 0) == 0) {
        EXPECT_EQ(errors.text(), part); // the whole report
      } else {
        EXPECT_NE(errors.text().find(part), std::string::npos) << part;
      }
    }
  }
}

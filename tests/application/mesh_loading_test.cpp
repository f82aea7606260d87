// Loading quad meshes into the program: they get their caps and optional colours, whose failures are
// silent.
#include "geometry/QuadMesh.h"
#include "tests/application/MainWindowFixture.h"

namespace {

// A closed quad mesh of 2 rows of 4 vertices.
const char* const quadMeshText =
    "# 4\n# 3\n# 2\n\n\n# 4\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n\n\n# 4\n0 0 1\n1 0 1\n1 1 1\n0 1 1\n";
const char* const quadColoursText =
    "# 4\n# 3\n# 2\n\n\n# 4\n255 0 0\n0 255 0\n0 0 255\n9 9 9\n\n\n# 4\n1 2 3\n4 5 6\n7 8 9\n10 11 12\n";

class MeshLoadingTest : public MainWindowFixture {
protected:
  const QuadMesh<float>& lastQuadMesh() const { return dynamic_cast<const QuadMesh<float>&>(lastShape()); }

  // Loads the quad mesh `mesh` with the companion `colours` beside it (none if null);
  // returns what was reported.
  std::string load(const std::string& mesh, const std::string& companion, const char* colours) {
    if (colours) file(companion, colours);
    ErrorCapture errors;
    _window->openShapeFile(file(mesh, quadMeshText));
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

// Triangle mesh files: round trips, normals read or computed, and hostile files refused cleanly.
#include "geometry/TriMesh.h"

#include "tests/support/ExpectException.h"
#include "tests/support/MeshFixtures.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {
// A square of two triangles over four vertices, followed by the given normals part.
std::string squareFile(const std::string& triangles, const std::string& normals) {
  return "# 8\n# 3\n# 4\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n" + triangles + normals;
}
} // namespace

TEST(TriMeshFiles, WriteAndReadGiveTheSameMesh) {
  auto ring = torus(10, 6);
  ring->computeNormals();
  std::stringstream text;
  ring->write(text);
  const std::string first = text.str();
  TriMesh<float> copy;
  EXPECT_EQ(copy.read(text), 8);
  std::ostringstream again;
  copy.write(again);
  EXPECT_EQ(again.str(), first);
  EXPECT_EQ(copy.star(7), ring->star(7));
}

TEST(TriMeshFiles, WriteTheLayoutLineByLine) {
  auto mesh = makeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}});
  std::ostringstream withoutNormals;
  mesh->write(withoutNormals);
  EXPECT_EQ(withoutNormals.str(), "# 8\n# 3\n# 3\n0 0 0\n1 0 0\n0 1 0\n# 1\n0 1 2\n# 0\n");
  mesh->computeNormals();
  std::ostringstream withNormals;
  mesh->write(withNormals);
  EXPECT_EQ(withNormals.str(), "# 8\n# 3\n# 3\n0 0 0\n1 0 0\n0 1 0\n# 1\n0 1 2\n# 1\n0 0 1\n0 0 1\n0 0 1\n");
}

TEST(TriMeshFiles, ReadNormalsAreNormalised) {
  std::istringstream text(squareFile("# 2\n0 1 2\n0 2 3\n", "# 1\n0 0 2\n0 0 0.5\n0 3 4\n0 0 0\n"));
  TriMesh<float> mesh;
  mesh.read(text);
  EXPECT_EQ(mesh.getNormal(0), Vector<float>(std::vector<float>{0, 0, 1}));
  EXPECT_EQ(mesh.getNormal(1), Vector<float>(std::vector<float>{0, 0, 1}));
  EXPECT_NEAR(mesh.getNormal(2)[1], 0.6f, 1e-6f);
  EXPECT_EQ(mesh.getNormal(3), Vector<float>(std::vector<float>{0, 0, 0}));
}

TEST(TriMeshFiles, NormalsAreComputedWhenTheFileHasNone) {
  for (const char* ending : {"# 0\n", ""}) {
    std::istringstream text(squareFile("# 2\n0 1 2\n0 2 3\n", ending));
    TriMesh<float> mesh;
    mesh.read(text);
    ASSERT_TRUE(mesh.hasNormals()) << ending;
    for (int v = 0; v < 4; ++v) EXPECT_EQ(mesh.getNormal(v), Vector<float>(std::vector<float>{0, 0, 1}));
  }
}

TEST(TriMeshFiles, SaveAndLoadThroughTheShapeLoaderWithTheFileName) {
  TemporaryDirectory directory;
  const std::string path = directory.file("square");
  makeMesh({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {{0, 1, 2}, {0, 2, 3}})->save(path, false);
  std::unique_ptr<Shape<float>> shape(Shape<float>::loadFile(path + ".tm"));
  auto* mesh = dynamic_cast<TriMesh<float>*>(shape.get());
  ASSERT_NE(mesh, nullptr);
  EXPECT_EQ(mesh->getName(), "square");
  EXPECT_EQ(mesh->getNumTriangles(), 2);
  std::unique_ptr<Shape<int>> colours(Shape<int>::loadFile(path + ".tm"));
  EXPECT_NE(dynamic_cast<TriMesh<int>*>(colours.get()), nullptr);
}

TEST(TriMeshHostileFiles, AreRefusedWithAClearMessage) {
  const std::pair<std::string, const char*> files[] = {
      {squareFile("# 2\n0 1 2\n0 2 4\n", "# 0\n"), "A triangle names a vertex that does not exist"},
      {squareFile("# 2\n0 1 2\n0 -1 3\n", "# 0\n"), "A triangle names a vertex that does not exist"},
      {"# 8\n# 3\n# 0\n# 1\n0 0 0\n# 0\n", "A triangle names a vertex that does not exist"},
      {squareFile("# 2000000000\n0 1 2\n", "# 0\n"), "The triangle count does not fit in the file"},
      {squareFile("# -3\n0 1 2\n", "# 0\n"), "The triangle count does not fit in the file"},
      {squareFile("# 3\n0 1 2\n0 2 3\n", ""), "The file holds fewer triangles than it announces"},
      {squareFile("# 2\n0 1 2\n0 x 3\n", "# 0\n"), "The file holds fewer triangles than it announces"},
      {squareFile("# 2\n0 1 2\n0 2 3\n", "# 1\n0 0 1\n0 0 1\n"), "The normals are announced but missing"},
      {squareFile("# 2\n0 1 2\n0 2 3\n", "# 1\n"), "The normals are announced but missing"},
      {"# 8\n# 2\n# 3\n0 0\n1 0\n0 1\n# 1\n0 1 2\n# 0\n",
       "A triangle mesh has three coordinates per vertex"}};
  TemporaryDirectory directory;
  const std::string path = directory.file("hostile.tm");
  for (const auto& file : files) {
    SCOPED_TRACE(file.first);
    writeFile(path, file.first);
    const FileFormatError error = expectThrow<FileFormatError>([&] { TriMesh<float> mesh(path); });
    EXPECT_EQ(error.getWhere(), "int TriMesh<T>::read(istream&)");
    EXPECT_EQ(error.getWhat(), file.second);
    EXPECT_EQ(error.getFilename(), path);
    EXPECT_THROW(std::unique_ptr<Shape<float>>(Shape<float>::loadFile(path)), FileFormatError);
  }
}

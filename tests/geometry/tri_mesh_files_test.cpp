// Triangle mesh files: the layout written, and hostile files refused cleanly.
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

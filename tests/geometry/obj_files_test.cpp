// ".obj" files through the program's own readers: Wavefront OBJ statements and MNI surfaces in one
// table, files as other programs write them, and damaged files refused naming the file and the line.
#include "geometry/ShapeFormats.h"
#include "geometry/TriMesh.h"

#include "tests/support/ExpectException.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// Each shape as "name kind vertices [triangles area [rgb of the last vertex]]", joined by "|"; or
// the text of the FileFormatError, which must name the file.
std::string summary(const std::string& path) {
  std::ostringstream out;
  try {
    for (const auto& shape : ShapeFormats<float>::load(path)) {
      out << (out.tellp() > 0 ? "|" : "") << shape->getName() << ' ' << shape->getShapeTypeName() << ' '
          << shape->getNumVertices();
      const auto* mesh = dynamic_cast<const TriMesh<float>*>(shape.get());
      if (!mesh) continue;
      out << ' ' << mesh->getNumTriangles() << " area " << mesh->area();
      for (int i = 0; i < 3 && mesh->hasVertexColors(); ++i)
        out << (i ? " " : " rgb ") << mesh->getVertexColors()->vertex(mesh->getNumVertices() - 1)[i];
      // Every vertex of these outward surfaces around (0.5, 0.5, 0.5) has an outward normal.
      for (int v = 0; v < mesh->getNumVertices() && mesh->volume() != 0; ++v)
        EXPECT_GT(
            (mesh->vertex(v) - Vector<float>(std::vector<float>(3, 0.5f))).scalarProduct(mesh->getNormal(v)),
            0);
    }
  } catch (const FileFormatError& error) {
    EXPECT_EQ(error.getFilename(), path);
    return error.getWhat();
  }
  return out.str();
}

std::string summaryOf(const std::string& name, const std::string& content) {
  TemporaryDirectory dir;
  writeFile(dir.file(name), content);
  return summary(dir.file(name));
}

const std::string triangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";

} // namespace

// Every statement form the reader knows, every way a line can be written, and what is refused.
TEST(ObjFiles, ReadEveryStatementFormAndRefuseDamageNamingTheLine) {
  const std::string minimalMni = "P 0.3 0.3 0.4 10 1 3\n0 0 0  1 0 0  0 1 0\n0 0 1  0 0 1  0 0 1\n1\n"
                                 "0 1 1 1 1\n3\n0 1 ";
  const std::pair<std::string, std::string> cases[] = {
      {"# comment\r\nmtllib a.mtl\r\nv 0 0 0\r\n\tv\t1 0 0 1\r\nv 0 1 0 # top\r\nvt 0 0\r\nvn 0 0 1\r\n"
       "s 1\r\nusemtl red\r\n\r\nf 1 2/1 3//1\r\nf 1/1/1 -2 -1\r\nl 1 2\r\n",
       "t TriMesh 3 2 area 1"},
      {"v 0 0 0 1 0 0\nv 1 0 0 0 1 0\nv 0 1 0 0 0.5 1\nf 1 2 3", "t TriMesh 3 1 area 0.5 rgb 0 128 255"},
      {"f 1 \\\n 2 \\\r\n3\n" + triangle, "t TriMesh 3 1 area 0.5"},
      // An L whose first corner sees not all of it: a fan from there would overlap.
      {"v 2 1 0\nv 1 1 0\nv 1 2 0\nv 0 2 0\nv 0 0 0\nv 2 0 0\nf 1 2 3 4 5 6\n", "t TriMesh 6 4 area 3"},
      {triangle + "v 0 0 1\n", "t Vertices 4"},
      // "o" goes on with its earlier part, "g" starts a new one whenever the group changes.
      {triangle +
           "v 0 0 1\nf 1 3 2\ng side\nf 1 2 4\no top\np 4\ng base\nf 1 3 2\ng side\nf 1 4 3\no top\np 1\n",
       "t:defaultobject TriMesh 3 1 area 0.5|t:side TriMesh 3 1 area 0.5|t:top Vertices 2|"
       "t:base TriMesh 3 1 area 0.5|t:side TriMesh 3 1 area 0.5"},
      {triangle + "f 0 1 2\n", "Line 4: a vertex number is 0; vertices are numbered from 1"},
      {triangle + "\nf 1 2 4\n", "Line 5: vertex number 4 names none of the file's 3 vertices"},
      {"v 0 0 0\nf -2 -1 -1\n", "Line 2: vertex number -2 counts back past the first vertex"},
      {triangle + "f 1 2\n", "Line 4: a face has 2 corners; it needs at least 3"},
      {triangle + "f 1 1/x 1\n", "Line 4: \"x\" is not part of a face corner"},
      {"v 0 nan 0\n", "Line 1: \"nan\" is not a finite number"},
      {"v 0 0 -inf\n", "Line 1: \"-inf\" is not a finite number"},
      {"v 0 0 1e999\n", "Line 1: \"1e999\" is not a finite number"},
      {"v 0 0 1.5x\n", "Line 1: \"1.5x\" is not a number"},
      {"v 1 2 3 4 5\n",
       "Line 1: a vertex has 5 numbers instead of 3 (x y z), 4 (x y z w) or 6 (x y z r g b)"},
      {"# only\n\n# comments\n", "Line 3: the file holds no vertex"},
      {std::string(17 << 20, '#'), "Line 1: the line is longer than 16 MiB"},
      {minimalMni + "2\n", "t TriMesh 3 1 area 0.5"},
      {minimalMni + "3\n", "Line 7: index 3 names no point"},
      {minimalMni + "2 2\n", "Line 7: the file goes on after the index list"},
      {"P 0.3 0.3 0.4 10 1 900000000\n0 0 0\n", "Line 1: the file is too short for the points"},
      {"L 0.3 0.3 0.4 10 1 3\n",
       "Line 1: the file holds an MNI object of class L, not a polygon surface (P)"},
      {std::string("p\x9a\x99\x99\x3e", 5), "Binary MNI surface files are not read"},
  };
  for (const auto& [content, expected] : cases) {
    SCOPED_TRACE(content.substr(0, 60));
    EXPECT_EQ(summaryOf("t.obj", content), expected);
  }
}

// Files as other programs write them: a cube's faces in two groups, a tetrahedron by relative vertex
// numbers, and an MNI surface with a colour per point, its numbers spread over lines.
TEST(ObjFiles, ReadFilesOfOtherPrograms) {
  std::string cube = "# cube\nmtllib cube.mtl\n";
  for (int v = 0; v < 8; ++v)
    cube +=
        "v " + std::to_string(v & 1) + " " + std::to_string(v >> 1 & 1) + " " + std::to_string(v >> 2) + "\n";
  cube += "vn 0 0 1\ng box\nusemtl grey\nf 1//1 3//1 4//1 2//1\nf 1 2 6 5\nf 2 4 8 6\nf 4 3 7 8\nf 3 1 5 7\n"
          "g lid\nf 5 6 8 7\n";
  EXPECT_EQ(summaryOf("cube.obj", cube), "cube:box TriMesh 8 10 area 5|cube:lid TriMesh 4 2 area 1");
  // As converters write it: each face's corners, then the face by relative numbers; coincident
  // vertices are welded into one.
  const std::string corners[] = {"1 1 1", "1 0 0", "0 1 0", "0 0 1"},
                    faces[] = {"1 2 3", "1 4 2", "1 3 4", "2 4 3"};
  std::string absolute, relative;
  for (int v = 0; v < 4; ++v) absolute += "v " + corners[v] + "\n";
  for (const std::string& face : faces) {
    absolute += "f " + face + "\n";
    for (const char number : face) relative += number == ' ' ? "" : "v " + corners[number - '1'] + "\n";
    relative += "f -3 -2 -1\n";
  }
  EXPECT_EQ(summaryOf("tetra.obj", relative), summaryOf("tetra.obj", absolute));
  EXPECT_EQ(summaryOf("tetra.obj", absolute), "tetra TriMesh 4 4 area 3.4641");
  const std::string mni = "P 0.3 0.3 0.4 10 1\n4\n1 1 1 1 0 0\n0 1 0 0 0\n1\n"
                          "1 1 1 1 0 0 0 1 0\n0 0 1\n4 2\n1 0 0 1 0 1 0 1 0 0 1 1\n"
                          "0.2 0.5 1 1\n3 6 9 12\n0 1 2 0 3 1\n0 2 3 1 3 2\n";
  EXPECT_EQ(summaryOf("surface.obj", mni), "surface TriMesh 4 4 area 3.4641 rgb 51 128 255");
}

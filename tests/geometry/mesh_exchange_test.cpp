// Mesh files of other programs: what each format imports as, round trips through every writer,
// and hostile files refused with an error that names them.
#include "foundation/Exception.h"
#include "geometry/MeshExport.h"
#include "geometry/MeshImport.h"
#include "geometry/QuadMesh.h"
#include "geometry/ShapeFormats.h"

#include "tests/geometry/ShapeTesting.h"
#include "tests/support/MeshFixtures.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <tuple>

namespace {

using Writer = std::function<void(const std::vector<const Shape<float>*>&, const std::string&)>;

// The bytes of a file that a writer makes of the shape.
std::string written(const Writer& write, const Shape<float>& shape) {
  TemporaryDirectory dir;
  write({&shape}, dir.file("shape"));
  return readFile(dir.file("shape"));
}

// A triangle (0,0,0) (1,0,0) (0,1,0) placed by two nodes, the second moved by 5 along x.
const char* const gltfScene =
    R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0,1]}],
"nodes":[{"mesh":0},{"mesh":0,"translation":[5,0,0]}],
"meshes":[{"name":"leaf","primitives":[{"attributes":{"POSITION":0}}]}],
"buffers":[{"byteLength":36,"uri":"data:application/octet-stream;base64,AAAAAAAAAAAAAAAAAACAPwAAAAAAAAAAAAAAAAAAgD8AAAAA"}],
"bufferViews":[{"buffer":0,"byteLength":36}],
"accessors":[{"bufferView":0,"componentType":5126,"count":3,"type":"VEC3","min":[0,0,0],"max":[1,1,0]}]})";

const std::string asciiPlyHeader = "ply\nformat ascii 1.0\nelement vertex ",
                  xyz = "property float x\nproperty float y\nproperty float z\n";

std::vector<std::unique_ptr<Shape<float>>> importText(const TemporaryDirectory& dir, const std::string& name,
                                                      const std::string& content) {
  writeFile(dir.file(name), content);
  return ShapeFormats<float>::load(dir.file(name));
}

// The triangles of a mesh as corner coordinates (and colours), each triangle turned to start at its
// smallest corner, sorted: equal for two meshes that differ only in vertex numbering.
std::vector<std::array<float, 18>> canonicalTriangles(const TriMesh<float>& mesh) {
  std::vector<std::array<float, 18>> list;
  for (int t = 0; t < mesh.getNumTriangles(); ++t) {
    std::array<std::array<float, 6>, 3> corners{};
    for (int k = 0; k < 3; ++k) {
      const int v = mesh.getTriangleVertices(t)[k];
      for (int i = 0; i < 3; ++i) corners[k][i] = mesh.vertex(v)[i];
      for (int i = 0; i < 3 && mesh.hasVertexColors(); ++i)
        corners[k][3 + i] = float(mesh.getVertexColors()->vertex(v)[i]);
    }
    std::rotate(corners.begin(), std::min_element(corners.begin(), corners.end()), corners.end());
    std::array<float, 18> flat{};
    for (int k = 0; k < 3; ++k) std::copy(corners[k].begin(), corners[k].end(), flat.begin() + 6 * k);
    list.push_back(flat);
  }
  std::sort(list.begin(), list.end());
  return list;
}

std::unique_ptr<TriMesh<float>> colouredTetrahedron() {
  auto mesh = tetrahedron();
  auto colours = std::make_unique<TriMesh<int>>(3, 4);
  colours->fromVector(vectorOf<int>({255, 0, 0, 0, 255, 0, 0, 0, 255, 17, 128, 250}));
  mesh->setVertexColors(colours.release());
  return mesh;
}

} // namespace

// Each format imports as the shapes it holds: kinds, counts, welding, colours and names.
TEST(MeshImport, ReadsEachFormatIntoItsShapes) {
  const std::string faces = "property list uchar int vertex_indices\nend_header\n";
  const std::string tetra = asciiPlyHeader + ("4\n" + xyz) + "element face 4\n" + faces +
                            "1 1 1\n1 -1 -1\n-1 1 -1\n-1 -1 1\n3 0 1 2\n3 0 3 1\n3 0 2 3\n3 1 3 2\n";
  const std::string rgb = asciiPlyHeader + ("3\n" + xyz) +
                          "property uchar red\nproperty uchar green\nproperty uchar blue\nelement face 1\n" +
                          faces + "0 0 0 255 0 0\n1 0 0 0 255 0\n0 1 0 10 20 30\n3 0 1 2\n";
  const std::string cloud = asciiPlyHeader + ("3\n" + xyz) + "end_header\n0 0 0\n1 0 0\n0 1 0\n";
  const std::string cubeOfQuads = "OFF\n8 6 0\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n0 0 1\n1 0 1\n1 1 1\n0 1 1\n"
                                  "4 0 3 2 1\n4 4 5 6 7\n4 0 1 5 4\n4 1 2 6 5\n4 2 3 7 6\n4 3 0 4 7\n";
  const std::string twoObjects =
      "o first\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\no second\nv 5 5 5\nv 6 5 5\np 5 6\n";
  const std::string square =
      "solid square\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nvertex 1 1 0\n"
      "endloop\nendfacet\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 1 0\n"
      "vertex 0 1 0\nendloop\nendfacet\nendsolid square\n";
  // Per shape: its name, kind and vertex count, its triangles and the colour of its last vertex.
  const std::tuple<const char*, std::string, std::string> cases[] = {
      {"tetra.ply", tetra, "tetra TriMesh 4 4"},
      {"cube.off", cubeOfQuads, "cube TriMesh 8 12"},
      {"rgb.ply", rgb, "rgb TriMesh 3 1 10 20 30"},
      {"two.obj", twoObjects, "two:first TriMesh 4 2|two:second Vertices 2 5 5 5 6 5 5"},
      {"cloud.ply", cloud, "cloud Vertices 3 0 0 0 1 0 0 0 1 0"},
      {"tetra.stl", written(writeStlFile<float>, *tetrahedron()), "tetra TriMesh 4 4"},
      {"square.stl", square, "square TriMesh 4 2"},
      {"scene.gltf", gltfScene, "scene:leaf TriMesh 3 1|scene:leaf TriMesh 3 1"}};
  for (const auto& [file, content, expected] : cases) {
    SCOPED_TRACE(file);
    TemporaryDirectory dir;
    std::string summary;
    const auto numbers = [&](const auto& v) {
      for (int i = 0; i < v.getSize(); ++i) summary += " " + std::to_string(static_cast<int>(v[i]));
    };
    for (const auto& shape : importText(dir, file, content)) {
      summary += (summary.empty() ? "" : "|") + shape->getName() + " " + shape->getShapeTypeName() + " " +
                 std::to_string(shape->getNumVertices());
      const auto* mesh = dynamic_cast<const TriMesh<float>*>(shape.get());
      if (!mesh) {
        numbers(shape->toVector());
        continue;
      }
      summary += " " + std::to_string(mesh->getNumTriangles());
      if (mesh->hasVertexColors()) numbers(mesh->getVertexColors()->vertex(mesh->getNumVertices() - 1));
      ASSERT_TRUE(mesh->hasNormals());
      // Closed solids centred on the origin or the cube's centre: every normal points outwards.
      for (int v = 0; v < mesh->getNumVertices() && mesh->getNumTriangles() > 2; ++v)
        EXPECT_GT((mesh->vertex(v) - mesh->cog()).scalarProduct(mesh->getNormal(v)), 0) << "vertex " << v;
    }
    EXPECT_EQ(summary, expected);
  }
  TemporaryDirectory dir; // the second node moves its copy of the triangle by 5 along x
  const auto placed = importText(dir, "scene.gltf", gltfScene);
  EXPECT_EQ(placed[1]->toVector(), vectorOf<float>({5, 0, 0, 6, 0, 0, 5, 1, 0}));
  EXPECT_EQ(static_cast<const TriMesh<float>&>(*placed[1]).area(), 0.5f) << "both copies have the face";
}

// Every writer's file reads back to the same triangles, coordinates and colours (where the format
// holds colours); PLY and OFF keep the vertex numbering, so that writing again gives the same bytes.
TEST(MeshExport, EveryFormatReadsBackToTheSameMesh) {
  const std::tuple<std::string, Writer, bool, bool> cases[] = {{"out.ply", writePlyFile<float>, true, true},
                                                               {"out.obj", writeObjFile<float>, true, false},
                                                               {"out.stl", writeStlFile<float>, false, false},
                                                               {"out.off", writeOffFile<float>, true, true}};
  const auto original = colouredTetrahedron();
  for (const auto& [file, write, keepsColours, keepsNumbering] : cases) {
    SCOPED_TRACE(file);
    TemporaryDirectory dir;
    write({original.get()}, dir.file(file));
    const auto shapes = ShapeFormats<float>::load(dir.file(file));
    ASSERT_EQ(shapes.size(), 1u);
    const auto& back = dynamic_cast<const TriMesh<float>&>(*shapes[0]);
    const auto expected = sharingCopyOf(*original);
    if (!keepsColours) expected->setVertexColors(nullptr);
    EXPECT_EQ(canonicalTriangles(back), canonicalTriangles(*expected));
    if (!keepsNumbering) continue;
    write({&back}, dir.file("again-" + file));
    EXPECT_EQ(readFile(dir.file("again-" + file)), readFile(dir.file(file)));
  }
}

TEST(MeshExport, WritesPointSetsQuadMeshesAndSeveralObjectsButRefusesWhatTheFormatCannotHold) {
  TemporaryDirectory dir;
  Vertices<float> cloud(3, 3);
  cloud.fromVector(vectorOf<float>({0, 0.5f, -1, 1, 0.5f, -1, 2, 0.5f, -1}));
  cloud.setName("cloud");
  QuadMesh<float> tube(3, 2, 4, 0, 0, false);
  tube.fromVector(vectorOf<float>({0, 0, 0, 1, 0, 0, 2, 0, 0, 3, 0, 0, 0, 0, 1, 1, 0, 1, 2, 0, 1, 3, 0, 1}));
  tube.setName("tube");
  writeObjFile<float>({&cloud, &tube}, dir.file("both.obj"));
  const auto both = ShapeFormats<float>::load(dir.file("both.obj"));
  ASSERT_EQ(both.size(), 2u);
  EXPECT_EQ(both[0]->getName() + " " + both[1]->getName(), "both:cloud both:tube");
  EXPECT_EQ(both[0]->toVector(), cloud.toVector());
  const auto triangles = [](const Shape<float>& mesh) {
    return dynamic_cast<const TriMesh<float>&>(mesh).getNumTriangles();
  };
  EXPECT_EQ(triangles(*both[1]), 8); // a closed tube of 2 rings of 4
  auto holed = tetrahedron();
  holed->removeTriangle(0);
  writeOffFile<float>({holed.get()}, dir.file("holed.off"));
  EXPECT_EQ(triangles(*importMeshFile<float>(dir.file("holed.off"))[0]), 3)
      << "removed triangles are not written";
  writePlyFile<float>({&cloud}, dir.file("cloud.ply"));
  EXPECT_EQ(importMeshFile<float>(dir.file("cloud.ply"))[0]->toVector(), cloud.toVector());
  // The integer instantiation writes and reads the same way.
  auto integral = std::make_unique<TriMesh<int>>(3, 3);
  integral->fromVector(vectorOf<int>({0, 0, 1, 1, 7, 1, 2, 14, 1}));
  integral->addTriangle(0, 1, 2);
  writeOffFile<int>({integral.get()}, dir.file("int.off"));
  EXPECT_EQ(importMeshFile<int>(dir.file("int.off"))[0]->toVector(), integral->toVector());
  // What a format cannot hold and what cannot be written are refused with an error naming the file.
  const auto mesh = tetrahedron();
  const std::vector<std::tuple<Writer, std::vector<const Shape<float>*>, std::string>> cases = {
      {writePlyFile<float>, {mesh.get(), mesh.get()}, "two.ply"},
      {writeStlFile<float>, {mesh.get(), mesh.get()}, "two.stl"},
      {writeStlFile<float>, {&cloud}, "points.stl"},
      {writeOffFile<float>, {&cloud}, "points.off"},
      {writeObjFile<float>, {}, "none.obj"},
      {writePlyFile<float>, {mesh.get()}, "missing/out.ply"}};
  for (const auto& [write, shapes, name] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(expectThrow<FileWriteError>([&] { write(shapes, dir.file(name)); }).getFilename(),
              dir.file(name));
  }
}

// Damaged and hostile files end in a FileError naming the file, never in a crash or a huge allocation.
TEST(MeshImport, RefusesHostileFilesNamingThem) {
  const std::string plyHeader = "ply\nformat binary_little_endian 1.0\nelement vertex ";
  std::string sparseScene = gltfScene; // an accessor without a view, zeros but for one sparse value
  const std::string accessor = R"({"bufferView":0,"componentType":5126,"count":3)";
  sparseScene.replace(sparseScene.find(accessor), accessor.size(),
                      R"({"componentType":5126,"count":300000000,"sparse":{"count":1,)"
                      R"("indices":{"bufferView":0,"componentType":5125},"values":{"bufferView":0}})");
  const std::pair<std::string, std::string> cases[] = {
      {"garbage.ply", "this is not a mesh at all"},
      {"empty.obj", ""},
      {"nothing.gltf", R"({"asset":{"version":"2.0"},"scenes":[{"nodes":[]}],"scene":0})"},
      {"far.ply", asciiPlyHeader + "3\n" + xyz +
                      "element face 1\nproperty list uchar int vertex_indices\nend_header\n0 0 0\n1 0 0\n0 1 "
                      "0\n3 0 1 3\n"},
      {"nan.off", "OFF\n3 1 0\n0 0 0\nnan 0 0\n0 1 0\n3 0 1 2\n"},
      {"huge.ply", plyHeader + "2000000000\n" + xyz + "end_header\n\x01\x02\x03"},
      {"huge.stl", std::string(80, ' ') + std::string("\xff\xff\xff\x7f", 4) + std::string(50, '\x01')},
      {"truncated.obj", "v 0 0 0\nv 1 0 0\nf 1 2 3"},
      {"truncated.off", "OFF\n3 2 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n"},
      {"many.off", "OFF\n900000000 900000000 0\n0 0 0\n"},
      {"long-list.ply",
       asciiPlyHeader + "3\n" + xyz +
           "element face 1\nproperty list uint int vertex_indices\nend_header\n0 0 0\n1 0 0\n0 1 0\n"
           "300000000 0 1 2\n"},
      {"long-list-binary.ply",
       plyHeader + "1\n" + xyz + "element face 1\nproperty list int int vertex_indices\nend_header\n" +
           std::string(12, '\0') + std::string("\x00\xa3\xe1\x11", 4) + std::string(12, '\0')},
      {"two-vertex-elements.ply",
       asciiPlyHeader + "1\n" + xyz + "element vertex 2\n" + xyz + "end_header\n0 0 0\n" + "0 0 0\n1 1 1\n"},
      {"texcoord-only.ply",
       asciiPlyHeader + "1\n" + xyz +
           "element face 1\nproperty list uchar float texcoord\nend_header\n0 0 0\n6 0 0 1 0 0 1\n"},
      {"long-json.glb", std::string("glTF\x02\0\0\0\x18\0\0\0\xdc\x01\x00\x5bJSON{}  ", 24)},
      {"sparse.gltf", sparseScene},
  };
  for (const auto& [file, content] : cases) {
    SCOPED_TRACE(file);
    TemporaryDirectory dir;
    formatErrorNaming(dir.file(file), [&] { importText(dir, file, content); });
  }
  TemporaryDirectory dir;
  // OBJ statements in files named glTF are read as OBJ, their content being recognised first; a JSON
  // object that no glTF reader takes would be tried on every reader of the library.
  const std::string lines = "v 0 0 0\nv 1 0 0\nv 0 1 0\nl 1\nl 2\nl 1 2 3\n";
  for (const char* file : {"l.gltf", "l.glb"}) EXPECT_EQ(importText(dir, file, lines).size(), 1u);
  EXPECT_NE(formatErrorNaming(dir.file("o.gltf"), [&] { importText(dir, "o.gltf", R"({"v":"solid"})"); })
                .find("suffix names"),
            std::string::npos);
  EXPECT_THROW(importMeshFile<float>(dir.file("absent.ply")), FileReadError);
}

// Loading chooses the format by extension (any case) or by the shape header; export by extension.
TEST(ShapeFormats, LoadingAndExportChooseTheFormatOfTheFile) {
  TemporaryDirectory dir;
  const auto mesh = tetrahedron();
  ShapeFormats<float>::save({mesh.get()}, dir.file("TETRA.OFF"));
  EXPECT_EQ(ShapeFormats<float>::load(dir.file("TETRA.OFF"))[0]->getNumVertices(), 4);
  EXPECT_EQ(ShapeFormats<float>::loadShape(dir.file("TETRA.OFF"))->getName(), "TETRA");
  writeObjFile<float>({mesh.get(), mesh.get()}, dir.file("two.obj"));
  EXPECT_EQ(ShapeFormats<float>::load(dir.file("two.obj")).size(), 2u);
  EXPECT_THROW(ShapeFormats<float>::loadShape(dir.file("two.obj")), FileFormatError);
  mesh->save(dir.file("own.txt"), true); // the header, not the name, says that it is a triangle mesh
  const auto own = ShapeFormats<int>::load(dir.file("own.txt.tm"));
  EXPECT_EQ(own[0]->getShapeType(), shapeTypeCode(ShapeType::TriMesh));
  EXPECT_EQ(own[0]->getName(), "own.txt");
  writeFile(dir.file("own.ply.vx"), "# 6\n# 3\n# 1\n1 2 3\n");
  EXPECT_EQ(ShapeFormats<float>::load(dir.file("own.ply.vx"))[0]->getShapeType(),
            shapeTypeCode(ShapeType::Vertices));
  EXPECT_THROW(ShapeFormats<float>::save({mesh.get()}, dir.file("mesh.gltf")), FileWriteError);
  EXPECT_THROW(ShapeFormats<float>::save({mesh.get()}, dir.file("mesh.tm")), FileWriteError);
}

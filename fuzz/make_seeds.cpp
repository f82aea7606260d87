// Writes the seed corpora of the fuzz harnesses with the project's own writers and test fixtures:
// make_seeds <folder> fills <folder>/<harness>/ with one small valid input per kind of file, each
// with the selector byte its harness expects in front. The committed corpora in fuzz/corpus come
// from here.
#include "foundation/DataSet.h"
#include "geometry/Curve.h"
#include "geometry/CurveStack.h"
#include "geometry/MeshExport.h"
#include "geometry/QuadMesh.h"
#include "geometry/VertexStack.h"
#include "geometry/Vertices.h"
#include "imaging/VoxelMatrix.h"
#include "tests/imaging/TiffFixtures.h"
#include "tests/support/MeshFixtures.h"
#include "tests/support/TestFiles.h"

#include <QByteArray>

#include <tiffio.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

void writeSeed(const fs::path& folder, const std::string& name, char selector, const std::string& bytes) {
  fs::create_directories(folder);
  writeFile((folder / name).string(), std::string(1, selector) + bytes);
}

template <class Shape> std::string shapeText(const Shape& shape) {
  std::ostringstream out;
  shape.write(out);
  return out.str();
}

// Vertex i of a shape's server gets (i, 2i, 3i) plus a small offset per coordinate.
template <class Shape> void fillVertices(Shape& shape) {
  VertexServer<float>& server = *shape.getServer();
  for (int i = 0; i < server.getSize(); ++i)
    for (int d = 0; d < 3; ++d) server.vertex(i)[d] = static_cast<float>(i * (d + 1)) + 0.25f * d;
}

void imageSeeds(const fs::path& folder, const TemporaryDirectory& scratch) {
  auto tiffSeed = [&](const std::string& name, char selector, const TiffLayout& layout, int pages) {
    const std::string path = scratch.file(name);
    writeTiff(path, layout, pages);
    writeSeed(folder, name, selector, readFile(path));
  };
  TiffLayout grey;
  grey.description = "ImageJ=1.47v\nimages=2\nslices=2\nunit=micron\nspacing=0.5\nloop=false";
  grey.xResolution = grey.yResolution = 4;
  grey.resolutionUnit = RESUNIT_NONE;
  tiffSeed("stack8.tif", 0, grey, 2);
  TiffLayout deep;
  deep.bitsPerSample = 16;
  deep.lzw = true;
  tiffSeed("lzw16.tif", 0, deep, 1);
  TiffLayout rgb;
  rgb.samplesPerPixel = 3;
  rgb.photometric = PHOTOMETRIC_RGB;
  tiffSeed("rgb.tif", 0, rgb, 1);
  TiffLayout palette;
  palette.photometric = PHOTOMETRIC_PALETTE;
  tiffSeed("palette.tif", 0, palette, 1);
  TiffLayout lsm;
  lsm.lsmBlock = lsmInformationBlock(4, 3, 2, 1, 0.5e-6, 0.5e-6, 1e-6);
  tiffSeed("scan.lsm", 1, lsm, 2);
  writeSeed(folder, "raw.img", 2, "0000" + noiseBytes(60));
}

void voxelMatrixSeeds(const fs::path& folder, const TemporaryDirectory& scratch) {
  auto save = [&](const std::string& name, char selector, const auto& matrix, bool layout0) {
    const std::string path = scratch.file(name);
    if (layout0)
      matrix.saveUnderFormat0(path, true);
    else
      matrix.save(path, true);
    writeSeed(folder, name, selector, readFile(path));
  };
  VoxelMatrix<float> floats(3, 2, 2);
  for (int k = 0; k < 2; ++k)
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 2; ++j) floats(i, j, k) = static_cast<float>(i + 2 * j + 4 * k) / 3;
  save("float.vm", 2, floats, false);
  save("float0.vm", 2, floats, true);
  save("uchar.vm", 0, floats.toType<unsigned char>(), false);
  save("int.vm", 1, floats.toType<int>(), false);
  save("double.vm", 3, floats.toType<double>(), false);
}

void dataSetSeeds(const fs::path& folder, const TemporaryDirectory& scratch) {
  const char separators[] = {'\t', ',', ';', ' '};
  for (int s = 0; s < 4; ++s) {
    DataSet data;
    data.setFieldSeparator(separators[s]);
    for (int row = 0; row < 3; ++row) {
      data.setValue<int>("count", row, row * 7);
      data.setValue<float>("size", row, 0.5f * static_cast<float>(row) + 1e-3f);
      data.setValue<std::string>("name", row, "cell " + std::to_string(row));
    }
    const std::string path = scratch.file("set" + std::to_string(s) + ".df");
    data.save(path, true);
    writeSeed(folder, "set" + std::to_string(s) + ".df", static_cast<char>(s), readFile(path));
  }
}

void shapeSeeds(const fs::path& folder) {
  Vertices<float> points(3, 4);
  fillVertices(points);
  writeSeed(folder, "points.vx", 0, shapeText(points));
  Curve<float> curve(3, 5, 0, 0, true);
  fillVertices(curve);
  writeSeed(folder, "curve.cv", 1, shapeText(curve));
  VertexStack<float> stack(3, 2, 3);
  fillVertices(stack);
  writeSeed(folder, "stack.vs", 2, shapeText(stack));
  CurveStack<float> curves(3, 3, 4);
  fillVertices(curves);
  writeSeed(folder, "curves.cs", 3, shapeText(curves));
  QuadMesh<float> quads(3, 3, 4);
  fillVertices(quads);
  QuadMesh<int> quadColours(3, 3, 4);
  for (int i = 0; i < quadColours.getNumVertices(); ++i)
    quadColours.getServer()->vertex(i).fill(40 * (i % 6));
  writeSeed(folder, "quads.qm", 4, shapeText(quads) + std::string(1, '\0') + shapeText(quadColours));
  const auto solid = octahedron();
  TriMesh<int> colours(3, solid->getNumVertices());
  for (int i = 0; i < colours.getNumVertices(); ++i) colours.vertex(i).fill(30 * i);
  writeSeed(folder, "octahedron.tm", 5, shapeText(*solid) + std::string(1, '\0') + shapeText(colours));
  writeSeed(folder, "tetrahedron.tm", 5, shapeText(*tetrahedron()));
}

// One triangle as glTF: positions and indices in one buffer, embedded as base64 in the ".gltf" and
// as the binary chunk of the ".glb".
std::string triangleBuffer() {
  const float positions[] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
  const std::uint16_t indices[] = {0, 1, 2, 0}; // the last one pads the buffer to 4 bytes
  std::string bytes(sizeof positions + sizeof indices, '\0');
  std::memcpy(bytes.data(), positions, sizeof positions);
  std::memcpy(bytes.data() + sizeof positions, indices, sizeof indices);
  return bytes;
}

std::string triangleGltf(const std::string& bufferUri) {
  return R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0]}],"nodes":[{"mesh":0}],)"
         R"("meshes":[{"name":"triangle","primitives":[{"attributes":{"POSITION":0},"indices":1}]}],)"
         R"("accessors":[{"bufferView":0,"componentType":5126,"count":3,"type":"VEC3",)"
         R"("min":[0,0,0],"max":[1,1,0]},{"bufferView":1,"componentType":5123,"count":3,"type":"SCALAR"}],)"
         R"("bufferViews":[{"buffer":0,"byteOffset":0,"byteLength":36},)"
         R"({"buffer":0,"byteOffset":36,"byteLength":6}],"buffers":[{"byteLength":44)" +
         bufferUri + "}]}";
}

void appendWord(std::string& bytes, std::uint32_t word) {
  bytes.append(reinterpret_cast<const char*>(&word), sizeof word);
}

// The binary container: header, the JSON chunk padded with blanks, the binary chunk.
std::string triangleGlb() {
  std::string json = triangleGltf("");
  json.append((4 - json.size() % 4) % 4, ' ');
  const std::string buffer = triangleBuffer();
  std::string bytes;
  appendWord(bytes, 0x46546C67); // "glTF"
  appendWord(bytes, 2);
  appendWord(bytes, static_cast<std::uint32_t>(12 + 8 + json.size() + 8 + buffer.size()));
  appendWord(bytes, static_cast<std::uint32_t>(json.size()));
  appendWord(bytes, 0x4E4F534A); // "JSON"
  bytes += json;
  appendWord(bytes, static_cast<std::uint32_t>(buffer.size()));
  appendWord(bytes, 0x004E4942); // "BIN"
  return bytes + buffer;
}

// Selector bytes of the mesh harness: ply, obj, stl, off, gltf, glb.
void meshSeeds(const fs::path& folder, const TemporaryDirectory& scratch) {
  auto coloured = tetrahedron();
  auto colours = std::make_unique<TriMesh<int>>(3, coloured->getNumVertices());
  for (int i = 0; i < colours->getNumVertices(); ++i) colours->vertex(i).fill(60 * i);
  coloured->setVertexColors(colours.release());
  const auto solid = octahedron();
  Vertices<float> points(3, 4);
  fillVertices(points);
  const std::vector<const Shape<float>*> one = {coloured.get()}, two = {coloured.get(), solid.get()};
  const auto seed = [&](const std::string& name, char selector, auto writer,
                        const std::vector<const Shape<float>*>& shapes) {
    const std::string path = scratch.file(name);
    writer(shapes, path);
    writeSeed(folder, name, selector, readFile(path));
  };
  seed("coloured.ply", 0, writePlyFile<float>, one);
  seed("points.ply", 0, writePlyFile<float>, {&points});
  seed("two.obj", 1, writeObjFile<float>, two);
  // What the writer leaves out: groups, polygons, relative numbers, corner forms, continued lines.
  writeSeed(
      folder, "groups.obj", 1,
      "mtllib m.mtl\r\nv 0 0 0 1 0 0\r\nv 1 0 0 0 1 0\r\nv 1 1 0 0 0 1\r\nv 0 1 0 1 1 1\r\n"
      "v 0.5 0.5 1e0 0.5 0.5 0.5\r\nvt 0 0\r\nvn 0 0 1\r\ng base\r\nusemtl a\r\nf 1/1 4/1 3/1 2/1\r\n"
      "g roof\r\ns 1\r\nf -5//1 -4//1 -1//1\r\nf 2/1/1 3/1/1 \\\r\n 5/1/1\r\no tip\r\np 5\r\nl 1 5\r\n");
  // An ASCII MNI surface: a square of two triangles with a colour per point.
  writeSeed(folder, "surface.obj", 1,
            "P 0.3 0.3 0.4 10 1\n4\n0 0 0 1 0 0\n1 1 0 0 1 0\n0 0 1 0 0 1 0 0 1 0 0 1\n2\n2\n"
            "1 0 0 1 0 1 0 1 0 0 1 1 1 1 1 1\n3 6\n0 1 2 0 2 3\n");
  seed("tetrahedron.stl", 2, writeStlFile<float>, one);
  seed("coloured.off", 3, writeOffFile<float>, one);
  const QByteArray base64 = QByteArray::fromStdString(triangleBuffer()).toBase64();
  writeSeed(folder, "triangle.gltf", 4,
            triangleGltf(R"(,"uri":"data:application/octet-stream;base64,)" + base64.toStdString() + "\""));
  writeSeed(folder, "triangle.glb", 5, triangleGlb());
}

// The recogniser's seeds are the other harnesses' files under a name without suffix, so that their
// content alone decides.
void fileKindSeeds(const fs::path& root) {
  for (const char* harness : {"image_fuzzer", "voxel_matrix_fuzzer", "shape_file_fuzzer", "mesh_file_fuzzer"})
    for (const fs::directory_entry& entry : fs::directory_iterator(root / harness))
      writeSeed(root / "file_kind_fuzzer", entry.path().filename().string(), 0,
                readFile(entry.path().string()).substr(1));
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: " << argv[0] << " <corpus folder>\n";
    return 2;
  }
  const fs::path root = argv[1];
  TemporaryDirectory scratch;
  imageSeeds(root / "image_fuzzer", scratch);
  voxelMatrixSeeds(root / "voxel_matrix_fuzzer", scratch);
  dataSetSeeds(root / "data_set_fuzzer", scratch);
  shapeSeeds(root / "shape_file_fuzzer");
  meshSeeds(root / "mesh_file_fuzzer", scratch);
  fileKindSeeds(root);
  return 0;
}

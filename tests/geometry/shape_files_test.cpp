// Shape files: every layout written and read back, the loader's choice of kind, its errors, the
// save rules, unusual white space, and hostile files that must be refused before allocating.
#include "geometry/CurveStack.h"
#include "geometry/QuadMesh.h"
#include "geometry/ShapeFormats.h"
#include "geometry/TriMesh.h"
#include "geometry/VertexIterator.h"
#include "geometry/VertexStack.h"
#include "geometry/Vertices.h"
#include "tests/geometry/ShapeTesting.h"
#include "tests/support/MeshFixtures.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

const char* const threeVertices = "# 6\n# 3\n# 2\n1 2 3\n4.5 -5 6e-07\n";

std::string written(const Shape<float>& shape) {
  std::ostringstream os;
  shape.write(os);
  return os.str();
}

std::unique_ptr<Shape<float>> loaded(const std::string& path) {
  return std::unique_ptr<Shape<float>>(ShapeFormats<float>::loadShape(path));
}

std::unique_ptr<Shape<float>> loadedText(const TemporaryDirectory& dir, const std::string& name,
                                         const std::string& text) {
  writeFile(dir.file(name), text);
  return loaded(dir.file(name));
}

} // namespace

TEST(ShapeFileLayouts, FlatStackAndTriangleMeshFilesAreWrittenByteForByte) {
  Vertices<float> list(3, 2);
  list.fromVector(vectorOf<float>({1, 2, 3, 4.5f, -5, 6e-7f}));
  VertexStack<float> stack(2, 2, 1);
  stack.fromVector(vectorOf<float>({1, 2, 3, 4}));
  auto mesh = makeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}});
  const std::string meshText = "# 8\n# 3\n# 3\n0 0 0\n1 0 0\n0 1 0\n# 1\n0 1 2\n";
  EXPECT_EQ(written(list), threeVertices);
  EXPECT_EQ(written(stack), "# 7\n# 2\n# 2\n\n\n# 1\n1 2\n\n\n# 1\n3 4\n");
  EXPECT_EQ(written(*mesh), meshText + "# 0\n");
  mesh->computeNormals();
  EXPECT_EQ(written(*mesh), meshText + "# 1\n0 0 1\n0 0 1\n0 0 1\n");
}

TEST(ShapeFileLayouts, EveryKindReadsBackWhatItWroteInEveryElementType) {
  TemporaryDirectory dir;
  CurveStack<float> stack(3, 3, 4, 0, 0, true);
  int k = 0;
  for (VertexIterator<float> it(stack); it.current(); ++it, ++k)
    *it.current() = point(k * 1.1f, -k / 3.f, 1e6f * k);
  std::vector<std::unique_ptr<Shape<float>>> shapes;
  shapes.push_back(stack.sharingCopy());
  shapes.emplace_back(new CurveStack<float>(stack, false));
  shapes.emplace_back(new VertexStack<float>());
  shapes.back()->assign(stack); // the levels as a plain stack
  shapes.emplace_back(new Vertices<float>(stack.cat()));
  shapes.emplace_back(new Curve<float>(stack.cat(), true));
  shapes.emplace_back(new Curve<float>(stack.cat(), false));
  shapes.emplace_back(new QuadMesh<float>(stack));
  for (const auto& shape : shapes) {
    const std::string path = dir.file("shape" + std::to_string(shape->getShapeType()));
    shape->save(path);
    auto back = loaded(path + "." + shapeTypeExtension(shape->getShapeType()));
    EXPECT_EQ(back->getShapeType(), shape->getShapeType());
    EXPECT_EQ(written(*back), written(*shape)) << shape->getShapeTypeName();
  }
  // Integer and long double shapes read the same files.
  writeFile(dir.file("colors.vx"), "# 6\n# 3\n# 2\n255 0 12\n1 2 3\n");
  std::unique_ptr<Shape<int>> colors(ShapeFormats<int>::loadShape(dir.file("colors.vx")));
  EXPECT_EQ(colors->toVector(), vectorOf<int>({255, 0, 12, 1, 2, 3}));
  std::unique_ptr<Shape<long double>> wide(ShapeFormats<long double>::loadShape(dir.file("colors.vx")));
  EXPECT_EQ(wide->toVector()[0], 255.0L);
}

TEST(ShapeFileLoading, RefusesUnknownCodesEmptyJunkMissingFilesAndDirectories) {
  TemporaryDirectory dir;
  const std::pair<std::string, const char*> refused[] = {
      {"# 9\n# 3\n# 0\n", "Unknown shape type"},
      {"#-1", "Unknown shape type"},
      {"", "Invalid shape description format"},
      {" \n\t\n", "Invalid shape description format"},
      {std::string("\x7f\x45LF\0\1\2", 7), "Invalid shape description format"}};
  for (const auto& file : refused)
    EXPECT_EQ(expectThrow<FileFormatError>([&] { loadedText(dir, "refused", file.first); }).getWhat(),
              file.second);
  EXPECT_EQ(expectThrow<FileReadError>([&] { loaded(dir.file("absent.vx")); }).getFilename(),
            dir.file("absent.vx"));
  EXPECT_THROW(loaded(dir.path()), FileReadError);
  EXPECT_THROW(Vertices<float> v(dir.path()), FileReadError);
}

TEST(ShapeFileWhiteSpace, AnyWhiteSpaceSeparatesTokensAndAFileOrHeaderCutShortKeepsWhatWasRead) {
  TemporaryDirectory dir;
  const char* texts[] = {
      "# 6\r\n# 3\r\n# 2\r\n1 2 3\r\n4.5 -5 6e-07\r\n",             // CR-LF line ends
      "# 6\n# 3\n# 2\n1 2 3\n4.5 -5 6e-07",                         // no trailing newline
      "#6 #3 #2 1 2 3 4.5 -5 6e-07",                                // one line
      "\n\n  #\t6\n\n#\n3\n#  2\n\n1\t2\v3\f\n+4.5 -5 .6e-6\n\n\n", // blank lines, tabs, signs
      "# 6\n# 3\n# 2\n1 2 3 4.5-5 6e-07\n",                         // numbers touching
  };
  for (const char* text : texts) {
    auto shape = loadedText(dir, "w.vx", text);
    EXPECT_EQ(written(*shape), threeVertices) << "[" << text << "]";
  }
  // A file cut short keeps what was read.
  auto shape = loadedText(dir, "cut.vx", "# 6\n# 3\n# 3\n1 2 3\n4 5 6\n7 8");
  EXPECT_EQ(shape->toVector(), vectorOf<float>({1, 2, 3, 4, 5, 6, 7, 8, 0}));
  auto garbled = loadedText(dir, "garbled.vx", "# 6\n# 3\n# 2\n1 2 x\n4 5 6\n");
  EXPECT_EQ(garbled->toVector(), vectorOf<float>({1, 2, 0, 0, 0, 0}));
  auto stack = loadedText(dir, "cut.vs", "# 7\n# 1\n# 3\n# 2\n1 2\n# 2\n3");
  EXPECT_EQ(stack->toVector(), vectorOf<float>({1, 2, 3, 0}));
  EXPECT_EQ(dynamic_cast<VertexStack<float>&>(*stack)[2].getNumVertices(), 0);
  // A missing or non-numeric header item reads as 0, as a failed stream extraction leaves it.
  Vertices<float> serverless;
  const std::pair<std::string, const char*> files[] = {{"# 6\n# 3\n", "# 6\n# 3\n# 0\n"},
                                                       {"# 6\n# 3\n# x\n1 2 3\n", "# 6\n# 3\n# 0\n"},
                                                       {"# 6\n# 3\n# 0\n", "# 6\n# 3\n# 0\n"},
                                                       {"# 7\n# 3", "# 7\n# 3\n# 0\n"},
                                                       {"# 7\n# 3\n# 0", "# 7\n# 3\n# 0\n"},
                                                       {written(serverless), "# 6\n# 0\n# 0\n"},
                                                       {"#", "# 0\n# 0\n# 0\n"}}; // a missing code reads as 0
  for (const auto& file : files) EXPECT_EQ(written(*loadedText(dir, "short", file.first)), file.second);
}

// Every kind's reader refuses what its file cannot hold, before allocating, naming the file.
TEST(ShapeFileHostile, RefusesCountsTheFileCannotHoldBeforeAllocatingButReadsManyTinyLevels) {
  TemporaryDirectory dir;
  const std::string padding(1000, ' ');
  const std::string square = "# 8\n# 3\n# 4\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n"; // then triangles and normals
  const std::string noVertex = "A triangle names a vertex that does not exist",
                    noFit = "The triangle count does not fit in the file",
                    fewer = "The file holds fewer triangles than it announces",
                    noNormals = "The normals are announced but missing";
  const std::pair<std::string, std::string> cases[] = {
      {"# 6\n# 3\n# 2000000000\n1 2 3\n", "More vertices announced than the file holds"},
      {"# 6\n# 3\n# 2147483647\n1 2 3\n", "More vertices announced than the file holds"},
      {"# 6\n# 3\n# 99999999999999999999\n1 2 3\n", "More vertices announced than the file holds"},
      {"# 6\n# 3\n# -5\n1 2 3\n", "Invalid number of vertices"},
      {"# 6\n# 0\n# 5\n1 2 3\n", "Invalid space dimension"},
      {"# 6\n# -3\n# 0\n", "Invalid space dimension"},
      {"# 6\n# 1000000\n# 1\n1 2 3\n", "Invalid space dimension"},
      {"# 7\n# 3\n# 2000000000\n# 1\n1 2 3\n", "More levels announced than the file holds"},
      {"# 7\n# 3\n# -1\n", "Invalid number of levels"},
      {"# 7\n# 3\n# 2\n# 1\n1 2 3\n# 1000000000\n", "More vertices announced than the file holds"},
      {"# 7\n# 3\n# 1\n# -4\n", "Invalid number of vertices"},
      {"# 2\n# 3\n# 1\n# 700000000\n", "More vertices announced than the file holds"},
      {square + "# 2\n0 1 2\n0 2 4\n# 0\n", noVertex},
      {square + "# 2\n0 1 2\n0 -1 3\n# 0\n", noVertex},
      {"# 8\n# 3\n# 0\n# 1\n0 0 0\n# 0\n", noVertex},
      {square + "# 2000000000\n0 1 2\n# 0\n", noFit},
      {square + "# -3\n0 1 2\n# 0\n", noFit},
      {square + "# 3\n0 1 2\n0 2 3\n", fewer},
      {square + "# 2\n0 1 2\n0 x 3\n# 0\n", fewer},
      {square + "# 2\n0 1 2\n0 2 3\n# 1\n0 0 1\n0 0 1\n", noNormals},
      {square + "# 2\n0 1 2\n0 2 3\n# 1\n", noNormals},
      {"# 8\n# 2\n# 3\n0 0\n1 0\n0 1\n# 1\n0 1 2\n# 0\n", "A triangle mesh has three coordinates per vertex"},
      {"# 4\n# 3\n# 2\n\n\n# 2\n0 0 0\n1 0 0\n\n\n# 1\n0 0 1\n", "The rows of the mesh differ in size"},
  };
  for (const auto& [text, message] : cases) {
    SCOPED_TRACE(text);
    writeFile(dir.file("hostile"), text + padding);
    EXPECT_EQ(formatErrorNaming(dir.file("hostile"), [&] { loaded(dir.file("hostile")); }), message);
  }
  // Many tiny levels fit the file.
  std::string text = "# 7\n# 3\n# 5000\n";
  for (int l = 0; l < 5000; ++l) text += "#0";
  auto stack = loadedText(dir, "tiny levels", text);
  EXPECT_EQ(dynamic_cast<VertexStack<float>&>(*stack).getHeight(), 5000);
  EXPECT_EQ(stack->getNumVertices(), 0);
}

namespace {
// A stream buffer that takes nothing, like a full disk.
struct RefusingBuffer : std::streambuf {
  int overflow(int) override { return traits_type::eof(); }
};
} // namespace

TEST(ShapeFileSaving, RefusesAnExistingFileWithoutOverwriteWritesDeformationsAndReportsStreamFailures) {
  TemporaryDirectory dir;
  Curve<float> curve(3, 1, 0, 0, true);
  curve[0] = point(1, 2, 3);
  writeFile(dir.file("a.cv"), "old");
  EXPECT_THROW(curve.save(dir.file("a.cv")), FileWriteError);
  EXPECT_EQ(readFile(dir.file("a.cv")), "old");
  curve.save(dir.file("a"), true);
  EXPECT_EQ(readFile(dir.file("a.cv")), "# 1\n# 3\n# 1\n1 2 3\n");
  Vertices<float> a(2, 2), b(2, 2), c(2, 3);
  a.fromVector(vectorOf<float>({0, 0, 1, 1}));
  b.fromVector(vectorOf<float>({0.5f, 0, 1, 3}));
  a.saveDeformations(b, dir.file("d.txt"));
  EXPECT_EQ(readFile(dir.file("d.txt")), "0\t0\t0.5\t0\t\n1\t1\t0\t2\t\n"); // deformations with tabs
  EXPECT_THROW(a.saveDeformations(b, dir.file("d.txt")), FileWriteError);
  a.saveDeformations(b, dir.file("d.txt"), true);
  EXPECT_THROW(a.saveDeformations(c, dir.file("e.txt")), SizeError);
  EXPECT_FALSE(std::ifstream(dir.file("e.txt")).is_open()) << "nothing is written for mismatched shapes";
  RefusingBuffer buffer;
  Vertices<float> list(3, 1);
  VertexStack<float> stack(3, 2, 1);
  TriMesh<float> mesh(3, 3);
  for (std::ios_base::iostate mask : {std::ios_base::goodbit, std::ios_base::badbit})
    for (const Shape<float>* shape : std::initializer_list<const Shape<float>*>{&list, &stack, &mesh}) {
      std::ostream os(&buffer);
      os.exceptions(mask);
      const FileWriteError e = expectThrow<FileWriteError>([&] { shape->write(os); });
      EXPECT_NE(e.getWhere().find("::write(std::ostream&) const"), std::string::npos) << e.getWhere();
      EXPECT_EQ(os.exceptions(), mask) << "the stream's settings are restored";
    }
}

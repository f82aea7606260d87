// Every file goes through the registry of file kinds: its content decides first, then its suffix;
// a failure names the file and the kind that was tried; pipes are read once, and what would make
// reading wait forever is refused at once.
#include "application/FileLoader.h"
#include "application/SceneItem.h"
#include "foundation/FileBytes.h"
#include "foundation/ReadProgress.h"
#include "geometry/TriMesh.h"
#include "imaging/ImageWriter.h"
#include "rendering/FileKinds.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>

namespace {

const std::string points = "# 6\n# 3\n# 1\n1 2 3\n";

LoadedItems load(const std::string& path) {
  Vector<float> scaling(3);
  scaling.setOnes();
  return FileLoader::load(path, scaling);
}

// A binary STL file of one triangle: 80 bytes of header, the count, 50 bytes per triangle.
std::string binaryStl() {
  std::string bytes(84 + 50, '\0');
  bytes[80] = 1;
  const float corners[12] = {0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0};
  std::memcpy(&bytes[84], corners, sizeof corners);
  return bytes;
}

// Loads bytes that another thread writes into a pipe, as process substitution gives them.
LoadedItems loadPiped(const std::string& bytes) {
  int ends[2];
  if (::pipe(ends) != 0) return LoadedItems();
  std::thread writer([&] {
    for (std::size_t at = 0; at < bytes.size();) {
      const ssize_t written = ::write(ends[1], bytes.data() + at, bytes.size() - at);
      if (written <= 0) break;
      at += static_cast<std::size_t>(written);
    }
    ::close(ends[1]);
  });
  LoadedItems items = load("/dev/fd/" + std::to_string(ends[0]));
  writer.join();
  ::close(ends[0]);
  return items;
}

std::string imageFile(const TemporaryDirectory& dir, int pages) {
  const std::string path = dir.file("pages.tif");
  if (pages == 1) ImageWriter().write(Image(4, 3, 8), path, true);
  if (pages > 1) VoxelMatrix<float>(3, 4, pages).saveAsTiff(path);
  return readFile(path);
}

} // namespace

// (name, bytes) -> the kind recognised, and "" when it reads or the reason it is refused for.
TEST(FileKinds, RecogniseContentFirstAndRefuseInTheWordsOfTheKindTried) {
  TemporaryDirectory dir;
  const std::string layout0 = std::string("\1\0\0\0\1\0\0\0\1\0\0\0\0\0\0\0", 16);
  struct Case {
    const char* name;
    std::string bytes;
    const char* kind;
    const char* refusal;
  };
  const Case cases[] = {
      {"cell", points, "Vertex files", ""},
      {"points.ply", points, "Vertex files", ""}, // the header beats the suffix
      {"mesh.tm", "# 8\n# 3\n# 3\n0 0 0\n1 0 0\n0 1 0\n# 1\n0 1 2\n", "TriMesh files", ""},
      {"piped",
       "ply\nformat ascii 1.0\nelement vertex 1\nproperty float x\nproperty float y\nproperty "
       "float z\nend_header\n1 2 3\n",
       "PLY files", ""},
      {"mesh", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n", "OBJ files", ""},
      {"solid", binaryStl(), "STL files", ""},
      {"shape.dat", "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n", "OFF files", ""},
      {"box.glb", "glTF", "glTF binary files", "The file's glTF binary header is malformed"},
      {"stack", imageFile(dir, 2), "TIFF stacks", ""},
      {"picture", imageFile(dir, 1), "TIFF images", ""},
      {"matrix", layout0, "Voxel matrices", ""},
      {"empty.tif", "", "TIFF images", "*"},
      {"broken.lsm", std::string("II*\0 not a directory", 20), "LSM images", "*"},
      {"short.vm", "\0\0\0", "Voxel matrices", "File too short for a voxel matrix header"},
      {"notes.txt", "hello", "Shape files", "Invalid shape description format"},
      {"future.vx", "# 42\n", "Vertex files", "Unknown shape type"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.file(c.name);
    writeFile(path, c.bytes);
    const FileKind& kind = FileKinds::recognise(FileBytes(path, c.bytes, true));
    EXPECT_EQ(kind.label, c.kind);
    const LoadedItems items = load(path);
    const std::string failure = "Cannot read " + path + " as " + FileKinds::noun(kind) + ": ";
    if (std::string(c.refusal).empty())
      EXPECT_EQ(items.failure, "");
    else if (std::string(c.refusal) == "*") // the image library's own words
      EXPECT_EQ(items.failure.substr(0, failure.size()), failure);
    else
      EXPECT_EQ(items.failure, failure + c.refusal);
    EXPECT_EQ(items.failure.empty(),
              !items.loaded.shapes.empty() || items.loaded.voxelMatrix || items.loaded.image);
  }
  EXPECT_EQ(FileKinds::noun(FileKinds::recognise(FileBytes("a.lsm", "", false))), "an LSM image");
}

// Companions are found by their exact suffix: a folder named like one does not make one.
TEST(FileKinds, FindCompanionsByTheirExactSuffix) {
  EXPECT_EQ(SceneItem::parameterFileName("x.tmp/cell.tm"), "x.tmp/cell-parameters.df");
  EXPECT_EQ(SceneItem::parameterFileName("x.tmp/cell.ply"), "");
}

// A pipe (process substitution's /dev/fd/N) is read once; a named pipe without a writer, a directory
// and a device are refused at once, naming the file.
TEST(FileKinds, ReadPipesOnceAndRefuseWhatWouldMakeReadingWait) {
  const LoadedItems piped = loadPiped(points);
  EXPECT_EQ(piped.failure, "");
  EXPECT_EQ(piped.loaded.shapes.size(), 1u);

  TemporaryDirectory dir;
  const std::string fifo = dir.file("cell.vx");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    std::string path, why;
  } refused[] = {{fifo, "It is a named pipe that nothing writes to"},
                 {dir.path(), "It is a directory"},
                 {"/dev/null", "It is a device or a socket, not a file"}};
  for (const auto& c : refused) EXPECT_EQ(load(c.path).failure, "Cannot read " + c.path + ": " + c.why);
}

// A mesh larger than the parser's window of a few MB reads alike from a file (mapped, its blocks read
// from the file) and from a pipe (held whole).
TEST(FileKinds, ReadALargeMeshAlikeFromAFileAndFromAPipe) {
  const int n = 400000;
  std::string text = "# 8\n# 3\n# " + std::to_string(n) + "\n";
  for (int v = 0; v < n; ++v) text += std::to_string(v) + " 0.5 -" + std::to_string(v % 9) + "\n";
  text += "# 1\n0 1 " + std::to_string(n - 1) + "\n";
  TemporaryDirectory dir;
  const std::string path = dir.file("large.tm");
  writeFile(path, text);
  const LoadedItems both[] = {load(path), loadPiped(text)};
  for (const LoadedItems& items : both) {
    ASSERT_EQ(items.failure, "");
    const auto& mesh = dynamic_cast<const TriMesh<float>&>(*items.loaded.shapes.at(0));
    ASSERT_EQ(mesh.getNumVertices(), n);
    const Vector<float>& last = mesh.vertex(n - 1);
    EXPECT_EQ(std::vector<float>(last.data(), last.data() + 3), (std::vector<float>{n - 1.0f, 0.5f, -3.0f}));
    ASSERT_EQ(mesh.getNumTriangles(), 1);
    EXPECT_EQ(mesh.getTriangleVertices(0)[2], n - 1);
  }
}

// A file that another program cuts short while it is mapped reads as zeros beyond its new end, where
// the mapping alone would stop the program with SIGBUS; reading it in blocks finds the new end.
TEST(FileBytes, AFileCutShortWhileMappedReadsAsZerosBeyondItsNewEnd) {
  TemporaryDirectory dir;
  const std::string path = dir.file("cut.tm");
  writeFile(path, std::string(3 << 16, 'x'));
  const FileBytes file = FileBytes::read(path);
  ASSERT_EQ(::truncate(path.c_str(), 100), 0);
  EXPECT_EQ(file.bytes()[50], 'x');
  EXPECT_EQ(file.bytes()[2 << 16], '\0');
  char block[16];
  EXPECT_EQ(file.copy(block, 2 << 16, sizeof block), 0u);
}

// A cancelled load stops while the file's bytes are read (the load queue's test stops a parse).
TEST(FileKinds, ACancelledLoadStopsWhileTheBytesAreRead) {
  TemporaryDirectory dir;
  const std::string path = dir.file("cell.vx");
  writeFile(path, points);
  std::atomic<int> count{0};
  const std::atomic<bool> stop{true};
  const ReadProgress::Scope cancelled(count, stop);
  EXPECT_EQ(load(path).failure, "Cannot read " + path + ": Reading was cancelled");
}

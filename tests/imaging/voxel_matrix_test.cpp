// Voxel matrices: in memory (bounds, element-wise operations, statistics, sub-volumes, reslicing) and in
// files (the ".vm" format in both layouts byte for byte, type identifiers and hostile headers refused before
// anything is allocated; TIFF stacks, the pages and tags saveAsTiff writes and the round trip through load).
#include "foundation/Exception.h"
#include "imaging/VoxelCalibration.h"
#include "imaging/VoxelMatrix.h"
#include "imaging/VoxelMatrixReslicer.h"
#include "tests/support/ExpectException.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdint>
#include <numeric>
#include <sstream>
#include <vector>

namespace {

// A voxel calibration with the voxel size vector (size0, size1, size2) and the length unit of the
// given power of ten (-6: micrometres).
VoxelCalibration voxelCalibration(float size0, float size1, float size2, int unitScale) {
  VoxelCalibration calibration;
  calibration.setVoxelSize(Vector<float>(std::vector<float>{size0, size1, size2}));
  LengthUnit unit;
  unit.setScale(unitScale);
  calibration.setLengthUnit(unit);
  return calibration;
}

// Every voxel holds a value that tells where it is: i + 10 j + 100 k.
template <class T> VoxelMatrix<T> positionalMatrix(int s1, int s2, int s3) {
  VoxelMatrix<T> matrix(s1, s2, s3);
  for (int k = 0; k < s3; ++k)
    for (int i = 0; i < s1; ++i)
      for (int j = 0; j < s2; ++j) matrix(i, j, k) = static_cast<T>(i + 10 * j + 100 * k);
  return matrix;
}

Vector<int> triple(int a, int b, int c) {
  return Vector<int>(std::vector<int>{a, b, c});
}

template <class Value> std::string bytesOf(Value value) {
  return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

std::string ints(std::initializer_list<std::int32_t> values) {
  std::string bytes;
  for (std::int32_t v : values) bytes += bytesOf(v);
  return bytes;
}

std::string layout1Header(int typeId, int s1, int s2, int s3, int scale = 0, float a = 1, float b = 1,
                          float c = 1) {
  return ints({0, 0, 0, 1, typeId, s1, s2, s3, scale}) + bytesOf(a) + bytesOf(b) + bytesOf(c);
}

VoxelMatrix<float> rampMatrix(int s1, int s2, int s3) {
  VoxelMatrix<float> matrix(s1, s2, s3);
  for (int k = 0; k < s3; ++k)
    for (int i = 0; i < s1; ++i)
      for (int j = 0; j < s2; ++j)
        matrix(i, j, k) = static_cast<float>((7 * i + 3 * j + 40 * k) % 256) + 0.75f;
  matrix.setVoxelCalibration(voxelCalibration(0.5f, 0.25f, 2, -6));
  return matrix;
}

template <class Value> std::string tag(TIFF* tiff, ttag_t name) {
  Value value{};
  return TIFFGetField(tiff, name, &value) ? std::to_string(value) : "-";
}

// Each page's tags as libtiff reads them back, on one line, and its description after it.
std::vector<std::string> pageTags(const std::string& path) {
  std::vector<std::string> pages;
  TIFF* tiff = TIFFOpen(path.c_str(), "r");
  if (!tiff) return pages;
  do {
    std::ostringstream tags;
    for (ttag_t name : {TIFFTAG_IMAGEWIDTH, TIFFTAG_IMAGELENGTH, TIFFTAG_SUBFILETYPE})
      tags << tag<std::uint32_t>(tiff, name) << ' ';
    for (ttag_t name :
         {TIFFTAG_SAMPLESPERPIXEL, TIFFTAG_BITSPERSAMPLE, TIFFTAG_ORIENTATION, TIFFTAG_PLANARCONFIG,
          TIFFTAG_PHOTOMETRIC, TIFFTAG_RESOLUTIONUNIT, TIFFTAG_COMPRESSION, TIFFTAG_PREDICTOR})
      tags << tag<std::uint16_t>(tiff, name) << ' ';
    std::uint16_t page = 0, count = 0;
    float x = 0, y = 0;
    char* description = nullptr;
    TIFFGetField(tiff, TIFFTAG_PAGENUMBER, &page, &count);
    TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &x);
    TIFFGetField(tiff, TIFFTAG_YRESOLUTION, &y);
    TIFFGetField(tiff, TIFFTAG_IMAGEDESCRIPTION, &description);
    tags << "page " << page << "/" << count << " resolution " << x << "x" << y << "\n"
         << (description ? description : "");
    pages.push_back(tags.str());
  } while (TIFFReadDirectory(tiff));
  TIFFClose(tiff);
  return pages;
}

} // namespace

TEST(VoxelMatrixOperations, BoundsArithmeticStatisticsHistogramsReversalAndConversion) {
  VoxelMatrix<int> matrix = positionalMatrix<int>(2, 3, 4);
  EXPECT_THROW(matrix.getSize(4), ValueError);
  EXPECT_TRUE(matrix.contains(1, 2, 3));
  for (const Vector<int>& outside : {triple(2, 0, 0), triple(0, 3, 0), triple(0, 0, 4), triple(-1, 0, 0)})
    EXPECT_FALSE(matrix.contains(outside));
  matrix.setSize(triple(2, 3, 4)); // unchanged sizes keep the voxels
  EXPECT_EQ(matrix(1, 2, 3), 321);
  VoxelMatrix<float> a(2, 2, 2), b(2, 2, 2);
  a.setOnes();
  b.fill(3);
  ((((a += b) *= b) -= b) /= 3.0f) += 1.0f; // 4, 12, 9, 3, 4
  (a -= 0.5f) *= 2.5f;
  EXPECT_EQ(a.toType<int>()(0, 0, 0), 8); // 8.75 truncated
  EXPECT_THROW(a += VoxelMatrix<float>(2, 2, 3), SizeError);
  matrix = positionalMatrix<int>(2, 2, 2);
  EXPECT_EQ(matrix.range(), Vector<int>(std::vector<int>{matrix.min(), matrix.max()}));
  EXPECT_EQ(matrix.range(), Vector<int>(std::vector<int>{0, 111}));
  EXPECT_EQ(matrix.sum(), (0 + 1 + 10 + 11) + (100 + 101 + 110 + 111));
  matrix.apply([](int v) { return v + 1; });
  matrix.reverse();
  EXPECT_EQ(matrix(0, 0, 0), 112);
  EXPECT_EQ(matrix(1, 0, 1), 11); // was (0, 1, 0)
  const VoxelMatrix<float> empty;
  expectEach<SizeError>(
      {[&] { empty.min(); }, [&] { empty.range(); }, [&] { empty.max(); }, [&] { empty.sum(); }});
  // The histogram sums the slices and honours the mask.
  VoxelMatrix<float> values(2, 2, 2), mask(2, 2, 2);
  for (int n = 0; n < 8; ++n) values(n / 2 % 2, n % 2, n / 4) = static_cast<float>(n % 4); // 0 1 2 3 twice
  EXPECT_EQ(values.histogram(0, 4, 4), Vector<unsigned int>(std::vector<unsigned int>{2, 2, 2, 2}));
  mask.setZeros();
  mask(1, 1, 0) = 1;
  EXPECT_EQ(values.histogram(0, 4, 4, mask), Vector<unsigned int>(std::vector<unsigned int>{0, 0, 0, 1}));
}

TEST(VoxelMatrixSubVolumes, CopyPasteAndCat) {
  const VoxelMatrix<int> box = positionalMatrix<int>(4, 4, 4).copy(1, 2, 2, 3, 0, 1); // inclusive
  EXPECT_EQ(box.getSize(), triple(2, 2, 2));
  EXPECT_EQ(box(1, 1, 1), 132);
  VoxelMatrix<int> target(4, 4, 4);
  target.setZeros();
  target.paste(1, 2, 0, box);
  EXPECT_EQ(target(2, 3, 1), 132);
  VoxelMatrix<int> small(2, 2, 2), ones(3, 3, 3);
  small.setZeros();
  ones.setOnes();
  small.paste(1, 1, 1, ones); // what falls outside is dropped
  EXPECT_EQ(small.sum(), 1);
  small.paste(-2, -2, -2, ones);
  EXPECT_EQ(small(0, 0, 0), 1);
  EXPECT_EQ(positionalMatrix<int>(2, 2, 2).cat(), // slice after slice, row after row
            Vector<int>(std::vector<int>{0, 10, 1, 11, 100, 110, 101, 111}));
}

TEST(VoxelMatrixReslicer, MovesEveryVoxelAcrossTilesAndTurnsTheCalibration) {
  VoxelMatrix<int> source = positionalMatrix<int>(5, 70, 37);
  source.setVoxelCalibration(voxelCalibration(1, 2, 3, -6));
  const VoxelMatrixReslicer<int> reslicer;
  const VoxelMatrix<int> result = reslicer.resliceAlongDimension1(source);
  EXPECT_EQ(result.getSize(), triple(70, 37, 5));
  for (int i = 0; i < 70; ++i)
    for (int j = 0; j < 37; ++j)
      for (int k = 0; k < 5; ++k) ASSERT_EQ(result(i, j, k), source(k, i, j)) << i << ' ' << j << ' ' << k;
  EXPECT_EQ(result.getVoxelCalibration().getVoxelSize(), Vector<float>(std::vector<float>{2, 3, 1}));
  EXPECT_EQ(result.getVoxelCalibration().getLengthUnit().getScale(), -6);
  EXPECT_EQ(reslicer.resliceAlongDimension1(reslicer.resliceAlongDimension1(result)), source);
  const VoxelMatrix<long double> wide = positionalMatrix<long double>(3, 4, 5);
  const VoxelMatrixReslicer<long double> wideReslicer;
  EXPECT_EQ(wideReslicer.resliceAlongDimension1(
                wideReslicer.resliceAlongDimension1(wideReslicer.resliceAlongDimension1(wide))),
            wide);
}

TEST(VmFormatWrite, SaveWritesLayoutOneByteForByteAndLoadsItBack) {
  TemporaryDirectory directory;
  const VoxelMatrix<float> original = rampMatrix(2, 3, 2);
  original.save(directory.file("m")); // the suffix is appended when missing, only then
  original.save(directory.file("named.vm"));
  std::string expected = layout1Header(5, 2, 3, 2, -6, 0.5f, 0.25f, 2);
  for (int k = 0; k < 2; ++k)
    for (int i = 0; i < 2; ++i)
      for (int j = 0; j < 3; ++j) expected += bytesOf(original(i, j, k));
  EXPECT_EQ(readFile(directory.file("m.vm")), expected);
  EXPECT_EQ(readFile(directory.file("named.vm")), expected);
  const VoxelMatrix<float> loaded(directory.file("m.vm"));
  EXPECT_EQ(loaded, original);
  EXPECT_EQ(loaded.getVoxelCalibration().getLengthUnit().getScale(), -6);
  EXPECT_EQ(loaded.getVoxelCalibration().getVoxelSize(), original.getVoxelCalibration().getVoxelSize());
}

TEST(VmFormatRead, EveryElementTypeRoundTripsUnderItsIdentifier) {
  TemporaryDirectory directory;
  const auto roundTrip = [&](auto sample, int typeId) {
    using T = decltype(sample);
    const VoxelMatrix<T> matrix = positionalMatrix<T>(3, 2, 2);
    EXPECT_EQ(matrix.dataTypeId(), typeId) << "element size " << sizeof(T);
    const std::string path = directory.file(std::to_string(typeId) + "-" + std::to_string(sizeof(T)));
    matrix.save(path);
    EXPECT_EQ(VoxelMatrix<T>(path + ".vm"), matrix) << "element size " << sizeof(T);
  };
  roundTrip(static_cast<unsigned char>(0), 0);
  roundTrip(short(), 0);
  roundTrip(int(), 2);
  roundTrip(0u, 3);
  roundTrip(0.0f, 5);
  roundTrip(0.0, 6);
  roundTrip(0.0L, 7);
  // Identifier zero fits every small type.
  writeFile(directory.file("s.vm"), layout1Header(0, 1, 1, 1) + std::string(2, '\1'));
  EXPECT_EQ(VoxelMatrix<short>(directory.file("s.vm"))(0, 0, 0), 257);
  EXPECT_EQ(VoxelMatrix<unsigned char>(directory.file("s.vm"))(0, 0, 0), 1);
}

TEST(VmFormatRead, LayoutZeroIsSizesThenVoxelsWithoutCalibrationAndErrorsComeBeforeResizing) {
  TemporaryDirectory directory;
  std::string bytes = ints({4, 5, 6});
  std::vector<float> values(4 * 5 * 6);
  std::iota(values.begin(), values.end(), 0.0f);
  for (float v : values) bytes += bytesOf(v);
  writeFile(directory.file("old.vm"), bytes);
  const VoxelMatrix<float> matrix(directory.file("old.vm"));
  EXPECT_EQ(matrix.getSize(), triple(4, 5, 6));
  EXPECT_EQ(matrix.cat(), Vector<float>(values)); // slice after slice, row after row
  EXPECT_EQ(matrix.getVoxelCalibration().getLengthUnit().getScale(), 0);
  const VoxelMatrix<int> small = positionalMatrix<int>(1, 2, 1);
  small.saveUnderFormat0(directory.file("zero.vm"));
  EXPECT_EQ(readFile(directory.file("zero.vm")), ints({1, 2, 1, 0, 10}));
  EXPECT_EQ(VoxelMatrix<int>(directory.file("zero.vm")), small);
  rampMatrix(2, 3, 2).save(directory.file("one.vm"));
  EXPECT_EQ(VoxelMatrix<float>::fileSizes(directory.file("zero.vm"))[1], 2);
  EXPECT_EQ(VoxelMatrix<float>::fileSizes(directory.file("one.vm"))[1], 3);
  // A type mismatch is refused before resizing; a missing file is named.
  writeFile(directory.file("double.vm"), layout1Header(6, 1, 1, 1) + bytesOf(1.0));
  VoxelMatrix<float> target(2, 2, 2);
  EXPECT_THROW(target.load(directory.file("double.vm")), TypeError);
  EXPECT_EQ(target.getSize1(), 2);
  const auto error = expectThrow<FileReadError>([] { VoxelMatrix<float> missing("/nonexistent/file.vm"); });
  EXPECT_EQ(error.getFilename(), "/nonexistent/file.vm");
}

// === Hostile headers

TEST(VmFormatHostile, BadSizesAndTruncatedHeadersAreRefusedBeforeAnythingChanges) {
  TemporaryDirectory directory;
  const std::pair<const char*, std::string> files[] = {
      {"neg1.vm", layout1Header(5, -1, 2, 2) + std::string(64, '\0')},
      {"neg0.vm", ints({2, -3, 2}) + std::string(64, '\0')},
      {"overflow.vm", layout1Header(5, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF)},
      {"wrap.vm", ints({65536, 65536, 1}) + std::string(16, '\0')}, // 2^32 voxels
      {"short.vm", layout1Header(5, 10, 10, 10) + std::string(3999, '\0')},
      {"slices1.vm", layout1Header(5, 0, 5, 0x7FFFFFFF)}, // absurd numbers of empty slices
      {"slices0.vm", ints({7, 0, 0x7FFFFFFF})},
      {"rows.vm", ints({0x7FFFFFFF, 0, 1})},            // one row pointer per empty row
      {"flat.vm", layout1Header(5, 100000, 100000, 0)}, // no slice, but sizes no file backs
      {"tiny.vm", "abc"},
      {"zeros.vm", ints({0, 0, 0, 1, 5})},
      {"empty.vm", ""}};
  for (const auto& [name, bytes] : files) {
    SCOPED_TRACE(name);
    writeFile(directory.file(name), bytes);
    VoxelMatrix<float> matrix(2, 2, 2);
    formatErrorNaming(directory.file(name), [&] { matrix.load(directory.file(name)); });
    EXPECT_EQ(matrix.getSize3(), 2);
  }
  EXPECT_THROW(VoxelMatrix<unsigned char>(directory.file("wrap.vm")), FileFormatError);
  EXPECT_THROW(VoxelMatrix<float>::fileSizes(directory.file("zeros.vm")), FileFormatError);
  // At the limits: exactly the file's bytes, zero-sized and few empty slices load.
  writeFile(directory.file("exact.vm"), layout1Header(5, 10, 10, 10) + std::string(4000, '\0'));
  EXPECT_EQ(VoxelMatrix<float>(directory.file("exact.vm")).getSize3(), 10);
  writeFile(directory.file("flat.vm"), layout1Header(5, 100, 100, 0));
  EXPECT_EQ(VoxelMatrix<float>(directory.file("flat.vm")).numElements(), 0);
  writeFile(directory.file("few.vm"), layout1Header(5, 0, 3, 10));
  EXPECT_EQ(VoxelMatrix<float>(directory.file("few.vm")).getSize3(), 10);
  // loadHeader refuses truncated headers and keeps the calibration.
  writeFile(directory.file("tiny.vm"), "abc");
  writeFile(directory.file("zeros.vm"), ints({0, 0, 0, 1, 5, 1, 1}));
  VoxelMatrix<float> matrix = rampMatrix(2, 3, 2);
  EXPECT_THROW(matrix.loadHeader(directory.file("zeros.vm")), FileFormatError);
  EXPECT_THROW(matrix.loadHeader(directory.file("tiny.vm")), FileFormatError);
  EXPECT_EQ(matrix.getVoxelCalibration().getLengthUnit().getScale(), -6);
  EXPECT_FLOAT_EQ(matrix.getVoxelCalibration().getVoxelDepth(), 2.0f);
  // A small layout-0 file is shorter than a layout-1 header and has no calibration to give.
  VoxelMatrix<unsigned char>(1, 1, 1).saveUnderFormat0(directory.file("small.vm"));
  VoxelMatrix<unsigned char> bytes;
  EXPECT_NO_THROW(bytes.loadHeader(directory.file("small.vm")));
  EXPECT_EQ(bytes.getVoxelCalibration().getLengthUnit().getScale(), 0);
}

// === TIFF stacks

TEST(TiffStacks, EveryPageCarriesItsTagsAndClampedBytesAndTheStackRoundTrips) {
  TemporaryDirectory directory;
  VoxelMatrix<float> original = rampMatrix(16, 9, 4);
  original.saveAsTiff(directory.file("round.tif"));
  original.saveAsTiff(directory.file("packed.tif"), true);
  const VoxelMatrix<float> loaded(directory.file("round.tif"));
  EXPECT_EQ(loaded, original.toType<int>().toType<float>()); // truncated to bytes
  EXPECT_EQ(loaded.getVoxelCalibration().getLengthUnit().getScale(), -6);
  // The pixel width comes from XResolution (1 / component 1) and lands in component 0.
  EXPECT_EQ(loaded.getVoxelCalibration().getVoxelSize(), Vector<float>(std::vector<float>{0.25f, 0.5f, 2}));
  EXPECT_EQ(VoxelMatrix<float>(directory.file("packed.tif")), loaded);
  original.setVoxelCalibration(voxelCalibration(0, 0, 1, 0)); // still a readable stack
  original.saveAsTiff(directory.file("flat.tif"));
  EXPECT_EQ(VoxelMatrix<float>(directory.file("flat.tif")), loaded);
  // Every page carries the tags and the clamped bytes of its slice.
  VoxelMatrix<float> clamped = rampMatrix(3, 5, 4);
  clamped(1, 2, 1) = 300; // beyond a byte: clamped
  clamped(0, 0, 1) = -4;
  clamped.saveAsTiff(directory.file("stack.tif"));
  const std::vector<std::string> pages = pageTags(directory.file("stack.tif"));
  ASSERT_EQ(pages.size(), 4u);
  // Width, height, subfile type; samples, bits, orientation, planar configuration, photometric, resolution
  // unit, compression, predictor; the resolutions are 1 / voxel width and 1 / voxel height.
  for (int k = 0; k < 4; ++k)
    EXPECT_EQ(pages[k], "5 3 1 1 8 1 1 1 1 1 - page " + std::to_string(k) + "/4 resolution 4x2\n" +
                            "ImageJ=1.47v\nimages=4\nslices=4\nunit=micron\nspacing=2.000000\nloop=false");
  const VoxelMatrix<unsigned char> bytes(directory.file("stack.tif"));
  EXPECT_EQ(bytes(1, 2, 0), static_cast<unsigned char>(clamped(1, 2, 0))); // truncated
  EXPECT_EQ(bytes(1, 2, 1), 255);
  EXPECT_EQ(bytes(0, 0, 1), 0);
}

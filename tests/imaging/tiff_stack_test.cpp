// Voxel matrices as TIFF stacks: the pages and tags saveAsTiff writes, the TIFF-stack path of load,
// the round trip between them, and reading the planes of a stack through one source.
#include "imaging/Image.h"
#include "imaging/ImageReader.h"
#include "imaging/ImageSourceTiffStackPlane.h"
#include "imaging/VoxelMatrix.h"

#include "foundation/Exception.h"
#include "tests/imaging/TiffFixtures.h"
#include "tests/imaging/VoxelFixtures.h"
#include "tests/support/ExpectException.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdint>
#include <sstream>
#include <vector>

namespace {

VoxelMatrix<float> rampMatrix(int s1, int s2, int s3) {
  VoxelMatrix<float> matrix(s1, s2, s3);
  for (int k = 0; k < s3; ++k)
    for (int i = 0; i < s1; ++i)
      for (int j = 0; j < s2; ++j)
        matrix(i, j, k) = static_cast<float>((7 * i + 3 * j + 40 * k) % 256) + 0.75f;
  matrix.setVoxelCalibration(voxelCalibration(0.5f, 0.25f, 2, -6));
  return matrix;
}

// One page as libtiff reads it back: its tags on one line, and its rows.
struct Page {
  std::string tags;
  std::vector<std::vector<unsigned char>> rows;
};

template <class Value> std::string tag(TIFF* tiff, ttag_t name) {
  Value value{};
  return TIFFGetField(tiff, name, &value) ? std::to_string(value) : "-";
}

std::vector<Page> readPages(const std::string& path) {
  std::vector<Page> pages;
  TIFF* tiff = TIFFOpen(path.c_str(), "r");
  if (!tiff) return pages;
  do {
    std::uint16_t page = 0, count = 0;
    float x = 0, y = 0;
    char* description = nullptr;
    TIFFGetField(tiff, TIFFTAG_PAGENUMBER, &page, &count);
    TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &x);
    TIFFGetField(tiff, TIFFTAG_YRESOLUTION, &y);
    TIFFGetField(tiff, TIFFTAG_IMAGEDESCRIPTION, &description);
    std::ostringstream tags;
    tags << tag<std::uint32_t>(tiff, TIFFTAG_IMAGEWIDTH) << "x"
         << tag<std::uint32_t>(tiff, TIFFTAG_IMAGELENGTH) << " subfile "
         << tag<std::uint32_t>(tiff, TIFFTAG_SUBFILETYPE) << " samples "
         << tag<std::uint16_t>(tiff, TIFFTAG_SAMPLESPERPIXEL) << " bits "
         << tag<std::uint16_t>(tiff, TIFFTAG_BITSPERSAMPLE) << " orientation "
         << tag<std::uint16_t>(tiff, TIFFTAG_ORIENTATION) << " planar "
         << tag<std::uint16_t>(tiff, TIFFTAG_PLANARCONFIG) << " photometric "
         << tag<std::uint16_t>(tiff, TIFFTAG_PHOTOMETRIC) << " page " << page << "/" << count
         << " resolution " << x << "x" << y << " unit " << tag<std::uint16_t>(tiff, TIFFTAG_RESOLUTIONUNIT)
         << " compression " << tag<std::uint16_t>(tiff, TIFFTAG_COMPRESSION) << " predictor "
         << tag<std::uint16_t>(tiff, TIFFTAG_PREDICTOR) << "\n"
         << (description ? description : "");
    Page result{tags.str(), {}};
    std::uint32_t length = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &length);
    for (std::uint32_t i = 0; i < length; ++i) {
      result.rows.emplace_back(TIFFScanlineSize(tiff));
      TIFFReadScanline(tiff, result.rows.back().data(), i, 0);
    }
    pages.push_back(result);
  } while (TIFFReadDirectory(tiff));
  TIFFClose(tiff);
  return pages;
}

} // namespace

TEST(TiffStackWrite, EveryPageCarriesTheTagsAndClampedBytesOfItsSlice) {
  TemporaryDirectory directory;
  VoxelMatrix<float> matrix = rampMatrix(3, 5, 4);
  matrix(1, 2, 1) = 300; // beyond a byte: clamped
  matrix(0, 0, 1) = -4;
  matrix.saveAsTiff(directory.file("stack.tif"));
  const std::vector<Page> pages = readPages(directory.file("stack.tif"));
  ASSERT_EQ(pages.size(), 4u);
  for (int k = 0; k < 4; ++k) // the resolutions are 1 / voxel width and 1 / voxel height
    EXPECT_EQ(pages[k].tags,
              "5x3 subfile 1 samples 1 bits 8 orientation 1 planar 1 photometric 1 page " +
                  std::to_string(k) + "/4 resolution 4x2 unit 1 compression 1 predictor -\n" +
                  "ImageJ=1.47v\nimages=4\nslices=4\nunit=micron\nspacing=2.000000\nloop=false");
  EXPECT_EQ(pages[0].rows[1][2], static_cast<unsigned char>(matrix(1, 2, 0))); // truncated
  EXPECT_EQ(pages[1].rows[1][2], 255);
  EXPECT_EQ(pages[1].rows[0][0], 0);
}

TEST(TiffStackWrite, LzwWithHorizontalDifferencingAndOtherUnits) {
  TemporaryDirectory directory;
  rampMatrix(8, 8, 2).saveAsTiff(directory.file("lzw.tif"), true);
  const std::vector<Page> pages = readPages(directory.file("lzw.tif"));
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_NE(pages[1].tags.find("compression 5 predictor 2"), std::string::npos);
  EXPECT_EQ(pages[1].rows[7][7], static_cast<unsigned char>((49 + 21 + 40) % 256));
  VoxelMatrix<float> matrix = rampMatrix(1, 1, 1);
  matrix.setVoxelCalibration(voxelCalibration(1, 1, 0.125f, -3));
  matrix.saveAsTiff(directory.file("mm.tif"));
  EXPECT_NE(readPages(directory.file("mm.tif"))[0].tags.find(
                "\nImageJ=1.47v\nimages=1\nslices=1\nunit=mm\nspacing=0.125000\nloop=false"),
            std::string::npos);
}

TEST(TiffStackWrite, RefusesToOverwriteUnlessAskedAndReportsUnwritablePlaces) {
  TemporaryDirectory directory;
  const std::string path = directory.file("kept.tif");
  writeFile(path, "old");
  expectException<FileWriteError>([&] { rampMatrix(1, 1, 1).saveAsTiff(path); },
                                  "void VoxelMatrix<T>::saveAsTiff(...) const", "File already exists");
  EXPECT_EQ(readFile(path), "old");
  rampMatrix(1, 1, 1).saveAsTiff(path, false, true);
  EXPECT_EQ(readPages(path).size(), 1u);
  const auto error = expectThrow<FileWriteError>(
      [] { rampMatrix(1, 1, 1).saveAsTiff("/nonexistent-dir/stack.tif", false, true); });
  EXPECT_EQ(error.getWhat().rfind("Cannot open file for writing", 0), 0u);
}

TEST(TiffStackRoundTrip, SizesVoxelsUnitAndSpacingComeBackCompressedOrNot) {
  TemporaryDirectory directory;
  const VoxelMatrix<float> original = rampMatrix(16, 9, 4);
  original.saveAsTiff(directory.file("round.tif"));
  original.saveAsTiff(directory.file("packed.tif"), true);
  const VoxelMatrix<float> loaded(directory.file("round.tif"));
  ASSERT_EQ(loaded.getSize(), original.getSize());
  for (int k = 0; k < 4; ++k)
    for (int i = 0; i < 16; ++i)
      for (int j = 0; j < 9; ++j) ASSERT_EQ(loaded(i, j, k), static_cast<int>(original(i, j, k)));
  const VoxelCalibration& calibration = loaded.getVoxelCalibration();
  EXPECT_EQ(calibration.getLengthUnit().getScale(), -6);
  EXPECT_FLOAT_EQ(calibration.getVoxelDepth(), 2);
  // The pixel width comes from XResolution (1 / component 1) and lands in component 0.
  EXPECT_FLOAT_EQ(calibration.getVoxelSize()[0], 0.25f);
  EXPECT_FLOAT_EQ(calibration.getVoxelSize()[1], 0.5f);
  EXPECT_EQ(VoxelMatrix<float>(directory.file("packed.tif")), loaded);
}

TEST(TiffStackRoundTrip, AZeroVoxelSizeStillWritesAReadableStack) {
  TemporaryDirectory directory;
  VoxelMatrix<float> matrix = rampMatrix(2, 2, 2);
  matrix.setVoxelCalibration(voxelCalibration(0, 0, 1, 0));
  matrix.saveAsTiff(directory.file("flat.tif"));
  const VoxelMatrix<float> loaded(directory.file("flat.tif"));
  EXPECT_EQ(loaded.getSize3(), 2);
  EXPECT_EQ(loaded(1, 1, 1), static_cast<int>(matrix(1, 1, 1)));
}

TEST(TiffStackRead, SuffixesWithoutCaseAndSixteenBitValues) {
  TemporaryDirectory directory;
  writeTiff(directory.file("UPPER.TIF"), TiffLayout(), 2);
  writeTiff(directory.file("long.Tiff"), TiffLayout(), 3);
  const VoxelMatrix<unsigned char> upper(directory.file("UPPER.TIF"));
  EXPECT_EQ(upper.getSize3(), 2);
  EXPECT_EQ(upper(2, 3, 1), defaultPixelValue(1, 2, 3, 0));
  EXPECT_EQ(VoxelMatrix<int>(directory.file("long.Tiff")).getSize3(), 3);
  TiffLayout layout;
  layout.bitsPerSample = 16;
  layout.value = [](int page, int row, int column, int) {
    return static_cast<unsigned>(10000 * page + 100 * row + column);
  };
  writeTiff(directory.file("deep.tif"), layout, 3);
  EXPECT_EQ(VoxelMatrix<float>(directory.file("deep.tif"))(2, 3, 2), 20203);
  writeFile(directory.file("fake.tif"), std::string(64, 'x'));
  const auto error =
      expectThrow<FileFormatError>([&] { VoxelMatrix<float> fake(directory.file("fake.tif")); });
  EXPECT_EQ(error.getWhat(), "Unrecognized image file format");
  EXPECT_NE(error.callStack().find("VoxelMatrix<T>::VoxelMatrix(const string&)"), std::string::npos);
}

// === Reading the planes of a stack (the source keeps the file open between planes)

namespace {

std::string writeStack(const TemporaryDirectory& directory, const std::string& name, int pages, int seed) {
  TiffLayout layout;
  layout.width = 7;
  layout.height = 5;
  layout.value = [seed](int page, int row, int column, int) {
    return static_cast<unsigned>((seed + page * 29 + row * 7 + column) % 256);
  };
  const std::string path = directory.file(name);
  writeTiff(path, layout, pages);
  return path;
}

// The last pixel of a plane of writeStack with the given seed.
int corner(int plane, int seed = 0) {
  return (seed + plane * 29 + 4 * 7 + 6) % 256;
}

unsigned char planeCorner(ImageReader& reader, ImageSourceTiffStackPlane& source, int plane) {
  source.setPlane(plane);
  Image image;
  reader.read(image, source);
  return image.row(4)[6];
}

} // namespace

TEST(TiffStackRead, OneReaderReadsPlanesInAnyOrderAndSurvivesPlanesBeyondTheEnd) {
  TemporaryDirectory directory;
  ImageSourceTiffStackPlane source;
  source.setTiffStackFilename(writeStack(directory, "order.tif", 6, 0));
  ImageReader reader;
  for (int plane : {0, 1, 2, 5, 3, 3, 0, 4, 1}) EXPECT_EQ(planeCorner(reader, source, plane), corner(plane));
  EXPECT_THROW(planeCorner(reader, source, 6), FileReadError);
  EXPECT_THROW(planeCorner(reader, source, -1), FileReadError);
  EXPECT_EQ(planeCorner(reader, source, 1), corner(1));
  // It follows another source to another file, and back.
  ImageSourceTiffStackPlane second;
  second.setTiffStackFilename(writeStack(directory, "second.tif", 3, 100));
  EXPECT_EQ(planeCorner(reader, second, 2), corner(2, 100));
  EXPECT_EQ(planeCorner(reader, source, 2), corner(2));
}

TEST(TiffStackRead, FreshReadersAndClonesReadThroughTheSourcesOpenStack) {
  TemporaryDirectory directory;
  ImageSourceTiffStackPlane source;
  source.setTiffStackFilename(writeStack(directory, "fresh.tif", 8, 0));
  for (int plane : {6, 2, 6, 7, 0, 2, 5, 7}) {
    ImageReader reader;
    EXPECT_EQ(planeCorner(reader, source, plane), corner(plane)) << "plane " << plane;
  }
  EXPECT_TRUE(source.getStackCursor().isOpen());
  const std::unique_ptr<ImageSource> clone = source.clone();
  auto& copy = static_cast<ImageSourceTiffStackPlane&>(*clone);
  ImageReader reader;
  EXPECT_EQ(planeCorner(reader, copy, 5), corner(5));
  EXPECT_EQ(&copy.getStackCursor(), &source.getStackCursor());
  // Another file gets a fresh cursor.
  source.setTiffStackFilename(writeStack(directory, "two.tif", 3, 100));
  EXPECT_FALSE(source.getStackCursor().isOpen());
  EXPECT_THROW(planeCorner(reader, source, 5), FileReadError);
  EXPECT_EQ(planeCorner(reader, source, 2), corner(2, 100));
}

TEST(TiffStackRead, ALongStackLoadsEveryPageInOrderAndAFailedLoadChangesNothing) {
  TemporaryDirectory directory;
  const VoxelMatrix<unsigned char> matrix(writeStack(directory, "long.tif", 300, 3));
  ASSERT_EQ(matrix.getSize3(), 300);
  for (int k = 0; k < 300; ++k) ASSERT_EQ(matrix(4, 6, k), corner(k, 3)) << "page " << k;
  const std::string path = writeStack(directory, "cut.tif", 4, 0);
  writeFile(path, withDirectoryTag(readFile(path), 2, TIFFTAG_STRIPOFFSETS, 5000000)); // page 2 past the end
  VoxelMatrix<unsigned char> kept(2, 2, 2);
  kept.fill(9);
  EXPECT_THROW(kept.load(path), FileReadError);
  EXPECT_EQ(kept.getSize3(), 2);
  EXPECT_EQ(kept(1, 1, 1), 9);
}

TEST(TiffStackRead, AStackOverwrittenWhileItsSourceHoldsItFailsCleanly) {
  TemporaryDirectory directory;
  TiffLayout layout;
  layout.width = 300;
  layout.height = 200;
  const std::string path = directory.file("rewritten.tif");
  writeTiff(path, layout, 4);
  ImageSourceTiffStackPlane source;
  source.setTiffStackFilename(path);
  ImageReader reader;
  source.setPlane(0);
  Image image;
  reader.read(image, source);
  writeTiff(path, TiffLayout(), 1); // truncated and rewritten in place, much shorter
  source.setPlane(3);
  try {
    reader.read(image, source);
  } catch (const Exception&) {
  }
}

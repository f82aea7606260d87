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

// The tags of one page as libtiff reads them back.
struct PageTags {
  std::uint32_t width = 0, length = 0, subfileType = 99;
  std::uint16_t samples = 0, bits = 0, orientation = 0, planar = 0, photometric = 0, resolutionUnit = 0;
  std::uint16_t page = 0, pages = 0, compression = 0, predictor = 0;
  float xResolution = 0, yResolution = 0;
  std::string description;
  std::vector<std::vector<unsigned char>> rows;
};

std::vector<PageTags> readPages(const std::string& path) {
  std::vector<PageTags> pages;
  TIFF* tiff = TIFFOpen(path.c_str(), "r");
  if (!tiff) return pages;
  do {
    PageTags tags;
    char* description = nullptr;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &tags.width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &tags.length);
    TIFFGetField(tiff, TIFFTAG_SUBFILETYPE, &tags.subfileType);
    TIFFGetField(tiff, TIFFTAG_SAMPLESPERPIXEL, &tags.samples);
    TIFFGetField(tiff, TIFFTAG_BITSPERSAMPLE, &tags.bits);
    TIFFGetField(tiff, TIFFTAG_ORIENTATION, &tags.orientation);
    TIFFGetField(tiff, TIFFTAG_PLANARCONFIG, &tags.planar);
    TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &tags.photometric);
    TIFFGetField(tiff, TIFFTAG_RESOLUTIONUNIT, &tags.resolutionUnit);
    TIFFGetField(tiff, TIFFTAG_PAGENUMBER, &tags.page, &tags.pages);
    TIFFGetField(tiff, TIFFTAG_COMPRESSION, &tags.compression);
    TIFFGetField(tiff, TIFFTAG_PREDICTOR, &tags.predictor);
    TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &tags.xResolution);
    TIFFGetField(tiff, TIFFTAG_YRESOLUTION, &tags.yResolution);
    if (TIFFGetField(tiff, TIFFTAG_IMAGEDESCRIPTION, &description)) tags.description = description;
    for (std::uint32_t i = 0; i < tags.length; ++i) {
      std::vector<unsigned char> row(TIFFScanlineSize(tiff));
      TIFFReadScanline(tiff, row.data(), i, 0);
      tags.rows.push_back(row);
    }
    pages.push_back(tags);
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
  const std::vector<PageTags> pages = readPages(directory.file("stack.tif"));
  ASSERT_EQ(pages.size(), 4u);
  for (std::uint16_t k = 0; k < 4; ++k) {
    const PageTags& tags = pages[k];
    EXPECT_EQ(tags.width, 5u);
    EXPECT_EQ(tags.length, 3u);
    EXPECT_EQ(tags.samples, 1);
    EXPECT_EQ(tags.bits, 8);
    EXPECT_EQ(tags.orientation, 1);
    EXPECT_EQ(tags.planar, 1);
    EXPECT_EQ(tags.photometric, 1);
    EXPECT_EQ(tags.subfileType, 1u);
    EXPECT_EQ(tags.page, k);
    EXPECT_EQ(tags.pages, 4);
    EXPECT_FLOAT_EQ(tags.xResolution, 4); // 1 / voxel width
    EXPECT_FLOAT_EQ(tags.yResolution, 2); // 1 / voxel height
    EXPECT_EQ(tags.resolutionUnit, 1);
    EXPECT_EQ(tags.compression, 1);
    EXPECT_EQ(tags.description,
              "ImageJ=1.47v\nimages=4\nslices=4\nunit=micron\nspacing=2.000000\nloop=false");
  }
  EXPECT_EQ(pages[0].rows[1][2], static_cast<unsigned char>(matrix(1, 2, 0))); // truncated
  EXPECT_EQ(pages[1].rows[1][2], 255);
  EXPECT_EQ(pages[1].rows[0][0], 0);
}

TEST(TiffStackWrite, LzwWithHorizontalDifferencingAndOtherUnits) {
  TemporaryDirectory directory;
  rampMatrix(8, 8, 2).saveAsTiff(directory.file("lzw.tif"), true);
  const std::vector<PageTags> pages = readPages(directory.file("lzw.tif"));
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[1].compression, 5);
  EXPECT_EQ(pages[1].predictor, 2);
  EXPECT_EQ(pages[1].rows[7][7], static_cast<unsigned char>((49 + 21 + 40) % 256));
  VoxelMatrix<float> matrix = rampMatrix(1, 1, 1);
  matrix.setVoxelCalibration(voxelCalibration(1, 1, 0.125f, -3));
  matrix.saveAsTiff(directory.file("mm.tif"));
  EXPECT_EQ(readPages(directory.file("mm.tif"))[0].description,
            "ImageJ=1.47v\nimages=1\nslices=1\nunit=mm\nspacing=0.125000\nloop=false");
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

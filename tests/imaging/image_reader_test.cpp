// Reading image files: format recognition, TIFF headers and their ImageJ calibration (and how missing
// pixel sizes are completed), TIFF pixels, the raw 512 x 512 format, the LSM header and its information
// block, hostile TIFF files; image sources, what they answer from headers and their pixels. Hostile TIFF and
// LSM files whose headers promise more pixels than their strips can decode to are refused cleanly, before
// memory is committed for the promise (also as cells of a mosaic); honest files at the largest expansion
// their compression allows still read.
#include "foundation/Exception.h"
#include "imaging/Image.h"
#include "imaging/ImageReader.h"
#include "imaging/ImageSourceFile.h"
#include "imaging/ImageSourceFileMosaic.h"
#include "imaging/ImageSourceLSMStackPlane.h"
#include "imaging/ImageSourceTiffStackPlane.h"
#include "imaging/ImageSourceVoxelMatrixFilePlane.h"
#include "imaging/ImageSourceVoxelMatrixPlane.h"
#include "imaging/PixelCalibration.h"
#include "imaging/VoxelMatrix.h"
#include "tests/imaging/TiffFixtures.h"
#include "tests/support/ExpectException.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <new>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace {

// The header of a file written with layout.
ImageHeader headerOf(const TemporaryDirectory& directory, const std::string& name, const TiffLayout& layout,
                     int pages = 1) {
  writeTiff(directory.file(name), layout, pages);
  return ::headerOf(directory.file(name));
}

// The bytes of a little-endian TIFF whose LSM block entry declares type and count instead.
std::string withEntryTypeAndCount(const std::string& bytes, std::uint16_t type, std::uint32_t count) {
  return withDirectoryTag(withDirectoryTag(bytes, 0, 34412, type, 2), 0, 34412, count, 4);
}

// "read" when header, image and first plane read, else the class of the refusal; failures are
// recorded for refusals that do not name the file.
std::string outcome(const std::string& path) {
  try {
    const ImageHeader header = ::headerOf(path);
    Image image;
    quietly([&] { ImageReader().read(image, path); });
    if (header.getFormat() == ImageFormat::Lsm) {
      ImageSourceLSMStackPlane plane;
      quietly([&] {
        plane.setLSMStackFilename(path);
        ImageReader().read(image, plane);
      });
    }
  } catch (const FileError& error) {
    EXPECT_EQ(error.getFilename(), path);
    return error.getWhat();
  }
  return "read";
}

// Files whose headers promise what their strips cannot give: 1.6 GB promised by a megabyte of deflate
// noise; 900 MB over 400 kB of LZW noise (a plausible ratio for the scheme); a harmless first page
// followed by one row of 800 MB.
std::vector<std::string> writeHostileFiles(const TemporaryDirectory& directory) {
  const std::vector<std::string> paths = {directory.file("bomb.tif"), directory.file("noise.tif"),
                                          directory.file("wide.tif")};
  writeRawTiff(paths[0], {RawPage{40000, 40000, COMPRESSION_ADOBE_DEFLATE, noiseBytes(1 << 20)}});
  writeRawTiff(paths[1], {RawPage{30000, 30000, COMPRESSION_LZW, noiseBytes(400000, 7)}});
  writeRawTiff(paths[2], {{4, 3, COMPRESSION_NONE, noiseBytes(12)},
                          {100000000, 1, COMPRESSION_NONE, noiseBytes(100), 16, 4}});
  return paths;
}

} // namespace

// === Recognition and headers

TEST(ImageHeaders, RecognisedByContentWithTheirDepthAndPalette) {
  TemporaryDirectory directory;
  EXPECT_EQ(describe(headerOf(directory, "a.tif", TiffLayout())),
            "format 3, 4x3x1, depth 8, channels 0, unit 0, pixel 1x1, z 1");
  writeFile(directory.file("scan.IMG"), "0000" + std::string(20, 'x'));
  EXPECT_EQ(describe(headerOf(directory.file("scan.IMG"))),
            "format 2, 512x512x0, depth 8, channels 0, unit 0, pixel 1x1, z 1");
  writeFile(directory.file("scan.dat"), "0000abcd"); // zeros with another suffix
  formatErrorNaming(directory.file("scan.dat"), [&] { headerOf(directory.file("scan.dat")); });
  for (const char* bytes : {"", "II"}) {
    writeFile(directory.file("short.tif"), bytes);
    EXPECT_THROW(headerOf(directory.file("short.tif")), FileFormatError) << bytes;
  }
  EXPECT_THROW(headerOf("/nonexistent/image.tif"), FileReadError);
  // A TIFF's depth is bits times samples; odd sample sizes and counts are refused.
  EXPECT_EQ(headerOf(directory, "rgb.tif", TiffLayout{4, 3, 8, 3, PHOTOMETRIC_RGB}).getDepth(), 24);
  EXPECT_EQ(headerOf(directory, "grey16.tif", TiffLayout{4, 3, 16}).getDepth(), 16);
  for (const TiffLayout& odd : {TiffLayout{4, 3, 12}, TiffLayout{4, 3, 32}, TiffLayout{4, 3, 8, 2}})
    EXPECT_THROW(headerOf(directory, "odd.tif", odd), FileFormatError) << odd.bitsPerSample;
  const ImageHeader palette = headerOf(directory, "palette.tif", TiffLayout{4, 3, 8, 1, PHOTOMETRIC_PALETTE});
  ASSERT_NE(palette.getColormap(), nullptr);
  EXPECT_EQ(palette.getColormap()->getColor(10), Vector<int>(std::vector<int>{10, 245, 0}));
}

// === TIFF calibration

TEST(TiffCalibration, ResolutionTagsAndImageJDescriptions) {
  struct Case {
    std::string description;
    float xResolution, yResolution;
    int resolutionUnit, pages;
    const char* expected;
  };
  const Case cases[] = {
      {"ImageJ=1.47v\nimages=3\nslices=3\nunit=micron\nspacing=0.5\nloop=false", 4, 2, RESUNIT_NONE, 3,
       "unit -6, pixel 0.25x0.5, z 0.5"},
      {"ImageJ=1.47v\nunit=micron\nspacing=0.5\nloop=false", -1, -1, -1, 1, "unit -6, pixel 1x1, z 1"},
      // the description is ignored when a resolution unit other than none is set
      {"unit=nm", 100, -1, RESUNIT_INCH, 1, "unit -2, pixel 0.0254x0.0254, z 1"},
      {"", 10, 20, RESUNIT_CENTIMETER, 1, "unit -2, pixel 0.1x0.05, z 1"},
      {"", 0, 0, RESUNIT_INCH, 1, "unit -2, pixel 1x1, z 1"}, // a zero resolution sets no size
      {"spacing=abc\nloop=false", -1, -1, -1, 2, "unit 0, pixel 1x1, z 1"},
      {"unit=cm", -1, -1, -1, 1, "unit -2, pixel 1x1, z 1"},
      {"unit=mm", -1, -1, -1, 1, "unit -3, pixel 1x1, z 1"},
      {"unit=um", -1, -1, -1, 1, "unit -6, pixel 1x1, z 1"},
      {"unit=\xC2\xB5m", -1, -1, -1, 1, "unit -6, pixel 1x1, z 1"},
      {"unit=\\u00B5m", -1, -1, -1, 1, "unit -6, pixel 1x1, z 1"},
      {"unit=inch", -1, -1, -1, 1, "unit 0, pixel 1x1, z 1"},
      {"unit=cm\nunit=nm", -1, -1, -1, 1, "unit -9, pixel 1x1, z 1"}}; // later keys win
  TemporaryDirectory directory;
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.description);
    TiffLayout layout;
    layout.description = c.description, layout.xResolution = c.xResolution;
    layout.yResolution = c.yResolution, layout.resolutionUnit = c.resolutionUnit;
    const ImageHeader header = headerOf(directory, std::to_string(n++) + ".tif", layout, c.pages);
    const std::string planes = "format 3, 4x3x" + std::to_string(c.pages) + ", depth 8, channels 0, ";
    EXPECT_EQ(describe(header), planes + c.expected);
    EXPECT_EQ(header.getPixelCalibration().isPixelWidthSet(), c.xResolution > 0);
  }
}

// Which of width, height and ratio are set (negative: unset), and what compute() makes of them.
TEST(PixelCalibrationCompute, CompletesWhatIsMissingFromWhatIsSet) {
  struct Case {
    float width, height, ratio;
    bool computed;
    float expectedWidth, expectedHeight, expectedRatio;
  };
  const Case cases[] = {{2, 3, -1, true, 2, 3, 1.5f}, {0.5f, -1, -1, true, 0.5f, 0.5f, 1},
                        {-1, 4, -1, true, 4, 4, 1},   {-1, -1, -1, false, 1, 1, 1},
                        {2, 3, 7, false, 2, 3, 7},    {2, -1, 3, true, 2, 6, 3},
                        {-1, -1, 2, true, 1, 2, 2},   {-1, 6, 3, true, 2, 6, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << ' ' << c.height << ' ' << c.ratio);
    PixelCalibration calibration;
    if (c.width >= 0) calibration.setPixelWidth(c.width);
    if (c.height >= 0) calibration.setPixelHeight(c.height);
    if (c.ratio >= 0) calibration.setAspectRatio(c.ratio);
    EXPECT_EQ(calibration.compute(), c.computed);
    EXPECT_FLOAT_EQ(calibration.getPixelWidth(), c.expectedWidth);
    EXPECT_FLOAT_EQ(calibration.getPixelHeight(), c.expectedHeight);
    EXPECT_FLOAT_EQ(calibration.getAspectRatio(), c.expectedRatio);
    // compute() leaves the flags as they were
    EXPECT_EQ(calibration.isPixelHeightSet(), c.height >= 0);
    EXPECT_EQ(calibration.isAspectRatioSet(), c.ratio >= 0);
  }
}

// === Pixels

TEST(ImagePixels, GreyCompressedRgbAndRawReadExactly) {
  TemporaryDirectory directory;
  TiffLayout layout{4, 3, 16};
  layout.value = [](int, int row, int column, int) {
    return static_cast<unsigned>(1000 * row + column + 300);
  };
  writeTiff(directory.file("grey16.tif"), layout);
  Image image;
  ImageReader().read(image, directory.file("grey16.tif"));
  ASSERT_EQ(image.getDepth(), 16);
  std::uint16_t value;
  std::memcpy(&value, image.row(2) + 2 * 3, 2);
  EXPECT_EQ(value, 2303);
  layout = TiffLayout{4, 3, 8, 3, PHOTOMETRIC_RGB};
  layout.compression = COMPRESSION_LZW;
  writeTiff(directory.file("rgb.tif"), layout);
  ImageReader().read(image, directory.file("rgb.tif"));
  ASSERT_EQ(image.getDepth(), 24);
  EXPECT_EQ(image.row(1)[2 * 3 + 2], defaultPixelValue(0, 1, 2, 2));
  layout.compression = COMPRESSION_NONE;
  layout.planarConfig = PLANARCONFIG_SEPARATE;
  writeTiff(directory.file("planes.tif"), layout);
  EXPECT_THROW(ImageReader().read(image, directory.file("planes.tif")), FileFormatError);
  // The raw format skips twelve bytes and reads what the file holds.
  std::string bytes = "0000" + std::string(8, 'h');
  for (int n = 0; n < 600; ++n) bytes += static_cast<char>(n % 200);
  writeFile(directory.file("short.img"), bytes);
  ImageReader().read(image, directory.file("short.img"));
  EXPECT_EQ(image.getWidth(), 512);
  EXPECT_EQ(image.row(0)[5], 5);
  EXPECT_EQ(image.row(1)[0], 512 % 200);
  EXPECT_EQ(image.row(2)[0], 0);
  writeTiff(directory.file("named.tif"), TiffLayout()); // name and prefix read the file
  EXPECT_EQ(Image("named.tif", directory.path() + "/").getHeader().getFormat(), ImageFormat::Tiff);
}

// === Hostile TIFF files

TEST(HostileTiff, MissingDirectoriesAndOffsetsPastTheEndAreRefusedAndRandomBytesNeverCrash) {
  TemporaryDirectory directory;
  const auto tiffHeader = [](std::uint32_t firstDirectory) {
    return std::string("II*\0", 4) + std::string(reinterpret_cast<const char*>(&firstDirectory), 4);
  };
  for (const std::string& bytes : {tiffHeader(0), tiffHeader(1000000) + std::string(16, '\0')}) {
    writeFile(directory.file("bad.tif"), bytes);
    EXPECT_THROW(headerOf(directory.file("bad.tif")), FileFormatError);
  }
  const std::string strips = directory.file("strips.tif");
  writeTiff(strips, TiffLayout());
  writeFile(strips, withDirectoryTag(readFile(strips), 0, TIFFTAG_STRIPOFFSETS, 5000000));
  Image image;
  EXPECT_EQ(expectThrow<FileReadError>([&] { ImageReader().read(image, strips); }).getFilename(), strips);
  // Random bytes after a TIFF signature only fail by crashing: worth their lines under the sanitizers.
  for (int trial = 0; trial < 40; ++trial) {
    writeFile(directory.file("random.tif"),
              std::string(trial % 2 ? "II*\0" : "MM\0*", 4) + noiseBytes(200, 12345 + trial));
    EXPECT_THROW(ImageReader().read(image, directory.file("random.tif")), Exception) << trial;
  }
}

// === LSM

// The LSM information block declared with every TIFF data type and with counts from none to far beyond the
// file: libtiff holds the values in the type of the directory entry, so the reader must take the block's
// length from what libtiff returns and refuse blocks too short for its fields. Under the address sanitizer
// a read past libtiff's buffer fails these cases.
TEST(LsmBlocks, OddBitsOtherMagicsHostileBlocksAndZeroDimensionsAreRefusedAndEveryTypeAndCountIsSafe) {
  TemporaryDirectory directory;
  writeTiff(directory.file("base.lsm"), lsmLayout(4, 3));
  const std::string base = readFile(directory.file("base.lsm"));
  // Every type libtiff knows and a few it does not, with counts from none to beyond the file; a block of
  // bytes reads when it holds the fields and is refused when it does not.
  std::map<std::pair<int, std::uint32_t>, std::string> known;
  known[{TIFF_BYTE, 224}] = known[{TIFF_UNDEFINED, 224}] = known[{TIFF_SBYTE, 64}] = "read";
  known[{TIFF_BYTE, 63}] = known[{TIFF_BYTE, 1}] = "LSM information block too short";
  const std::uint32_t counts[] = {0,  1,   2,   15,  16,     31,         32,        63,
                                  64, 112, 224, 225, 100000, 0x7FFFFFFF, 0xFFFFFFFF};
  for (std::uint16_t type = 0; type <= 19; ++type) // 5 (RATIONAL) at 224: the fuzzer's file
    for (std::uint32_t count : counts) {
      SCOPED_TRACE(testing::Message() << "type " << type << ", count " << count);
      const std::string path = directory.file("variant.lsm");
      writeFile(path, withEntryTypeAndCount(base, type, count));
      const std::string result = outcome(path);
      if (known.count({type, count})) {
        EXPECT_EQ(result, known.at({type, count}));
      }
    }
  // Zero dimensions are refused whatever the other one.
  const std::pair<int, int> sizes[] = {{0, 0}, {7, 0}, {0x7FFFFFFF, 0}, {0, 0x7FFFFFFF}};
  for (const auto& [x, y] : sizes) {
    SCOPED_TRACE(testing::Message() << x << " x " << y);
    writeTiff(directory.file("zero.lsm"), lsmLayout(x, y));
    EXPECT_EQ(outcome(directory.file("zero.lsm")), "Zero dimension in LSM information block");
  }
  // Odd bits, other magic numbers and blocks cut short or with hostile sizes are refused.
  std::vector<TiffLayout> hostile = {lsmLayout(4, 3), lsmLayout(4, 3), lsmLayout(4, 3, 1, 0x12345678),
                                     lsmLayout(-4, 3, -7), lsmLayout(0x7FFFFFFF, 0x7FFFFFFF)};
  hostile[0].bitsPerSample = 12;
  hostile[1].lsmBlock.resize(30); // a block cut short
  for (std::size_t n = 0; n < hostile.size(); ++n) {
    const std::string path = directory.file(std::to_string(n) + ".lsm");
    writeTiff(path, hostile[n]);
    Image picture; // the last one's header is fine: its pixels are what the file cannot hold
    const auto read = [&] {
      n < 4 ? (void)headerOf(path) : quietly([&] { ImageReader().read(picture, path); });
    };
    EXPECT_THROW(read(), FileFormatError) << n;
  }
}

// === Image sources

TEST(ImageSources, TiffStackPlanesMatrixPlanesAndMosaicsOfFilesAnswerFromHeadersAndReadTheirPixels) {
  TemporaryDirectory directory;
  TiffLayout layout;
  layout.description = "ImageJ=1.47v\nimages=3\nslices=3\nunit=micron\nspacing=0.75\nloop=false";
  writeTiff(directory.file("stack.tif"), layout, 3);
  ImageSourceTiffStackPlane stack;
  stack.setTiffStackFilename(directory.file("stack.tif"));
  EXPECT_EQ(stack.getNumImages(), 3);
  EXPECT_FLOAT_EQ(stack.getVoxelSizeZ(), 0.75f);
  EXPECT_EQ(stack.getSize(), Vector<int>(std::vector<int>{3, 4}));
  EXPECT_EQ(stack.getPixelCalibration().getLengthUnit().getScale(), -6);
  Image image;
  for (int plane : {2, 0, 1}) {
    stack.setPlane(plane);
    ImageReader().read(image, stack);
    EXPECT_EQ(image.row(1)[2], defaultPixelValue(plane, 1, 2, 0)) << "plane " << plane;
  }
  const std::unique_ptr<ImageSource> clone = stack.clone();
  EXPECT_EQ(static_cast<const ImageSourceTiffStackPlane&>(*clone).getPlane(), 1);
  EXPECT_FLOAT_EQ(static_cast<const ImageSourceTiffStackPlane&>(*clone).getVoxelSizeZ(), 0.75f);
  stack.setPlane(3);
  EXPECT_THROW(ImageReader().read(image, stack), FileReadError);
  stack.setPlane(-1);
  EXPECT_FALSE(stack.isDefined());
  writeFile(directory.file("junk.tif"), "not an image"); // header errors reach the caller
  EXPECT_THROW(stack.setTiffStackFilename(directory.file("junk.tif")), FileFormatError);
  EXPECT_THROW(ImageSourceFile().setFilename("/nonexistent.tif"), FileReadError);
  // Planes of voxel matrices in memory are 16-bit images, planes of ".vm" files 8-bit.
  VoxelMatrix<float> matrix(2, 3, 4);
  matrix.fill(7);
  matrix(1, 2, 1) = 1000.5f;
  matrix(0, 1, 3) = 200;
  ImageSourceVoxelMatrixPlane memory;
  memory.setVoxelMatrix(matrix);
  memory.setPlane(1);
  quietly([&] { ImageReader().read(image, memory); });
  ASSERT_EQ(image.getDepth(), 16);
  std::uint16_t value;
  std::memcpy(&value, image.row(1) + 4, 2);
  EXPECT_EQ(value, 1000);
  matrix.save(directory.file("m.vm"));
  ImageSourceVoxelMatrixFilePlane file; // sizes come from the header
  file.setVoxelMatrixFilename(directory.file("m.vm"));
  EXPECT_EQ(file.getVoxelMatrixSize()[2], 4);
  file.setPlane(3);
  quietly([&] { ImageReader().read(image, file); });
  EXPECT_EQ(image.getDepth(), 8);
  EXPECT_EQ(image.row(0)[1], 200);
  // A mosaic assembles file cells in a grid.
  ImageSourceFile cells[2];
  for (int n = 0; n < 2; ++n) { // 2 x 2 pixels of 10, then 1 x 3 pixels of 20
    TiffLayout cell;
    cell.width = 2 + n, cell.height = 2 - n;
    cell.value = [n](int, int, int, int) { return 10u + 10u * n; };
    writeTiff(directory.file(std::to_string(n) + ".tif"), cell);
    cells[n].setFilename(directory.file(std::to_string(n) + ".tif"));
  }
  ImageSourceFileMosaic mosaic(2, 2);
  mosaic.setCell(0, 0, cells[0]);
  mosaic.setCell(1, 1, cells[1]);
  EXPECT_EQ(mosaic.getSize(), Vector<int>(std::vector<int>{3, 5})); // rows 2 + 1, columns 2 + 3
  Image picture;
  ImageReader().read(picture, mosaic);
  EXPECT_EQ(picture.row(1)[1], 10);
  EXPECT_EQ(picture.row(2)[4], 20);
  EXPECT_EQ(picture.row(0)[4], 0);
}

// === Strip sizes against the announced image

TEST(TiffBudget, PromisesBeyondTheSchemeOrWhatTheStripsDecodeToAreRefusedBeforeAllocating) {
  TemporaryDirectory directory;
  const std::vector<std::string> hostile = writeHostileFiles(directory);
  std::vector<std::string> paths = {hostile[0]};
  // 36 MB announced over 1000 stored bytes: beyond any of these schemes (at most 2731 : 1).
  for (int compression :
       {COMPRESSION_NONE, COMPRESSION_PACKBITS, COMPRESSION_LZW, COMPRESSION_ADOBE_DEFLATE}) {
    paths.push_back(directory.file("scheme" + std::to_string(compression) + ".tif"));
    writeRawTiff(paths.back(), {RawPage{6000, 6000, compression, noiseBytes(1000)}});
  }
  for (const std::string& path : paths) {
    SCOPED_TRACE(path);
    Image image;
    EXPECT_EQ(expectThrow<FileFormatError>([&] { ImageReader().read(image, path); }).getWhat(),
              "Image size in file header exceeds what the file can hold");
    ImageSourceTiffStackPlane source;
    source.setTiffStackFilename(path);
    EXPECT_THROW(ImageReader().read(image, source), FileFormatError);
    EXPECT_EQ(image.dataLength(), 0u);
    EXPECT_THROW(VoxelMatrix<float>{path}, FileFormatError);
  }
  // Strips that decode to less than they promise, and huge later pages, fail before allocating too.
  Image image;
  EXPECT_THROW(ImageReader().read(image, hostile[1]), FileReadError);
  EXPECT_EQ(image.dataLength(), 0u);
  EXPECT_THROW(VoxelMatrix<unsigned char>{hostile[1]}, FileReadError);
  ImageSourceTiffStackPlane source;
  source.setTiffStackFilename(hostile[2]);
  ImageReader().read(image, source);
  EXPECT_EQ(image.getWidth(), 4);
  source.setPlane(1);
  EXPECT_THROW(ImageReader().read(image, source), FileFormatError);
  EXPECT_THROW(VoxelMatrix<float>{hostile[2]}, FileFormatError);
}

TEST(TiffBudget, HonestFilesAtTheLargestExpansionStillRead) {
  TemporaryDirectory directory;
  for (int compression : {COMPRESSION_PACKBITS, COMPRESSION_LZW, COMPRESSION_ADOBE_DEFLATE}) {
    const std::string path = directory.file("zeros" + std::to_string(compression) + ".tif");
    TiffLayout zeros; // the most any encoder can compress
    zeros.width = zeros.height = 2048, zeros.compression = compression;
    zeros.value = [](int, int, int, int) { return 0u; };
    writeTiff(path, zeros);
    Image image;
    ImageReader().read(image, path);
    ASSERT_EQ(image.getHeight(), 2048) << path;
    EXPECT_EQ(image.row(2047)[2047], 0) << path;
    EXPECT_EQ(VoxelMatrix<unsigned char>(path).getSize1(), 2048) << path;
  }
}

TEST(TiffBudget, PagesSharingOneStripAreRefusedOnceTheyAddUpPastTheFile) {
  TemporaryDirectory directory;
  const std::string path = directory.file("shared.tif");
  std::vector<RawPage> pages(40, RawPage{64, 64, COMPRESSION_NONE, std::string(1, '\1')});
  pages[0].strip = noiseBytes(64 * 64);
  writeRawTiff(path, pages);
  // Every later page points at the first page's 4096 bytes, which libtiff wrote right after the header.
  std::string bytes = readFile(path);
  for (int page = 1; page < 40; ++page) {
    bytes = withDirectoryTag(bytes, page, TIFFTAG_STRIPOFFSETS, 8);
    bytes = withDirectoryTag(bytes, page, TIFFTAG_STRIPBYTECOUNTS, 64 * 64);
  }
  writeFile(path, bytes);
  ASSERT_LT(bytes.size(), 40u * 64 * 64);
  EXPECT_EQ(expectThrow<FileFormatError>([&] { VoxelMatrix<unsigned char> matrix(path); }).getWhat(),
            "Strip byte counts exceed the file length");
  // One page at a time, each is what it says.
  ImageSourceTiffStackPlane source;
  source.setTiffStackFilename(path);
  source.setPlane(39);
  Image image;
  ImageReader().read(image, source);
  EXPECT_EQ(image.row(63)[63], static_cast<unsigned char>(pages[0].strip[64 * 64 - 1]));
}

TEST(LsmBudget, BlocksPromisingMoreThanTheFileHoldsAreRefusedAlsoAsMosaicCells) {
  TemporaryDirectory directory;
  const std::string paths[] = {directory.file("honest.tif"), directory.file("promise.lsm"),
                               directory.file("huge.lsm")};
  writeTiff(paths[0], TiffLayout());
  writeTiff(paths[1], lsmLayout(6000, 6000));
  writeTiff(paths[2], lsmLayout(0x7FFFFFFF, 0x7FFFFFFF));
  Image image;
  ImageSourceFile cells[3];
  ImageSourceLSMStackPlane source;
  quietly([&] {
    EXPECT_THROW(ImageReader().read(image, paths[1]), FileFormatError);
    source.setLSMStackFilename(paths[1]);
    EXPECT_THROW(ImageReader().read(image, source), FileFormatError);
    for (int n = 0; n < 3; ++n) cells[n].setFilename(paths[n]);
  });
  EXPECT_EQ(image.dataLength(), 0u);
  ImageSourceFileMosaic mosaic(1, 2), hugeMosaic(2, 2);
  mosaic.setCell(0, 0, cells[0]);
  mosaic.setCell(0, 1, cells[1]);
  EXPECT_THROW(ImageReader().read(image, mosaic), FileFormatError);
  EXPECT_EQ(image.dataLength(), 0u);
  for (int n = 0; n < 4; ++n) hugeMosaic.setCell(n / 2, n % 2, cells[2]);
  EXPECT_EQ(hugeMosaic.getSize1(), 0x7FFFFFFF); // sizes of huge cells add up without overflowing
  EXPECT_EQ(hugeMosaic.getSize2(), 0x7FFFFFFF);
  EXPECT_THROW(ImageReader().read(image, hugeMosaic), Exception);
  EXPECT_EQ(image.dataLength(), 0u);
}

// === Under a memory cap: the hostile files above fail without ever asking for the memory they promise.
// The address sanitizer reserves more address space than the cap: builds with it leave this case out.
#if !defined(__SANITIZE_ADDRESS__) // set by GCC and recent Clang

namespace {

// In the child of a death test: caps the address space 256 MB above what is in use, then reads
// every file as an image and as a stack. Exits 2 when memory ran out, 1 when a stack loaded, and
// 0 when every stack was refused with an Exception.
void readEachUnderACap(const std::vector<std::string>& paths) {
  std::ifstream statm("/proc/self/statm");
  long long pages = 0;
  statm >> pages;
  const rlim_t cap = static_cast<rlim_t>(pages * sysconf(_SC_PAGESIZE) + (256LL << 20));
  const rlimit limit{cap, cap};
  setrlimit(RLIMIT_AS, &limit);
  for (const std::string& path : paths) {
    try {
      try {
        Image image;
        ImageReader().read(image, path); // the first page may be harmless
      } catch (const Exception&) {
      }
      VoxelMatrix<unsigned char> matrix(path);
      std::_Exit(1);
    } catch (const Exception&) {
    } catch (const std::bad_alloc&) {
      std::_Exit(2);
    }
  }
  std::_Exit(0);
}

} // namespace

TEST(TiffBudgetUnderAMemoryCap, HostileFilesNeverAskForWhatTheyPromise) {
  TemporaryDirectory directory;
  EXPECT_EXIT(readEachUnderACap(writeHostileFiles(directory)), testing::ExitedWithCode(0), "");
}

#endif

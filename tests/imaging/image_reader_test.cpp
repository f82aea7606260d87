// Reading image files: format recognition, TIFF headers and their ImageJ calibration (and how missing
// pixel sizes are completed), TIFF pixels, the raw 512 x 512 format, the LSM header, hostile TIFF files.
#include "imaging/Image.h"
#include "imaging/ImageReader.h"
#include "imaging/PixelCalibration.h"

#include "foundation/Exception.h"
#include "tests/imaging/TiffFixtures.h"
#include "tests/support/ExpectException.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdint>
#include <cstring>

namespace {

// The header of a file written with layout.
ImageHeader headerOf(const TemporaryDirectory& directory, const std::string& name, const TiffLayout& layout,
                     int pages = 1) {
  writeTiff(directory.file(name), layout, pages);
  return ::headerOf(directory.file(name));
}

} // namespace

// === Recognition and headers

TEST(ImageRecognition, TiffRawAndUnknownFiles) {
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
}

TEST(TiffHeader, DepthIsBitsTimesSamplesAndOddSamplesAreRefused) {
  TemporaryDirectory directory;
  const auto layout = [](int bits, int samples, int photometric) {
    TiffLayout layout;
    layout.bitsPerSample = bits, layout.samplesPerPixel = samples, layout.photometric = photometric;
    return layout;
  };
  EXPECT_EQ(headerOf(directory, "rgb.tif", layout(8, 3, PHOTOMETRIC_RGB)).getDepth(), 24);
  EXPECT_EQ(headerOf(directory, "grey16.tif", layout(16, 1, 1)).getDepth(), 16);
  for (const TiffLayout& odd : {layout(12, 1, 1), layout(32, 1, 1), layout(8, 2, 1)})
    EXPECT_THROW(headerOf(directory, "odd.tif", odd), FileFormatError) << odd.bitsPerSample;
  const ImageHeader palette = headerOf(directory, "palette.tif", layout(8, 1, PHOTOMETRIC_PALETTE));
  ASSERT_NE(palette.getColormap(), nullptr);
  EXPECT_EQ(palette.getColormap()->getSize(), 256);
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

TEST(TiffPixels, GreyAndCompressedRgbReadExactly) {
  TemporaryDirectory directory;
  TiffLayout layout;
  layout.bitsPerSample = 16;
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
  layout = TiffLayout();
  layout.samplesPerPixel = 3;
  layout.photometric = PHOTOMETRIC_RGB;
  layout.compression = COMPRESSION_LZW;
  writeTiff(directory.file("rgb.tif"), layout);
  ImageReader().read(image, directory.file("rgb.tif"));
  ASSERT_EQ(image.getDepth(), 24);
  EXPECT_EQ(image.row(1)[2 * 3 + 2], defaultPixelValue(0, 1, 2, 2));
  layout.compression = COMPRESSION_NONE;
  layout.planarConfig = PLANARCONFIG_SEPARATE;
  writeTiff(directory.file("planes.tif"), layout);
  EXPECT_THROW(ImageReader().read(image, directory.file("planes.tif")), FileFormatError);
}

TEST(RawImgPixels, SkipTwelveBytesAndReadWhatTheFileHolds) {
  TemporaryDirectory directory;
  std::string bytes = "0000" + std::string(8, 'h');
  for (int n = 0; n < 600; ++n) bytes += static_cast<char>(n % 200);
  writeFile(directory.file("short.img"), bytes);
  Image image;
  ImageReader().read(image, directory.file("short.img"));
  EXPECT_EQ(image.getWidth(), 512);
  EXPECT_EQ(image.row(0)[5], 5);
  EXPECT_EQ(image.row(1)[0], 512 % 200);
  EXPECT_EQ(image.row(2)[0], 0);
  writeTiff(directory.file("named.tif"), TiffLayout()); // name and prefix read the file
  EXPECT_EQ(Image("named.tif", directory.path() + "/").getHeader().getFormat(), ImageFormat::Tiff);
}

// === LSM

TEST(LsmHeader, OddBitsOtherMagicsAndHostileBlocksAreRefused) {
  TemporaryDirectory directory;
  const auto lsm = [](int x, int y, int channels, std::uint32_t magic = 0x0400494C) {
    TiffLayout layout;
    layout.lsmBlock = lsmInformationBlock(x, y, channels, magic);
    return layout;
  };
  std::vector<TiffLayout> layouts = {lsm(4, 3, 1), lsm(4, 3, 1), lsm(4, 3, 1, 0x12345678), lsm(-4, 3, -7),
                                     lsm(0x7FFFFFFF, 0x7FFFFFFF, 1)};
  layouts[0].bitsPerSample = 12;
  layouts[1].lsmBlock.resize(30); // a block cut short
  for (std::size_t n = 0; n < layouts.size(); ++n) {
    const std::string path = directory.file(std::to_string(n) + ".lsm");
    writeTiff(path, layouts[n]);
    Image image; // the last one's header is fine: its pixels are what the file cannot hold
    const auto read = [&] {
      n < 4 ? (void)headerOf(path) : quietly([&] { ImageReader().read(image, path); });
    };
    EXPECT_THROW(read(), FileFormatError) << n;
  }
}

// === Hostile TIFF files

TEST(HostileTiff, MissingDirectoriesAndOffsetsPastTheEndAreRefused) {
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
}

// Fails only by crashing: worth its lines under the sanitizers.
TEST(HostileTiff, RandomBytesAfterATiffSignatureNeverCrash) {
  TemporaryDirectory directory;
  for (int trial = 0; trial < 40; ++trial) {
    writeFile(directory.file("random.tif"),
              std::string(trial % 2 ? "II*\0" : "MM\0*", 4) + noiseBytes(200, 12345 + trial));
    Image image;
    EXPECT_THROW(ImageReader().read(image, directory.file("random.tif")), Exception) << trial;
  }
}

// Reading image files: format recognition, TIFF headers and their ImageJ calibration, TIFF pixels
// with progress and cancel, the raw 512 x 512 format, the LSM header, and hostile TIFF files.
#include "imaging/Image.h"
#include "imaging/ImageReader.h"

#include "foundation/Exception.h"
#include "foundation/ProgressMonitor.h"
#include "tests/imaging/TiffFixtures.h"
#include "tests/support/ExpectException.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdint>
#include <cstring>

namespace {

ImageHeader readHeader(const std::string& path) {
  ImageHeader header;
  ImageReader().read(header, path);
  return header;
}

// Counts the notifications of a reader; cancels it after a given number of rows.
class CountingMonitor : public ProgressMonitor {
public:
  explicit CountingMonitor(ImageReader& reader, int cancelAfter = -1)
      : _reader(reader), _cancelAfter(cancelAfter) {}
  void subjectStarted(ProgressSubject* subject) override {
    ProgressMonitor::subjectStarted(subject);
    ++started;
  }
  void subjectFinished(ProgressSubject*) override { ++finished; }
  using ProgressMonitor::subjectProgressed;
  void subjectProgressed(ProgressSubject*, int current, int total) override {
    ++rows;
    lastTotal = total;
    if (current == _cancelAfter) _reader.cancel();
  }
  int started = 0, finished = 0, rows = 0, lastTotal = 0;

private:
  ImageReader& _reader;
  int _cancelAfter;
};

} // namespace

// === Recognition

TEST(ImageRecognition, APlainTiffIsFormatThree) {
  TemporaryDirectory directory;
  writeTiff(directory.file("a.tif"), TiffLayout());
  const ImageHeader header = readHeader(directory.file("a.tif"));
  EXPECT_EQ(header.getFormat(), 3);
  EXPECT_EQ(header.getWidth(), 4);
  EXPECT_EQ(header.getHeight(), 3);
  EXPECT_EQ(header.getDepth(), 8);
  EXPECT_EQ(header.getPlanes(), 1);
}

TEST(ImageRecognition, ARawImgFileIs512By512Grey) {
  TemporaryDirectory directory;
  writeFile(directory.file("scan.IMG"), "0000" + std::string(20, 'x'));
  const ImageHeader header = readHeader(directory.file("scan.IMG"));
  EXPECT_EQ(header.getFormat(), 2);
  EXPECT_EQ(header.getWidth(), 512);
  EXPECT_EQ(header.getHeight(), 512);
  EXPECT_EQ(header.getDepth(), 8);
}

TEST(ImageRecognition, ZerosWithAnotherSuffixAreNotRecognised) {
  TemporaryDirectory directory;
  writeFile(directory.file("scan.dat"), "0000abcd");
  const auto error = expectThrow<FileFormatError>([&] { readHeader(directory.file("scan.dat")); });
  EXPECT_EQ(error.getWhere(), "void ImageReader::readHeader(ImageHeader&,const string&)");
  EXPECT_EQ(error.getWhat(), "Unrecognized image file format");
  EXPECT_EQ(error.getFilename(), directory.file("scan.dat"));
}

TEST(ImageRecognition, AMissingFileCannotBeOpened) {
  const auto error = expectThrow<FileReadError>([] { readHeader("/nonexistent/image.tif"); });
  EXPECT_EQ(error.getWhat(), "Cannot open file for reading");
  EXPECT_EQ(error.getFilename(), "/nonexistent/image.tif");
}

TEST(ImageRecognition, ShortAndEmptyFilesAreNotRecognised) {
  TemporaryDirectory directory;
  writeFile(directory.file("empty.tif"), "");
  writeFile(directory.file("two.tif"), "II");
  EXPECT_THROW(readHeader(directory.file("empty.tif")), FileFormatError);
  EXPECT_THROW(readHeader(directory.file("two.tif")), FileFormatError);
}

// === TIFF header

TEST(TiffHeader, DepthIsBitsTimesSamples) {
  TemporaryDirectory directory;
  TiffLayout rgb;
  rgb.samplesPerPixel = 3;
  rgb.photometric = PHOTOMETRIC_RGB;
  writeTiff(directory.file("rgb.tif"), rgb);
  EXPECT_EQ(readHeader(directory.file("rgb.tif")).getDepth(), 24);
  TiffLayout grey16;
  grey16.bitsPerSample = 16;
  writeTiff(directory.file("grey16.tif"), grey16);
  EXPECT_EQ(readHeader(directory.file("grey16.tif")).getDepth(), 16);
}

TEST(TiffHeader, TwelveBitsPerSampleAreRefused) {
  TemporaryDirectory directory;
  TiffLayout layout;
  layout.bitsPerSample = 12;
  writeTiff(directory.file("twelve.tif"), layout);
  const auto error = expectThrow<FileFormatError>([&] { readHeader(directory.file("twelve.tif")); });
  EXPECT_EQ(error.getWhat(), "Cannot read TIFF with 12 bits per sample");
  EXPECT_EQ(error.getWhere(), "void ImageReader::readTiffHeader(ImageHeader&, TIFF*)");
  EXPECT_EQ(error.getFilename(), directory.file("twelve.tif"));
}

TEST(TiffHeader, TwoSamplesPerPixelAreRefused) {
  TemporaryDirectory directory;
  TiffLayout layout;
  layout.samplesPerPixel = 2;
  writeTiff(directory.file("two.tif"), layout);
  const auto error = expectThrow<FileFormatError>([&] { readHeader(directory.file("two.tif")); });
  EXPECT_EQ(error.getWhat(), "Cannot read TIFF with 2 samples per pixel");
}

TEST(TiffHeader, APaletteBecomesTheColourMap) {
  TemporaryDirectory directory;
  TiffLayout layout;
  layout.photometric = PHOTOMETRIC_PALETTE;
  writeTiff(directory.file("palette.tif"), layout);
  const ImageHeader header = readHeader(directory.file("palette.tif"));
  ASSERT_NE(header.getColormap(), nullptr);
  EXPECT_EQ(header.getColormap()->getSize(), 256);
  EXPECT_EQ(header.getColormap()->getColor(10)[0], 10);
  EXPECT_EQ(header.getColormap()->getColor(10)[1], 245);
}

// === TIFF calibration

TEST(TiffCalibration, AnImageJStackGivesItsUnitAndSpacing) {
  TemporaryDirectory directory;
  TiffLayout layout;
  layout.description = "ImageJ=1.47v\nimages=3\nslices=3\nunit=micron\nspacing=0.5\nloop=false";
  layout.xResolution = 4;
  layout.yResolution = 2;
  layout.resolutionUnit = RESUNIT_NONE;
  writeTiff(directory.file("stack.tif"), layout, 3);
  const ImageHeader header = readHeader(directory.file("stack.tif"));
  EXPECT_EQ(header.getPlanes(), 3);
  EXPECT_EQ(header.getPixelCalibration().getLengthUnit().getScale(), -6);
  EXPECT_FLOAT_EQ(header.getVoxelSizeZ(), 0.5f);
  EXPECT_FLOAT_EQ(header.getPixelCalibration().getPixelWidth(), 0.25f);
  EXPECT_FLOAT_EQ(header.getPixelCalibration().getPixelHeight(), 0.5f);
}

TEST(TiffCalibration, ASinglePageIgnoresTheSpacing) {
  TemporaryDirectory directory;
  TiffLayout layout;
  layout.description = "ImageJ=1.47v\nunit=micron\nspacing=0.5\nloop=false";
  writeTiff(directory.file("single.tif"), layout);
  const ImageHeader header = readHeader(directory.file("single.tif"));
  EXPECT_FLOAT_EQ(header.getVoxelSizeZ(), 1);
  EXPECT_EQ(header.getPixelCalibration().getLengthUnit().getScale(), -6);
}

TEST(TiffCalibration, UnitWordsMapToScalesAndLaterKeysWin) {
  TemporaryDirectory directory;
  const std::pair<std::string, int> cases[] = {
      {"unit=cm", -2}, {"unit=mm", -3},  {"unit=um", -6},       {"unit=\xC2\xB5m", -6},
      {"unit=nm", -9}, {"unit=inch", 0}, {"unit=\\u00B5m", -6}, {"unit=cm\nunit=nm", -9}};
  int n = 0;
  for (const auto& [description, scale] : cases) {
    TiffLayout layout;
    layout.description = description;
    const std::string path = directory.file("unit" + std::to_string(n++) + ".tif");
    writeTiff(path, layout);
    EXPECT_EQ(readHeader(path).getPixelCalibration().getLengthUnit().getScale(), scale) << description;
  }
}

TEST(TiffCalibration, InchResolutionGivesCentimetres) {
  TemporaryDirectory directory;
  TiffLayout layout;
  layout.resolutionUnit = RESUNIT_INCH;
  layout.xResolution = 100;
  layout.description = "unit=nm"; // ignored: a resolution unit other than none is set
  writeTiff(directory.file("inch.tif"), layout);
  const PixelCalibration calibration = readHeader(directory.file("inch.tif")).getPixelCalibration();
  EXPECT_EQ(calibration.getLengthUnit().getScale(), -2);
  EXPECT_FLOAT_EQ(calibration.getPixelWidth(), 0.0254f);
  EXPECT_FLOAT_EQ(calibration.getPixelHeight(), 0.0254f); // completed by compute()
}

TEST(TiffCalibration, CentimetreResolutionKeepsTheFactorOne) {
  TemporaryDirectory directory;
  TiffLayout layout;
  layout.resolutionUnit = RESUNIT_CENTIMETER;
  layout.xResolution = 10;
  layout.yResolution = 20;
  writeTiff(directory.file("cm.tif"), layout);
  const PixelCalibration calibration = readHeader(directory.file("cm.tif")).getPixelCalibration();
  EXPECT_EQ(calibration.getLengthUnit().getScale(), -2);
  EXPECT_FLOAT_EQ(calibration.getPixelWidth(), 0.1f);
  EXPECT_FLOAT_EQ(calibration.getPixelHeight(), 0.05f);
  EXPECT_FLOAT_EQ(calibration.getAspectRatio(), 0.5f);
}

TEST(TiffCalibration, AZeroResolutionLeavesThePixelSizeUnset) {
  TemporaryDirectory directory;
  TiffLayout layout;
  layout.resolutionUnit = RESUNIT_INCH;
  layout.xResolution = 0;
  layout.yResolution = 0;
  writeTiff(directory.file("zero.tif"), layout);
  const PixelCalibration calibration = readHeader(directory.file("zero.tif")).getPixelCalibration();
  EXPECT_FALSE(calibration.isPixelWidthSet());
  EXPECT_FLOAT_EQ(calibration.getPixelWidth(), 1);
}

TEST(TiffCalibration, AnUnreadableSpacingIsIgnored) {
  TemporaryDirectory directory;
  TiffLayout layout;
  layout.description = "spacing=abc\nloop=false";
  writeTiff(directory.file("bad.tif"), layout, 2);
  EXPECT_FLOAT_EQ(readHeader(directory.file("bad.tif")).getVoxelSizeZ(), 1);
}

// === Pixels

TEST(TiffPixels, EightAndSixteenBitGreyReadExactly) {
  TemporaryDirectory directory;
  TiffLayout grey16;
  grey16.bitsPerSample = 16;
  grey16.value = [](int, int row, int column, int) {
    return static_cast<unsigned>(1000 * row + column + 300);
  };
  writeTiff(directory.file("grey16.tif"), grey16);
  Image image;
  ImageReader().read(image, directory.file("grey16.tif"));
  ASSERT_EQ(image.getDepth(), 16);
  std::uint16_t value;
  std::memcpy(&value, image.row(2) + 2 * 3, 2);
  EXPECT_EQ(value, 2303);

  writeTiff(directory.file("grey8.tif"), TiffLayout());
  ImageReader().read(image, directory.file("grey8.tif"));
  EXPECT_EQ(image.getDepth(), 8);
  EXPECT_EQ(image.row(2)[3], defaultPixelValue(0, 2, 3, 0));
}

TEST(TiffPixels, RgbReadsInterleavedAndCompressedData) {
  TemporaryDirectory directory;
  TiffLayout layout;
  layout.samplesPerPixel = 3;
  layout.photometric = PHOTOMETRIC_RGB;
  layout.lzw = true;
  writeTiff(directory.file("rgb.tif"), layout);
  Image image;
  ImageReader().read(image, directory.file("rgb.tif"));
  ASSERT_EQ(image.getDepth(), 24);
  EXPECT_EQ(image.row(1)[2 * 3 + 2], defaultPixelValue(0, 1, 2, 2));
}

TEST(TiffPixels, SeparatePlanesOfColourImagesAreRefused) {
  TemporaryDirectory directory;
  TiffLayout layout;
  layout.samplesPerPixel = 3;
  layout.photometric = PHOTOMETRIC_RGB;
  layout.planarConfig = PLANARCONFIG_SEPARATE;
  writeTiff(directory.file("planes.tif"), layout);
  Image image;
  const auto error =
      expectThrow<FileFormatError>([&] { ImageReader().read(image, directory.file("planes.tif")); });
  EXPECT_EQ(error.getWhere(), "void Image::readTiffPixels(Image&, TIFF*)");
  EXPECT_EQ(error.getWhat(), "Cannot read TIFF with separate planes");
  EXPECT_NE(error.callStack().find("void ImageReader::read(...)"), std::string::npos);
}

TEST(TiffPixels, MonitorsHearStartEndAndEveryRow) {
  TemporaryDirectory directory;
  TiffLayout layout;
  layout.height = 5;
  writeTiff(directory.file("five.tif"), layout);
  ImageReader reader;
  CountingMonitor monitor(reader);
  reader.addMonitor(&monitor);
  Image image;
  reader.read(image, directory.file("five.tif"));
  EXPECT_EQ(monitor.started, 1);
  EXPECT_EQ(monitor.finished, 1);
  EXPECT_EQ(monitor.rows, 5);
  EXPECT_EQ(monitor.lastTotal, 5);
}

TEST(TiffPixels, CancellingStopsTheRowLoop) {
  TemporaryDirectory directory;
  TiffLayout layout;
  layout.height = 6;
  layout.value = [](int, int, int, int) { return 9u; };
  writeTiff(directory.file("six.tif"), layout);
  ImageReader reader;
  CountingMonitor monitor(reader, 2);
  reader.addMonitor(&monitor);
  Image image;
  reader.read(image, directory.file("six.tif"));
  EXPECT_EQ(monitor.rows, 2);
  EXPECT_EQ(image.row(1)[0], 9);
  EXPECT_EQ(image.row(2)[0], 0);
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
}

TEST(ImageConstruction, NameAndPrefixReadTheFile) {
  TemporaryDirectory directory;
  writeTiff(directory.file("named.tif"), TiffLayout());
  const Image image("named.tif", directory.path() + "/");
  EXPECT_EQ(image.getWidth(), 4);
  EXPECT_EQ(image.getHeader().getFormat(), 3);
}

// === LSM

TEST(LsmHeader, TheInformationBlockGivesSizesChannelsAndMicrometres) {
  TemporaryDirectory directory;
  TiffLayout layout;
  layout.width = 6;
  layout.height = 6;
  layout.bitsPerSample = 16;
  layout.lsmBlock = lsmInformationBlock(6, 6, 3, 2, 0.5e-6, 0.25e-6, 2e-6);
  writeTiff(directory.file("scan.lsm"), layout, 3);
  testing::internal::CaptureStdout();
  const ImageHeader header = readHeader(directory.file("scan.lsm"));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "S32MagicNumber :67127628\n");
  EXPECT_EQ(header.getFormat(), 4);
  EXPECT_EQ(header.getDepth(), 16);
  EXPECT_EQ(header.getPlanes(), 3);
  EXPECT_EQ(header.getChannels(), 2);
  EXPECT_FLOAT_EQ(header.getVoxelSizeX(), 0.5f);
  EXPECT_FLOAT_EQ(header.getVoxelSizeY(), 0.25f);
  EXPECT_FLOAT_EQ(header.getVoxelSizeZ(), 2);
  EXPECT_EQ(header.getPixelCalibration().getLengthUnit().getScale(), -6);
  EXPECT_FLOAT_EQ(header.getPixelCalibration().getPixelHeight(), 0.5f);
  EXPECT_FLOAT_EQ(header.getPixelCalibration().getPixelWidth(), 0.25f);
}

TEST(LsmHeader, HeightIsDimensionXAndWidthDimensionY) {
  TemporaryDirectory directory;
  TiffLayout layout;
  layout.lsmBlock = lsmInformationBlock(7, 5, 1, 1, 1e-6, 1e-6, 1e-6, 0x0300494C);
  writeTiff(directory.file("swap.lsm"), layout);
  testing::internal::CaptureStdout();
  const ImageHeader header = readHeader(directory.file("swap.lsm"));
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(header.getHeight(), 7);
  EXPECT_EQ(header.getWidth(), 5);
  EXPECT_FLOAT_EQ(header.getVoxelSizeZ(), 1); // a single plane has no z spacing
}

TEST(LsmHeader, ZSpacingNeedsBothAStackDimensionAndSeveralDirectories) {
  TemporaryDirectory directory;
  TiffLayout oneDirectory;
  oneDirectory.lsmBlock = lsmInformationBlock(4, 3, 5, 1, 1e-6, 1e-6, 3e-6);
  writeTiff(directory.file("one.lsm"), oneDirectory);
  TiffLayout flat;
  flat.lsmBlock = lsmInformationBlock(4, 3, 1, 1, 1e-6, 1e-6, 3e-6);
  writeTiff(directory.file("flat.lsm"), flat, 2);
  testing::internal::CaptureStdout();
  EXPECT_FLOAT_EQ(readHeader(directory.file("one.lsm")).getVoxelSizeZ(), 1);
  EXPECT_FLOAT_EQ(readHeader(directory.file("flat.lsm")).getVoxelSizeZ(), 1);
  testing::internal::GetCapturedStdout();
}

TEST(LsmHeader, BitsOtherThan8Or16AreRefusedByTheLsmReader) {
  TemporaryDirectory directory;
  TiffLayout layout;
  layout.bitsPerSample = 12;
  layout.lsmBlock = lsmInformationBlock(4, 3, 1, 1, 1e-6, 1e-6, 1e-6);
  writeTiff(directory.file("twelve.lsm"), layout);
  testing::internal::CaptureStdout();
  const auto error = expectThrow<FileFormatError>([&] { readHeader(directory.file("twelve.lsm")); });
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(error.getWhat(), "Cannot read TIFF with 12 bits per sample");
  EXPECT_EQ(error.getWhere(), "void LSMReader::readTiffHeader(ImageHeader&, TIFF*)");
  EXPECT_EQ(error.getFilename(), directory.file("twelve.lsm"));
}

TEST(LsmHeader, AnotherMagicNumberIsNotRecognised) {
  TemporaryDirectory directory;
  TiffLayout layout;
  layout.lsmBlock = lsmInformationBlock(4, 3, 1, 1, 1e-6, 1e-6, 1e-6, 0x12345678);
  writeTiff(directory.file("other.lsm"), layout);
  EXPECT_THROW(readHeader(directory.file("other.lsm")), FileFormatError);
}

TEST(LsmHeader, ATruncatedOrHostileBlockIsRefused) {
  TemporaryDirectory directory;
  TiffLayout shortBlock;
  shortBlock.lsmBlock = lsmInformationBlock(4, 3, 1, 1, 1e-6, 1e-6, 1e-6);
  shortBlock.lsmBlock.resize(30);
  writeTiff(directory.file("short.lsm"), shortBlock);
  TiffLayout negative;
  negative.lsmBlock = lsmInformationBlock(-4, 3, 1, -7, 1e-6, 1e-6, 1e-6);
  writeTiff(directory.file("negative.lsm"), negative);
  TiffLayout huge;
  huge.lsmBlock = lsmInformationBlock(0x7FFFFFFF, 0x7FFFFFFF, 1, 1, 1e-6, 1e-6, 1e-6);
  writeTiff(directory.file("huge.lsm"), huge);
  testing::internal::CaptureStdout();
  EXPECT_THROW(readHeader(directory.file("short.lsm")), FileFormatError);
  EXPECT_THROW(readHeader(directory.file("negative.lsm")), FileFormatError);
  Image image;
  EXPECT_THROW(ImageReader().read(image, directory.file("huge.lsm")), FileFormatError);
  testing::internal::GetCapturedStdout();
}

TEST(LsmHeader, ReadingAnLsmImageAllocatesButReadsNoPixels) {
  TemporaryDirectory directory;
  TiffLayout layout;
  layout.value = [](int, int, int, int) { return 77u; };
  layout.lsmBlock = lsmInformationBlock(3, 4, 1, 1, 1e-6, 1e-6, 1e-6);
  writeTiff(directory.file("pixels.lsm"), layout);
  testing::internal::CaptureStdout();
  Image image;
  ImageReader().read(image, directory.file("pixels.lsm"));
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(image.getHeight(), 3);
  EXPECT_EQ(image.row(0)[0], 0);
}

// === Hostile TIFF files

namespace {

// A little-endian TIFF header pointing at its first directory.
std::string tiffHeader(std::uint32_t firstDirectory) {
  std::string bytes = "II*";
  bytes += '\0';
  bytes.append(reinterpret_cast<const char*>(&firstDirectory), 4);
  return bytes;
}

// The bytes of a little-endian TIFF whose first directory's entry for tag holds value instead
// (a single SHORT or LONG stored in the entry itself).
std::string withTagValue(std::string bytes, std::uint16_t tag, std::uint32_t value) {
  std::uint32_t offset;
  std::memcpy(&offset, bytes.data() + 4, 4);
  std::uint16_t entries;
  std::memcpy(&entries, bytes.data() + offset, 2);
  for (int e = 0; e < entries; ++e) {
    char* entry = bytes.data() + offset + 2 + 12 * e;
    std::uint16_t entryTag, type;
    std::memcpy(&entryTag, entry, 2);
    std::memcpy(&type, entry + 2, 2);
    if (entryTag != tag) continue;
    if (type == TIFF_SHORT) {
      const std::uint16_t shortValue = static_cast<std::uint16_t>(value);
      std::memcpy(entry + 8, &shortValue, 2);
    } else {
      std::memcpy(entry + 8, &value, 4);
    }
  }
  return bytes;
}

} // namespace

TEST(HostileTiff, AMissingDirectoryIsRefusedWithTheFileName) {
  TemporaryDirectory directory;
  writeFile(directory.file("nodir.tif"), tiffHeader(0));
  const auto error = expectThrow<FileFormatError>([&] { readHeader(directory.file("nodir.tif")); });
  EXPECT_EQ(error.getFilename(), directory.file("nodir.tif"));
  EXPECT_NE(error.getWhat().find("Cannot read TIFF file"), std::string::npos);
}

TEST(HostileTiff, ADirectoryOffsetPastTheEndIsRefused) {
  TemporaryDirectory directory;
  writeFile(directory.file("past.tif"), tiffHeader(1000000) + std::string(16, '\0'));
  EXPECT_THROW(readHeader(directory.file("past.tif")), FileFormatError);
}

TEST(HostileTiff, StripOffsetsPastTheEndFailReadingNotTheProcess) {
  TemporaryDirectory directory;
  const std::string path = directory.file("strips.tif");
  writeTiff(path, TiffLayout());
  writeFile(path, withTagValue(readFile(path), TIFFTAG_STRIPOFFSETS, 5000000));
  Image image;
  const auto error = expectThrow<FileReadError>([&] { ImageReader().read(image, path); });
  EXPECT_EQ(error.getFilename(), path);
}

TEST(HostileTiff, ASizeTheFileCannotHoldIsRefusedBeforeAllocating) {
  TemporaryDirectory directory;
  TiffLayout layout;
  layout.width = 60000;
  layout.height = 1;
  layout.value = [](int, int, int, int) { return 0u; };
  writeTiff(directory.file("wide.tif"), layout);
  // Claim 60000 rows of 60000 pixels while the file holds one row.
  writeFile(directory.file("tall.tif"),
            withTagValue(readFile(directory.file("wide.tif")), TIFFTAG_IMAGELENGTH, 60000));
  Image image;
  const auto error =
      expectThrow<FileFormatError>([&] { ImageReader().read(image, directory.file("tall.tif")); });
  EXPECT_EQ(error.getWhat(), "Image size in file header exceeds what the file can hold");
}

TEST(HostileTiff, RandomBytesAfterATiffSignatureNeverCrash) {
  TemporaryDirectory directory;
  std::uint32_t state = 12345;
  for (int trial = 0; trial < 40; ++trial) {
    std::string bytes = trial % 2 ? "II*" + std::string(1, '\0') : "MM" + std::string(1, '\0') + "*";
    for (int n = 0; n < 200; ++n) {
      state = state * 1664525u + 1013904223u;
      bytes += static_cast<char>(state >> 24);
    }
    const std::string path = directory.file("random" + std::to_string(trial) + ".tif");
    writeFile(path, bytes);
    Image image;
    try {
      ImageReader().read(image, path);
    } catch (const Exception&) {
    }
  }
}

// === Image

TEST(ImageInit, RefusesDepthsOtherThan8_16_24_32) {
  Image image;
  const auto error = expectThrow<DepthError>([&] { image.init(10, 10, 12); });
  EXPECT_EQ(error.getWhere(), "void Image::init(...)");
  EXPECT_EQ(error.getWhat(), "Invalid depth value");
}

TEST(ImageInit, RowsAreUnpaddedAndTheHeaderIsCleared) {
  Image image(5, 3, 24);
  EXPECT_EQ(image.bytesPerPixel(), 3);
  EXPECT_EQ(image.bytesPerLine(), 15);
  EXPECT_EQ(image.dataLength(), 45u);
  EXPECT_EQ(image.row(2) - image.row(0), 30);
  EXPECT_EQ(image.getSize()[0], 3);
  EXPECT_EQ(image.getSize()[1], 5);
  image.getHeader().setFormat(3);
  image.init(5, 3, 24); // unchanged: nothing happens
  EXPECT_EQ(image.getHeader().getFormat(), 3);
  image.init(5, 4, 24);
  EXPECT_EQ(image.getHeader().getFormat(), 0);
}

TEST(ImageInit, NegativeOrOverflowingSizesAreRefused) {
  Image image;
  EXPECT_THROW(image.init(-1, 5, 8), SizeError);
  EXPECT_THROW(image.init(70000, 70000, 32), SizeError);
}

TEST(ImageCopy, CopiesPixelsHeaderAndColourMap) {
  Image image(2, 2, 8);
  image.row(1)[1] = 200;
  image.setColormap(Colormap::flag());
  const Image copy(image);
  EXPECT_EQ(copy.row(1)[1], 200);
  EXPECT_TRUE(copy.isIndexed());
  Image assigned;
  assigned = image;
  EXPECT_EQ(assigned.row(1)[1], 200);
  EXPECT_NE(assigned.getData(), image.getData());
}

TEST(ImageHeaderCopy, AssignmentCopiesTheImageFieldsOnly) {
  ImageHeader header;
  header.setFormat(4);
  header.setWidth(7);
  header.setDepth(16);
  header.setChannels(3);
  header.setVoxelSizeZ(9);
  header.setColormap(Colormap::flag());
  ImageHeader copy;
  copy = header;
  EXPECT_EQ(copy.getFormat(), 4);
  EXPECT_EQ(copy.getWidth(), 7);
  EXPECT_EQ(copy.getChannels(), 0);
  EXPECT_FLOAT_EQ(copy.getVoxelSizeZ(), 1);
  EXPECT_FALSE(copy.hasColormap()); // only 8-bit headers pass their colour map on
  header.setDepth(8);
  copy = header;
  ASSERT_TRUE(copy.hasColormap());
  EXPECT_EQ(*copy.getColormap(), Colormap::flag());
  copy.clear();
  EXPECT_FALSE(copy.hasColormap());
  EXPECT_EQ(copy.getFormat(), 0);
}

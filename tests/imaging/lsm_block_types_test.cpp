// The LSM information block declared with every TIFF data type and with counts from none to far
// beyond the file: libtiff holds the values in the type of the directory entry, so the reader must
// take the block's length from what libtiff returns and refuse blocks too short for its fields.
// Under the address sanitizer a read past libtiff's buffer fails these cases.
#include "imaging/ImageReader.h"
#include "imaging/ImageSourceLSMStackPlane.h"

#include "foundation/Exception.h"
#include "tests/imaging/TiffFixtures.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdint>
#include <string>

namespace {

std::uint32_t littleEndianAt(const std::string& bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes.at(at + i));
  return value;
}

void putLittleEndianAt(std::string& bytes, std::size_t at, int size, std::uint32_t value) {
  for (int i = 0; i < size; ++i) bytes.at(at + i) = static_cast<char>(value >> (8 * i));
}

// The bytes of a little-endian TIFF whose first-directory entry of tag declares type and count instead.
std::string withEntryTypeAndCount(std::string bytes, std::uint16_t tag, std::uint16_t type,
                                  std::uint32_t count) {
  const std::size_t directory = littleEndianAt(bytes, 4, 4);
  for (std::uint32_t e = 0; e < littleEndianAt(bytes, directory, 2); ++e) {
    const std::size_t entry = directory + 2 + 12 * e;
    if (littleEndianAt(bytes, entry, 2) != tag) continue;
    putLittleEndianAt(bytes, entry + 2, 2, type);
    putLittleEndianAt(bytes, entry + 4, 4, count);
  }
  return bytes;
}

// "read" when header, image and first plane read, else the class of the refusal; failures are
// recorded for refusals that do not name the file.
std::string outcome(const std::string& path) {
  try {
    const ImageHeader header = headerOf(path);
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

} // namespace

TEST(LsmBlockTypes, EveryTypeAndCountReadsOrIsRefusedCleanly) {
  TemporaryDirectory directory;
  TiffLayout layout;
  layout.lsmBlock = lsmInformationBlock(4, 3, 1, 1, 1e-6, 1e-6, 1e-6);
  writeTiff(directory.file("base.lsm"), layout);
  const std::string base = readFile(directory.file("base.lsm"));
  const std::string tooShort = "LSM information block too short";
  struct Case {
    std::uint16_t type;
    std::uint32_t count;
    const char* expected; // null: reading or any refusal naming the file
  };
  const Case cases[] = {{TIFF_BYTE, 224, "read"},     {TIFF_UNDEFINED, 224, "read"},
                        {TIFF_SBYTE, 64, "read"},     {TIFF_BYTE, 63, tooShort.c_str()},
                        {TIFF_UNDEFINED, 0, nullptr}, {TIFF_BYTE, 1, tooShort.c_str()},
                        {TIFF_RATIONAL, 224, nullptr}}; // the fuzzer's file: twice the bytes libtiff holds
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << ", count " << c.count);
    const std::string path = directory.file("case.lsm");
    writeFile(path, withEntryTypeAndCount(base, 34412, c.type, c.count));
    const std::string result = outcome(path);
    if (c.expected) {
      EXPECT_EQ(result, c.expected);
    }
  }
  // Every type libtiff knows and a few it does not, with counts from none to beyond the file.
  const std::uint32_t counts[] = {0,  1,   2,   15,  16,     31,         32,        63,
                                  64, 112, 224, 225, 100000, 0x7FFFFFFF, 0xFFFFFFFF};
  for (std::uint16_t type = 0; type <= 19; ++type)
    for (std::uint32_t count : counts) {
      SCOPED_TRACE(testing::Message() << "type " << type << ", count " << count);
      const std::string path = directory.file("variant.lsm");
      writeFile(path, withEntryTypeAndCount(base, 34412, type, count));
      outcome(path);
    }
}

TEST(LsmBlockTypes, ZeroDimensionsAreRefusedWhateverTheOtherOne) {
  TemporaryDirectory directory;
  const std::pair<int, int> sizes[] = {{0, 0}, {7, 0}, {0x7FFFFFFF, 0}, {0, 0x7FFFFFFF}};
  for (const auto& [x, y] : sizes) {
    SCOPED_TRACE(testing::Message() << x << " x " << y);
    TiffLayout layout;
    layout.lsmBlock = lsmInformationBlock(x, y, 1, 1, 1e-6, 1e-6, 1e-6);
    writeTiff(directory.file("zero.lsm"), layout);
    EXPECT_EQ(outcome(directory.file("zero.lsm")), "Zero dimension in LSM information block");
  }
}

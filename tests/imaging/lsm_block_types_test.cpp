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
#include <map>
#include <string>

namespace {

// The bytes of a little-endian TIFF whose LSM block entry declares type and count instead.
std::string withEntryTypeAndCount(const std::string& bytes, std::uint16_t type, std::uint32_t count) {
  return withDirectoryTag(withDirectoryTag(bytes, 0, 34412, type, 2), 0, 34412, count, 4);
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
  layout.lsmBlock = lsmInformationBlock(4, 3);
  writeTiff(directory.file("base.lsm"), layout);
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
}

TEST(LsmBlockTypes, ZeroDimensionsAreRefusedWhateverTheOtherOne) {
  TemporaryDirectory directory;
  const std::pair<int, int> sizes[] = {{0, 0}, {7, 0}, {0x7FFFFFFF, 0}, {0, 0x7FFFFFFF}};
  for (const auto& [x, y] : sizes) {
    SCOPED_TRACE(testing::Message() << x << " x " << y);
    TiffLayout layout;
    layout.lsmBlock = lsmInformationBlock(x, y);
    writeTiff(directory.file("zero.lsm"), layout);
    EXPECT_EQ(outcome(directory.file("zero.lsm")), "Zero dimension in LSM information block");
  }
}

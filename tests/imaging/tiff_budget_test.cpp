// Hostile TIFF and LSM files whose headers promise more pixels than their strips can decode to:
// refused cleanly, before memory is committed for the promise (also as cells of a mosaic). Honest files at
// the largest expansion their compression allows still read.
#include "imaging/Image.h"
#include "imaging/ImageReader.h"
#include "imaging/ImageSourceFile.h"
#include "imaging/ImageSourceFileMosaic.h"
#include "imaging/ImageSourceLSMStackPlane.h"
#include "imaging/ImageSourceTiffStackPlane.h"
#include "imaging/VoxelMatrix.h"

#include "foundation/Exception.h"
#include "tests/imaging/TiffFixtures.h"
#include "tests/support/ExpectException.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <new>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace {

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

// === Strip sizes against the announced image

TEST(TiffBudget, PromisesBeyondTheLargestExpansionOfTheSchemeAreRefusedBeforeAllocating) {
  TemporaryDirectory directory;
  std::vector<std::string> paths = {writeHostileFiles(directory)[0]};
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

TEST(TiffBudget, StripsThatDecodeToLessAndHugeLaterPagesFailBeforeAllocating) {
  TemporaryDirectory directory;
  const std::vector<std::string> paths = writeHostileFiles(directory);
  Image image;
  EXPECT_THROW(ImageReader().read(image, paths[1]), FileReadError);
  EXPECT_EQ(image.dataLength(), 0u);
  EXPECT_THROW(VoxelMatrix<unsigned char>{paths[1]}, FileReadError);
  ImageSourceTiffStackPlane source;
  source.setTiffStackFilename(paths[2]);
  ImageReader().read(image, source);
  EXPECT_EQ(image.getWidth(), 4);
  source.setPlane(1);
  EXPECT_THROW(ImageReader().read(image, source), FileFormatError);
  EXPECT_THROW(VoxelMatrix<float>{paths[2]}, FileFormatError);
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

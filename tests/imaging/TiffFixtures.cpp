#include "tests/imaging/TiffFixtures.h"

#include "imaging/ImageHeader.h"
#include "imaging/ImageReader.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstring>
#include <sstream>

namespace {

constexpr ttag_t lsmTag = 34412;

// libtiff writes only tags it knows: the LSM block is declared to it as an opaque byte array.
const TIFFFieldInfo lsmFieldInfo[] = {
    {lsmTag, TIFF_VARIABLE2, TIFF_VARIABLE2, TIFF_BYTE, FIELD_CUSTOM, 1, 1, const_cast<char*>("CZ_LSMINFO")}};

// The tags of every page: one strip.
void setPageTags(TIFF* tiff, std::uint32_t width, std::uint32_t height, int bits, int samples,
                 int photometric, int planarConfig, int compression) {
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
  TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, height);
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, bits);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, samples);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, photometric);
  TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, planarConfig);
  TIFFSetField(tiff, TIFFTAG_COMPRESSION, compression);
  if (compression == COMPRESSION_ADOBE_DEFLATE) TIFFSetField(tiff, TIFFTAG_ZIPQUALITY, 9);
}

std::uint32_t littleEndian(const std::string& bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes.at(at + i));
  return value;
}

void putLittleEndian(std::string& bytes, std::size_t at, int size, std::uint32_t value) {
  for (int i = 0; i < size; ++i) bytes.at(at + i) = static_cast<char>(value >> (8 * i));
}

} // namespace

unsigned defaultPixelValue(int page, int row, int column, int sample) {
  return static_cast<unsigned>((page * 37 + row * 11 + column * 3 + sample * 50) % 256);
}

void writeTiff(const std::string& path, const TiffLayout& given, int pages) {
  TiffLayout layout = given;
  if (!layout.value) layout.value = defaultPixelValue;
  TIFF* tiff = TIFFOpen(path.c_str(), "w");
  ASSERT_NE(tiff, nullptr) << path;
  if (!layout.lsmBlock.empty()) TIFFMergeFieldInfo(tiff, lsmFieldInfo, 1);
  for (int page = 0; page < pages; ++page) {
    setPageTags(tiff, layout.width, layout.height, layout.bitsPerSample, layout.samplesPerPixel,
                layout.photometric, layout.planarConfig, layout.lzw ? COMPRESSION_LZW : layout.compression);
    if (layout.photometric == PHOTOMETRIC_PALETTE) {
      const int cells = 1 << layout.bitsPerSample;
      std::vector<uint16_t> red(cells), green(cells), blue(cells, 0);
      for (int i = 0; i < cells; ++i)
        red[i] = static_cast<uint16_t>(i * 257), green[i] = static_cast<uint16_t>((cells - 1 - i) * 257);
      TIFFSetField(tiff, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
    }
    if (!layout.description.empty()) TIFFSetField(tiff, TIFFTAG_IMAGEDESCRIPTION, layout.description.c_str());
    if (layout.xResolution >= 0) TIFFSetField(tiff, TIFFTAG_XRESOLUTION, layout.xResolution);
    if (layout.yResolution >= 0) TIFFSetField(tiff, TIFFTAG_YRESOLUTION, layout.yResolution);
    if (layout.resolutionUnit >= 0) TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, layout.resolutionUnit);
    if (!layout.lsmBlock.empty())
      TIFFSetField(tiff, lsmTag, static_cast<uint32_t>(layout.lsmBlock.size()), layout.lsmBlock.data());
    // One strip per plane; samples of 8 or 16 bits hold the layout's values (their low bytes on this
    // little-endian host), others are zero.
    const bool separate = layout.planarConfig == PLANARCONFIG_SEPARATE;
    const std::size_t samplesInRow = separate ? 1 : layout.samplesPerPixel;
    const std::size_t bytes =
        layout.bitsPerSample == 8 || layout.bitsPerSample == 16 ? layout.bitsPerSample / 8 : 0;
    for (int plane = 0; plane < (separate ? layout.samplesPerPixel : 1); ++plane) {
      std::vector<unsigned char> strip(static_cast<std::size_t>(TIFFStripSize(tiff)), 0);
      for (std::size_t n = 0; bytes && n < strip.size() / bytes; ++n) {
        const int pixel = static_cast<int>(n / samplesInRow),
                  sample = separate ? plane : int(n % samplesInRow);
        const unsigned value = layout.value(page, pixel / layout.width, pixel % layout.width, sample);
        std::memcpy(&strip[n * bytes], &value, bytes);
      }
      ASSERT_GE(TIFFWriteEncodedStrip(tiff, plane, strip.data(), static_cast<tmsize_t>(strip.size())), 0);
    }
    ASSERT_TRUE(TIFFWriteDirectory(tiff));
  }
  TIFFClose(tiff);
}

std::vector<unsigned char> lsmInformationBlock(int dimensionX, int dimensionY, int dimensionZ, int channels,
                                               double voxelSizeX, double voxelSizeY, double voxelSizeZ,
                                               std::uint32_t magic) {
  std::vector<unsigned char> block(224, 0);
  const std::int32_t header[] = {
      static_cast<std::int32_t>(magic), 224, dimensionX, dimensionY, dimensionZ, channels};
  std::memcpy(block.data(), header, sizeof header);
  const double voxelSizes[] = {voxelSizeX, voxelSizeY, voxelSizeZ};
  std::memcpy(block.data() + 40, voxelSizes, sizeof voxelSizes);
  return block;
}

TiffLayout lsmLayout(int dimensionX, int dimensionY, int channels, std::uint32_t magic) {
  TiffLayout layout;
  layout.lsmBlock = lsmInformationBlock(dimensionX, dimensionY, 1, channels, 1e-6, 1e-6, 1e-6, magic);
  return layout;
}

void writeRawTiff(const std::string& path, const std::vector<RawPage>& pages) {
  TIFF* tiff = TIFFOpen(path.c_str(), "w");
  ASSERT_NE(tiff, nullptr) << path;
  for (const RawPage& page : pages) {
    setPageTags(tiff, page.width, page.height, page.bitsPerSample, page.samplesPerPixel,
                page.samplesPerPixel >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK, PLANARCONFIG_CONTIG,
                page.compression);
    std::string strip = page.strip;
    ASSERT_GE(TIFFWriteRawStrip(tiff, 0, strip.data(), static_cast<tmsize_t>(strip.size())), 0);
    ASSERT_TRUE(TIFFWriteDirectory(tiff));
  }
  TIFFClose(tiff);
}

std::string noiseBytes(std::size_t count, std::uint32_t seed) {
  std::string bytes(count, '\0');
  std::uint32_t state = seed;
  for (char& byte : bytes) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<char>(state >> 24);
  }
  return bytes;
}

std::string withDirectoryTag(std::string bytes, int index, std::uint16_t tag, std::uint32_t value,
                             int field) {
  std::size_t offset = littleEndian(bytes, 4, 4);
  for (int d = 0; d < index; ++d)
    offset = littleEndian(bytes, offset + 2 + 12 * littleEndian(bytes, offset, 2), 4);
  const std::uint32_t entries = littleEndian(bytes, offset, 2);
  for (std::uint32_t e = 0; e < entries; ++e) {
    const std::size_t entry = offset + 2 + 12 * e;
    const bool twoBytes = field == 2 || (field == 8 && littleEndian(bytes, entry + 2, 2) == TIFF_SHORT);
    if (littleEndian(bytes, entry, 2) == tag) putLittleEndian(bytes, entry + field, twoBytes ? 2 : 4, value);
  }
  return bytes;
}

std::string describe(const ImageHeader& header) {
  const PixelCalibration& calibration = header.getPixelCalibration();
  std::ostringstream out;
  out << "format " << static_cast<int>(header.getFormat()) << ", " << header.getWidth() << "x"
      << header.getHeight() << "x" << header.getPlanes() << ", depth " << header.getDepth() << ", channels "
      << header.getChannels() << ", unit " << calibration.getLengthUnit().getScale() << ", pixel "
      << calibration.getPixelWidth() << "x" << calibration.getPixelHeight() << ", z "
      << header.getVoxelSizeZ();
  return out.str();
}

void quietly(const std::function<void()>& action) {
  testing::internal::CaptureStdout();
  try {
    action();
  } catch (...) {
    testing::internal::GetCapturedStdout();
    throw;
  }
  testing::internal::GetCapturedStdout();
}

ImageHeader headerOf(const std::string& path) {
  ImageHeader header; // returned without a copy: copies keep only the image fields
  quietly([&] { ImageReader().read(header, path); });
  return header;
}

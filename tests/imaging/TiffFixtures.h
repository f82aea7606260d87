#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The layout of small TIFF files written with libtiff for the reader tests, so that a fresh clone tests every
// path without the shared sample files.
struct TiffLayout {
  int width = 4;
  int height = 3;
  int bitsPerSample = 8;
  int samplesPerPixel = 1;
  int photometric = 1;                   // black is zero
  int planarConfig = 1;                  // contiguous
  std::string description{};             // ImageDescription, omitted when empty
  float xResolution = -1;                // omitted when negative
  float yResolution = -1;                // omitted when negative
  int resolutionUnit = -1;               // omitted when negative
  int compression = 1;                   // none; the image is one strip
  bool lzw = false;                      // LZW, whatever compression says
  std::vector<unsigned char> lsmBlock{}; // tag 34412 (the Zeiss information block), omitted when empty
  // Value of sample s of pixel (row, column) on page p; by default a pattern that differs everywhere.
  std::function<unsigned(int page, int row, int column, int sample)> value{};
};

// Writes pages copies of layout (page index passed to the value function); fails the test on error.
void writeTiff(const std::string& path, const TiffLayout& layout, int pages = 1);

// A page whose tags announce width x height pixels while its single strip holds exactly the given
// bytes, stored as they are under the compression scheme (libtiff checks neither): the hostile files
// of the size tests.
struct RawPage {
  std::uint32_t width = 4;
  std::uint32_t height = 3;
  int compression = 1; // COMPRESSION_NONE
  std::string strip;
  int bitsPerSample = 8;
  int samplesPerPixel = 1;
};

// Writes the pages in order; fails the test on error.
void writeRawTiff(const std::string& path, const std::vector<RawPage>& pages);

// Bytes that decode as nothing in particular, the same for the same seed.
std::string noiseBytes(std::size_t count, std::uint32_t seed = 1);

// The bytes of a little-endian TIFF whose directory index has value in the entry of tag instead: at field 8
// the entry's own SHORT or LONG value, at field 2 its type, at field 4 its count.
std::string withDirectoryTag(std::string bytes, int index, std::uint16_t tag, std::uint32_t value,
                             int field = 8);

// The default pixel pattern, kept below 256 so that 8-bit files hold it unchanged.
unsigned defaultPixelValue(int page, int row, int column, int sample);

// A Zeiss LSM information block of the given dimensions and voxel sizes (metres).
std::vector<unsigned char> lsmInformationBlock(int dimensionX, int dimensionY, int dimensionZ, int channels,
                                               double voxelSizeX, double voxelSizeY, double voxelSizeZ,
                                               std::uint32_t magic = 0x0400494C);

// The default layout with the LSM information block of one plane of the given dimensions, voxels of a
// micrometre.
TiffLayout lsmLayout(int dimensionX, int dimensionY, int channels = 1, std::uint32_t magic = 0x0400494C);

class ImageHeader;

// What a reader made of a file, on one line: "format 3, 4x3x1, depth 8, channels 0, unit -6,
// pixel 0.25x0.5, z 0.5" (width x height x planes, the unit as a power of ten).
std::string describe(const ImageHeader& header);

// Runs action with standard output captured and dropped (the LSM reader reports its magic number there);
// what action throws passes on.
void quietly(const std::function<void()>& action);

// The header of an image file, read quietly; a refusal passes on.
ImageHeader headerOf(const std::string& path);

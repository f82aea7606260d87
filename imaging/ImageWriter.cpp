#include "imaging/ImageWriter.h"

#include "foundation/ErrorThrowing.h"
#include "foundation/Exception.h"
#include "foundation/FileInfo.h"
#include "imaging/TiffFile.h"

#include <cstdint>
#include <vector>

namespace {

[[noreturn]] void writeError(const std::string& what, const std::string& filename) {
  throwFileError<FileWriteError>(OSTREL_HERE, what, filename);
}

} // namespace

void ImageWriter::write(const Image& image, const std::string& filename, bool overwrite) {
  if (!overwrite && FileInfo::fileExists(filename)) writeError("File already exists", filename);
  TiffFile file(filename, "w");
  if (!file.isOpen()) writeError("Cannot open file for writing", filename);
  TIFF* tiff = file.get();
  const Colormap* colormap = image.getColormap();
  const bool palette = image.getDepth() == 8 && colormap;
  const std::uint16_t photometric =
      palette ? PHOTOMETRIC_PALETTE : (image.getDepth() == 8 ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, photometric);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, image.getDepth() / 8);
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(image.getHeight()));
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(image.getWidth()));
  TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  if (palette) {
    // libtiff wants exactly 256 16-bit entries per channel for an 8-bit palette.
    std::vector<std::uint16_t> red(256, 0), green(256, 0), blue(256, 0);
    for (int i = 0; i < std::min(colormap->getSize(), 256); ++i) {
      red[i] = static_cast<std::uint16_t>(colormap->getRed()[i] * 257);
      green[i] = static_cast<std::uint16_t>(colormap->getGreen()[i] * 257);
      blue[i] = static_cast<std::uint16_t>(colormap->getBlue()[i] * 257);
    }
    TIFFSetField(tiff, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
  }
  for (int i = 0; i < image.getHeight(); ++i)
    if (TIFFWriteScanline(tiff, const_cast<unsigned char*>(image.row(i)), static_cast<std::uint32_t>(i), 0) <
        0)
      writeError(file.describe("Cannot write TIFF scanline"), filename);
}

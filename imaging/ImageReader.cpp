#include "imaging/ImageReader.h"

#include "foundation/ErrorThrowing.h"
#include "foundation/Exception.h"
#include "foundation/FileInfo.h"
#include "imaging/ImageSourceFile.h"
#include "imaging/ImageSourceFileMosaic.h"
#include "imaging/ImageSourceHeader.h"
#include "imaging/ImageSourceLSMStackPlane.h"
#include "imaging/ImageSourceTiffStackPlane.h"
#include "imaging/ImageSourceVoxelMatrixFilePlane.h"
#include "imaging/ImageSourceVoxelMatrixPlane.h"
#include "imaging/TiffFile.h"
#include "imaging/TiffStackCursor.h"
#include "imaging/VoxelMatrix.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iostream>
#include <limits>
#include <optional>
#include <vector>

namespace {

constexpr ttag_t lsmInformationTag = 34412;
constexpr std::uint32_t lsmMagic4 = 0x0400494C;
constexpr std::uint32_t lsmMagic3 = 0x0300494C;
constexpr std::size_t lsmBytesNeeded = 64; // up to VoxelSizeZ at bytes 56..63

// The largest expansion of compressed TIFF data (LZW and Deflate stay far below), plus a floor so
// that small legitimate files are never refused.
constexpr long long maxCompressionRatio = 4096;
constexpr long long decodedSizeFloor = 64LL * 1024 * 1024;

std::string formatted(const char* format, int value) {
  char text[128];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

long long fileLength(const std::string& filename) {
  std::ifstream in(filename, std::ios::binary | std::ios::ate);
  return in ? static_cast<long long>(in.tellg()) : 0;
}

// The bytes libtiff holds for the LSM information block of the current directory; nothing when the
// directory has no such tag. libtiff keeps count values in the storage type of the field it made for
// the tag from the directory entry (a file may declare the tag as any type, rationals become floats),
// so the block is count times that storage size: exactly the buffer libtiff allocated. A block too
// short for the fields read from it is refused here, before any of them is looked at.
std::optional<std::vector<unsigned char>> lsmInformationBlock(TIFF* tiff, const std::string& filename) {
  const TIFFField* field = TIFFFieldWithTag(tiff, lsmInformationTag);
  if (!field || !TIFFFieldPassCount(field)) return std::nullopt;
  std::uint64_t count = 0;
  void* data = nullptr;
  int found = 0;
  if (TIFFFieldReadCount(field) == TIFF_VARIABLE2) {
    std::uint32_t count32 = 0;
    found = TIFFGetField(tiff, lsmInformationTag, &count32, &data);
    count = count32;
  } else {
    std::uint16_t count16 = 0;
    found = TIFFGetField(tiff, lsmInformationTag, &count16, &data);
    count = count16;
  }
  if (!found) return std::nullopt;
  const int valueBytes = TIFFFieldSetGetSize(field);
  const std::uint64_t bytes = data && valueBytes > 0 ? count * static_cast<std::uint64_t>(valueBytes) : 0;
  if (bytes < lsmBytesNeeded)
    throwFileError<FileFormatError>(OSTREL_HERE, "LSM information block too short", filename);
  const unsigned char* begin = static_cast<const unsigned char*>(data);
  return std::vector<unsigned char>(begin, begin + bytes);
}

template <class Value> Value blockValue(const std::vector<unsigned char>& block, std::size_t offset) {
  Value value{};
  std::memcpy(&value, block.data() + offset, sizeof value); // the block is little-endian, as the host
  return value;
}

bool hasLsmMagic(const std::vector<unsigned char>& block) {
  const auto magic = blockValue<std::uint32_t>(block, 0);
  return magic == lsmMagic4 || magic == lsmMagic3;
}

// Resolutions that are missing, zero, negative or not finite give no pixel size.
bool usableResolution(float resolution) {
  return std::isfinite(resolution) && resolution > 0;
}

// Length-unit scale named by the "unit=" keys of an ImageJ description; later keys win. ImageJ
// writes the micro sign of its own files as the escape text \u00B5, which means micrometres too.
bool unitFromDescription(const std::string& description, int& scale) {
  static const std::pair<const char*, int> keys[] = {
      {"unit=cm", -2}, {"unit=mm", -3},       {"unit=micron", -6}, {"unit=\xC2\xB5m", -6},
      {"unit=um", -6}, {"unit=\\u00B5m", -6}, {"unit=nm", -9}};
  bool found = false;
  for (const auto& [key, keyScale] : keys) {
    if (description.find(key) != std::string::npos) {
      scale = keyScale;
      found = true;
    }
  }
  return found;
}

// The number after "spacing=" up to "loop=" or the end; false when absent or unreadable.
bool spacingFromDescription(const std::string& description, float& spacing) {
  const std::string key = "spacing=";
  const std::size_t start = description.find(key);
  if (start == std::string::npos) return false;
  const std::size_t valueStart = start + key.size();
  const std::size_t end = description.find("loop=", valueStart);
  try {
    spacing = std::stof(
        description.substr(valueStart, end == std::string::npos ? std::string::npos : end - valueStart));
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

// Bytes of the pixels a header describes, saturating instead of overflowing. A zero size counts as
// one: its rows or columns still cost memory, so it never lets the other size go unchecked.
long long planeBytes(const ImageHeader& header) {
  const long long width = std::max(header.getWidth(), 1);
  const long long height = std::max(header.getHeight(), 1);
  const long long bytesPerPixel = std::max(header.getDepth() / 8, 1);
  if (width > std::numeric_limits<long long>::max() / bytesPerPixel / height)
    return std::numeric_limits<long long>::max();
  return width * height * bytesPerPixel;
}

// Gives image the size, depth, header and colormap that header describes.
void shapeLike(Image& image, const ImageHeader& header) {
  image.init(header.getWidth(), header.getHeight(), header.getDepth());
  image.setHeader(header);
  if (header.getColormap()) image.setColormap(*header.getColormap());
}

} // namespace

void ImageReader::checkDecodedSize(long long planeBytes, long long planes, const std::string& filename,
                                   const std::string& where) {
  const long long length = fileLength(filename);
  const long long limit = length * maxCompressionRatio + decodedSizeFloor;
  if (planeBytes < 0 || planes < 0 || (planes > 0 && planeBytes > limit / planes))
    throwFileError<FileFormatError>(where, "Image size in file header exceeds what the file can hold",
                                    filename);
}

// === Headers

void ImageReader::read(ImageHeader& header, const std::string& filename) {
  std::ifstream in(filename, std::ios::binary);
  if (!in) throwFileError<FileReadError>(OSTREL_HERE, "Cannot open file for reading", filename);
  unsigned char b[4] = {0, 0, 0, 0};
  in.read(reinterpret_cast<char*>(b), 4);
  in.close();
  header.clear();
  header.setFormat(ImageFormat::Unrecognized);
  const std::string suffix = FileInfo::suffixName(filename);
  const bool littleEndianTiff = b[0] == 'I' && b[1] == 'I' && b[2] == '*';
  const bool bigEndianTiff = b[0] == 'M' && b[1] == 'M' && b[3] == '*';
  if (std::memcmp(b, "0000", 4) == 0 && (suffix == "img" || suffix == "IMG")) {
    header.setFormat(ImageFormat::Img);
  } else if (littleEndianTiff || bigEndianTiff) {
    TIFFSetWarningHandler(nullptr);
    TiffFile file(filename, "r");
    if (!file.isOpen())
      throwFileError<FileFormatError>(OSTREL_HERE, file.describe("Cannot read TIFF file"), filename);
    const std::optional<std::vector<unsigned char>> block = lsmInformationBlock(file.get(), filename);
    if (!block)
      header.setFormat(ImageFormat::Tiff);
    else if (hasLsmMagic(*block))
      header.setFormat(ImageFormat::Lsm);
    if (header.getFormat() == ImageFormat::Lsm) readLSMHeader(header, file, *block);
    if (header.getFormat() == ImageFormat::Tiff) readTiffHeader(header, file);
  }
  switch (header.getFormat()) {
  case ImageFormat::Img:
    header.setWidth(512);
    header.setHeight(512);
    header.setDepth(8);
    break;
  case ImageFormat::Unrecognized:
    throwFileError<FileFormatError>(OSTREL_HERE, "Unrecognized image file format", filename);
  default:
    break;
  }
}

void ImageReader::readTiffHeader(ImageHeader& header, TiffFile& file) {
  TIFF* tiff = file.get();
  std::uint16_t samples = 1, bits = 1, photometric = PHOTOMETRIC_MINISBLACK;
  std::uint32_t length = 0, width = 0;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
  TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &length);
  TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
  const std::string filename = TIFFFileName(tiff);
  if (bits != 8 && bits != 16)
    throwFileError<FileFormatError>(OSTREL_HERE, formatted("Cannot read TIFF with %d bits per sample", bits),
                                    filename);
  if (samples != 1 && samples != 3 && samples != 4)
    throwFileError<FileFormatError>(
        OSTREL_HERE, formatted("Cannot read TIFF with %d samples per pixel", samples), filename);
  if (length > 0x7FFFFFFF || width > 0x7FFFFFFF)
    throwFileError<FileFormatError>(OSTREL_HERE, "Image size in file header exceeds what the file can hold",
                                    filename);
  header.setHeight(static_cast<int>(length));
  header.setWidth(static_cast<int>(width));
  header.setPlanes(static_cast<int>(std::min<tdir_t>(TIFFNumberOfDirectories(tiff), 0x7FFFFFFF)));
  header.setDepth(bits * samples);
  readTiffCalibration(header, file);
  if (photometric == PHOTOMETRIC_PALETTE) readTiffColormap(header, file);
}

void ImageReader::readTiffCalibration(ImageHeader& header, TiffFile& file) {
  TIFF* tiff = file.get();
  PixelCalibration calibration;
  LengthUnit unit;
  int scale = 0;
  float factor = 1.0f;
  std::uint16_t resolutionUnit = 0;
  const bool hasResolutionUnit = TIFFGetField(tiff, TIFFTAG_RESOLUTIONUNIT, &resolutionUnit) == 1;
  if (hasResolutionUnit) {
    scale = resolutionUnit == RESUNIT_NONE ? 0 : -2;
    factor = resolutionUnit == RESUNIT_INCH ? 2.54f : 1.0f;
  }
  char* text = nullptr;
  if ((!hasResolutionUnit || resolutionUnit == RESUNIT_NONE) &&
      TIFFGetField(tiff, TIFFTAG_IMAGEDESCRIPTION, &text) && text) {
    const std::string description(text);
    unitFromDescription(description, scale);
    float spacing = 0;
    if (header.getPlanes() >= 2 && spacingFromDescription(description, spacing))
      header.setVoxelSizeZ(spacing);
  }
  float resolution = 0;
  if (TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &resolution) && usableResolution(resolution))
    calibration.setPixelWidth(factor / resolution);
  if (TIFFGetField(tiff, TIFFTAG_YRESOLUTION, &resolution) && usableResolution(resolution))
    calibration.setPixelHeight(factor / resolution);
  unit.setScale(scale);
  calibration.setLengthUnit(unit);
  calibration.compute();
  header.setPixelCalibration(calibration);
}

void ImageReader::readTiffColormap(ImageHeader& header, TiffFile& file) {
  std::uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
  std::uint16_t bits = 8;
  TIFFGetFieldDefaulted(file.get(), TIFFTAG_BITSPERSAMPLE, &bits);
  if (!TIFFGetField(file.get(), TIFFTAG_COLORMAP, &red, &green, &blue) || !red || !green || !blue) return;
  const int cells = 1 << bits; // libtiff keeps exactly 2^bits entries per channel
  Colormap colormap(cells);
  for (int i = 0; i < cells; ++i) {
    colormap.getRed()[i] = static_cast<unsigned char>(red[i] >> 8);
    colormap.getGreen()[i] = static_cast<unsigned char>(green[i] >> 8);
    colormap.getBlue()[i] = static_cast<unsigned char>(blue[i] >> 8);
  }
  header.setColormap(colormap);
}

void ImageReader::readLSMHeader(ImageHeader& header, TiffFile& file,
                                const std::vector<unsigned char>& block) {
  TIFF* tiff = file.get();
  std::uint32_t subfileType = 0, width = 0, length = 0;
  std::uint16_t bits = 1, compression = 1, photometric = 1;
  TIFFGetField(tiff, TIFFTAG_SUBFILETYPE, &subfileType);
  TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
  TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &length);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
  TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
  const std::string filename = file.filename();
  std::cout << "S32MagicNumber :" << blockValue<std::uint32_t>(block, 0) << std::endl;
  const auto dimensionX = blockValue<std::int32_t>(block, 8);
  const auto dimensionY = blockValue<std::int32_t>(block, 12);
  const auto dimensionZ = blockValue<std::int32_t>(block, 16);
  const auto channels = blockValue<std::int32_t>(block, 20);
  const auto voxelSizeX = blockValue<double>(block, 40);
  const auto voxelSizeY = blockValue<double>(block, 48);
  const auto voxelSizeZ = blockValue<double>(block, 56);
  if (dimensionX < 0 || dimensionY < 0 || channels < 0)
    throwFileError<FileFormatError>(OSTREL_HERE, "Negative dimension in LSM information block", filename);
  if (dimensionX == 0 || dimensionY == 0)
    throwFileError<FileFormatError>(OSTREL_HERE, "Zero dimension in LSM information block", filename);
  const int directories = static_cast<int>(std::min<tdir_t>(TIFFNumberOfDirectories(tiff), 0x7FFFFFFF));
  header.setHeight(dimensionX);
  header.setWidth(dimensionY);
  header.setDepth(bits);
  header.setPlanes(directories);
  header.setChannels(channels);
  header.setNewSubfileType(static_cast<int>(subfileType));
  header.setVoxelSizeX(static_cast<float>(voxelSizeX * 1e6));
  header.setVoxelSizeY(static_cast<float>(voxelSizeY * 1e6));
  header.setVoxelSizeZ(dimensionZ >= 2 && directories >= 2 ? static_cast<float>(voxelSizeZ * 1e6) : 1.0f);
  PixelCalibration calibration;
  LengthUnit micrometre;
  micrometre.setScale(-6);
  calibration.setLengthUnit(micrometre);
  calibration.setPixelHeight(static_cast<float>(voxelSizeX * 1e6));
  calibration.setPixelWidth(static_cast<float>(voxelSizeY * 1e6));
  calibration.compute();
  header.setPixelCalibration(calibration);
  if (bits != 8 && bits != 16)
    throwFileError<FileFormatError>(OSTREL_HERE, formatted("Cannot read TIFF with %d bits per sample", bits),
                                    filename);
}

// === Pixels

void ImageReader::read(Image& image, const std::string& filename) {
  try {
    ImageHeader header;
    read(header, filename);
    checkDecodedSize(planeBytes(header), 1, filename, OSTREL_HERE);
    if (header.getFormat() == ImageFormat::Tiff) {
      TiffFile file(filename, "r");
      if (!file.isOpen())
        throwFileError<FileReadError>(OSTREL_HERE, file.describe("Cannot read TIFF file"), filename);
      notifyStarted();
      readTiffPixels(image, header, file, 0);
      notifyFinished();
      return;
    }
    if (header.getFormat() == ImageFormat::Lsm) {
      TiffFile file(filename, "r");
      if (file.isOpen()) checkPlaneFits(header, file);
    }
    shapeLike(image, header);
    if (header.getFormat() == ImageFormat::Img) {
      notifyStarted();
      readImgPixels(image, filename);
      notifyFinished();
    }
  } catch (Exception& exception) {
    exception.addWhere(OSTREL_HERE);
    throw;
  }
}

void ImageReader::checkPlaneFits(const ImageHeader& header, const TiffFile& file) {
  // The image may be larger than the directory read (an LSM thumbnail, a smaller page): what the
  // file's length could hold uncompressed is always plausible.
  const long long allowed = std::max(file.maxDecodedBytes(), file.fileLength());
  const tmsize_t scanlineSize = TIFFScanlineSize(file.get());
  if (planeBytes(header) > allowed || static_cast<long long>(scanlineSize) > allowed)
    throwFileError<FileFormatError>(OSTREL_HERE, "Image size in file header exceeds what the file can hold",
                                    file.filename());
}

void ImageReader::readTiffPixels(Image& image, const ImageHeader& header, TiffFile& file, int sample) {
  checkPlaneFits(header, file);
  // An image that already has this size (the previous plane of a stack) takes the rows directly:
  // its memory is committed already. Otherwise it is allocated once the rows are decoded.
  const bool allocated = image.getWidth() == header.getWidth() && image.getHeight() == header.getHeight() &&
                         image.getDepth() == header.getDepth() && image.dataLength() > 0;
  const std::size_t rowBytes = static_cast<std::size_t>(header.getWidth()) * (header.getDepth() / 8);
  const int rows = decodeTiffRows(header, file, sample, rowBytes, allocated ? &image : nullptr);
  shapeLike(image, header);
  if (allocated) return;
  // The directory read may be smaller than the image (another page of a stack, an LSM thumbnail):
  // only the bytes both have were kept.
  const std::size_t keptBytes = rows > 0 ? _decoded.size() / static_cast<std::size_t>(rows) : 0;
  for (int row = 0; row < rows; ++row)
    std::memcpy(image.row(row), _decoded.data() + static_cast<std::size_t>(row) * keptBytes, keptBytes);
}

int ImageReader::decodeTiffRows(const ImageHeader& header, TiffFile& file, int sample, std::size_t rowBytes,
                                Image* target) {
  TIFF* tiff = file.get();
  _decoded.clear();
  const int depth = header.getDepth();
  if (depth == 24 || depth == 32) {
    std::uint16_t planar = PLANARCONFIG_CONTIG;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
    if (planar == PLANARCONFIG_SEPARATE)
      throwFileError<FileFormatError>(OSTREL_HERE, "Cannot read TIFF with separate planes", file.filename());
    if (planar != PLANARCONFIG_CONTIG) return 0;
  } else if (depth != 8 && depth != 16) {
    return 0;
  }
  const tmsize_t scanlineSize = TIFFScanlineSize(tiff);
  if (scanlineSize <= 0)
    throwFileError<FileReadError>(OSTREL_HERE, file.describe("Cannot read TIFF scanline"), file.filename());
  std::uint32_t length = 0;
  TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &length);
  const int rows =
      static_cast<int>(std::min<std::uint32_t>(length, static_cast<std::uint32_t>(header.getHeight())));
  const std::size_t keptBytes = std::min<std::size_t>(static_cast<std::size_t>(scanlineSize), rowBytes);
  _scanline.resize(static_cast<std::size_t>(scanlineSize));
  int row = 0;
  for (; row < rows && !isCanceled(); ++row) {
    if (TIFFReadScanline(tiff, _scanline.data(), static_cast<std::uint32_t>(row),
                         static_cast<std::uint16_t>(sample)) < 0)
      throwFileError<FileReadError>(OSTREL_HERE, file.describe("Cannot read TIFF scanline"), file.filename());
    if (target)
      std::memcpy(target->row(row), _scanline.data(), keptBytes);
    else
      _decoded.insert(_decoded.end(), _scanline.begin(),
                      _scanline.begin() + static_cast<std::ptrdiff_t>(keptBytes));
    notifyProgressed(row + 1, header.getHeight());
  }
  return row;
}

void ImageReader::readImgPixels(Image& image, const std::string& filename) {
  std::ifstream in(filename, std::ios::binary);
  in.seekg(12);
  const std::size_t bytes = std::min<std::size_t>(512 * 512, image.dataLength());
  in.read(reinterpret_cast<char*>(image.getData()), static_cast<std::streamsize>(bytes));
}

// === Image sources

void ImageReader::read(Image& image, const ImageSource& source) {
  switch (source.getType()) {
  case 0:
    read(image, static_cast<const ImageSourceFile&>(source).getFilename());
    break;
  case 1:
    readFileMosaic(image, static_cast<const ImageSourceFileMosaic&>(source));
    break;
  case 2:
    readVoxelMatrixPlane(image, static_cast<const ImageSourceVoxelMatrixPlane&>(source));
    break;
  case 3:
    readVoxelMatrixFilePlane(image, static_cast<const ImageSourceVoxelMatrixFilePlane&>(source));
    break;
  case 4: {
    const auto& stack = static_cast<const ImageSourceTiffStackPlane&>(source);
    readStackPlane(image, stack, stack.getTiffStackFilename(), stack.getPlane(), 0);
    break;
  }
  case 5: {
    const auto& stack = static_cast<const ImageSourceLSMStackPlane&>(source);
    readStackPlane(image, stack, stack.getLSMStackFilename(), stack.getPlane(), stack.getFrame());
    break;
  }
  default:
    break;
  }
}

void ImageReader::readStackPlane(Image& image, const ImageSourceHeader& source, const std::string& filename,
                                 int plane, int sample) {
  notifyStarted();
  readTiffPixels(image, source.getHeader(), source.getStackCursor().select(filename, plane), sample);
  notifyFinished();
}

void ImageReader::readVoxelMatrixPlane(Image& image, const ImageSourceVoxelMatrixPlane& source) {
  const VoxelMatrix<float>* matrix = source.getVoxelMatrix();
  if (!matrix || source.getPlane() < 0 || source.getPlane() >= matrix->getSize3()) return;
  (*matrix)[source.getPlane()].convertToImage(image, 16);
  image.print("image read from voxel matrix:");
}

void ImageReader::readVoxelMatrixFilePlane(Image& image, const ImageSourceVoxelMatrixFilePlane& source) {
  VoxelMatrix<float> matrix(source.getVoxelMatrixFilename());
  if (source.getPlane() < 0 || source.getPlane() >= matrix.getSize3()) return;
  matrix[source.getPlane()].convertToImage(image, 8);
  image.print("image read from voxel matrix file:");
}

void ImageReader::readFileMosaic(Image& image, const ImageSourceFileMosaic& source) {
  if (!source.isDefined()) return;
  // The cells' headers give the mosaic its size: each must be one its file can hold before the
  // mosaic is allocated.
  for (int r = 0; r < source.getRows(); ++r)
    for (int c = 0; c < source.getColumns(); ++c) {
      const ImageSourceFile* cell = source.getCell(r, c);
      const ImageFormat format = cell ? cell->getHeader().getFormat() : ImageFormat::None;
      if (format != ImageFormat::Tiff && format != ImageFormat::Lsm) continue;
      TiffFile file(cell->getFilename(), "r");
      if (file.isOpen()) checkPlaneFits(cell->getHeader(), file);
    }
  image.init(source.getSize2(), source.getSize1(), source.getDepth());
  const int bytesPerPixel = image.bytesPerPixel();
  int top = 0;
  for (int r = 0; r < source.getRows(); ++r) {
    int left = 0;
    for (int c = 0; c < source.getColumns(); ++c) {
      if (const ImageSourceFile* cell = source.getCell(r, c)) {
        Image tile;
        read(tile, cell->getFilename());
        // The file may have changed since the grid was measured: clip the tile to its cell.
        const int rows = std::min(tile.getHeight(), source.getRowHeight(r));
        const int columns = std::min(tile.getWidth(), source.getColumnWidth(c));
        if (tile.getDepth() == image.getDepth())
          for (int i = 0; i < rows; ++i)
            std::memcpy(image.row(top + i) + static_cast<std::size_t>(left) * bytesPerPixel, tile.row(i),
                        static_cast<std::size_t>(columns) * bytesPerPixel);
      }
      left += source.getColumnWidth(c);
    }
    top += source.getRowHeight(r);
  }
}

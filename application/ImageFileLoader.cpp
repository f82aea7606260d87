#include "application/ImageFileLoader.h"

#include "foundation/Exception.h"
#include "foundation/FileInfo.h"
#include "imaging/ImageReader.h"
#include "imaging/ImageSourceLSMStackPlane.h"

#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>

namespace {

std::string lowerCaseSuffix(const std::string& name) {
  return QString::fromStdString(FileInfo::suffixName(name)).toLower().toStdString();
}

// A ".vm" header: three zero words, then layout 1 with a known type and sizes that are not negative;
// or layout 0, three positive sizes of float voxels that fill the rest of the file exactly.
bool hasVoxelMatrixHeader(const std::string& name) {
  std::ifstream in(name, std::ios::binary | std::ios::ate);
  const std::streamoff length = in ? static_cast<std::streamoff>(in.tellg()) : 0;
  std::int32_t words[8] = {};
  in.seekg(0);
  if (length < 12 || !in.read(reinterpret_cast<char*>(words), std::min<std::streamoff>(length, 32)))
    return false;
  if (words[0] == 0 && words[1] == 0 && words[2] == 0) {
    const std::int32_t type = words[4];
    const bool knownType = type == 0 || type == 2 || type == 3 || (type >= 5 && type <= 7);
    return length >= 48 && words[3] == 1 && knownType && words[5] >= 0 && words[6] >= 0 && words[7] >= 0;
  }
  if (words[0] <= 0 || words[1] <= 0 || words[2] <= 0) return false;
  const double voxelBytes = 4.0 * words[0] * static_cast<double>(words[1]) * words[2];
  return 12.0 + voxelBytes == static_cast<double>(length);
}

// TIFF stacks named ".tif" or ".tiff" are voxel matrices; other TIFF and LSM files are images.
ImageFileLoader::Content tiffContent(const std::string& name) {
  using Content = ImageFileLoader::Content;
  const std::string suffix = lowerCaseSuffix(name);
  if (suffix != "tif" && suffix != "tiff") return Content::Image;
  try {
    ImageHeader header;
    ImageReader().read(header, name);
    return header.getFormat() == ImageFormat::Tiff && header.getPlanes() >= 2 ? Content::VoxelMatrix
                                                                              : Content::Image;
  } catch (const Exception&) {
    return Content::Image; // the image reader reports what is wrong
  }
}

} // namespace

ImageFileLoader::Content ImageFileLoader::recognise(const std::string& name) {
  if (lowerCaseSuffix(name) == "vm") return Content::VoxelMatrix;
  char magic[4] = {};
  std::ifstream in(name, std::ios::binary);
  if (in.read(magic, 4) && (std::memcmp(magic, "II*\0", 4) == 0 || std::memcmp(magic, "MM\0*", 4) == 0))
    return tiffContent(name);
  return hasVoxelMatrixHeader(name) ? Content::VoxelMatrix : Content::Shape;
}

std::unique_ptr<Image> ImageFileLoader::readImage(const std::string& name) {
  ImageReader reader;
  ImageHeader header;
  reader.read(header, name);
  auto image = std::make_unique<Image>();
  if (header.getFormat() == ImageFormat::Lsm) {
    ImageSourceLSMStackPlane source;
    source.setLSMStackFilename(name);
    source.setPlane(0);
    reader.read(*image, source);
  } else {
    reader.read(*image, name);
  }
  return image;
}

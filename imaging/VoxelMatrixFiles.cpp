// The file input and output of VoxelMatrix: the ".vm" layouts and TIFF stacks.
#include "imaging/VoxelMatrix.h"

#include "foundation/ErrorThrowing.h"
#include "foundation/Exception.h"
#include "foundation/FileInfo.h"
#include "imaging/Image.h"
#include "imaging/ImageReader.h"
#include "imaging/ImageSourceTiffStackPlane.h"
#include "imaging/TiffFile.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <iomanip>
#include <limits>
#include <sstream>

namespace {

constexpr std::streamoff layout1HeaderBytes = 48;
constexpr std::streamoff layout0HeaderBytes = 12;
constexpr long long maxSpareEmptyBytes = 64 * 1024; // bookkeeping a matrix without voxels may cost

std::string lowerCaseSuffix(const std::string& filename) {
  std::string suffix = FileInfo::suffixName(filename);
  std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return suffix;
}

std::streamoff streamLength(std::istream& in) {
  const std::streamoff here = in.tellg();
  in.seekg(0, std::ios::end);
  const std::streamoff length = in.tellg();
  in.seekg(here);
  return length;
}

std::int32_t readInt32(std::istream& in) {
  std::int32_t value = 0;
  in.read(reinterpret_cast<char*>(&value), sizeof value);
  return value;
}

float readFloat32(std::istream& in) {
  float value = 0;
  in.read(reinterpret_cast<char*>(&value), sizeof value);
  return value;
}

void writeInt32(std::ostream& out, std::int32_t value) {
  out.write(reinterpret_cast<const char*>(&value), sizeof value);
}
void writeFloat32(std::ostream& out, float value) {
  out.write(reinterpret_cast<const char*>(&value), sizeof value);
}

// Opens filename for binary reading; a file that cannot be opened raises FileReadError.
std::ifstream openForReading(const std::string& filename, const std::string& where) {
  std::ifstream in(filename, std::ios::binary);
  if (!in) throwFileError<FileReadError>(where, "Cannot open file for reading", filename);
  return in;
}

// Refuses to replace an existing file unless overwrite is set.
void refuseExistingFile(const std::string& filename, bool overwrite, const std::string& where) {
  if (overwrite || !FileInfo::fileExists(filename)) return;
  throwFileError<FileWriteError>(where, "File already exists", filename);
}

// Refuses a layout-1 header whose type identifier is not the one of the matrix's element type.
void checkTypeId(std::int32_t fileTypeId, int typeId, const std::string& where) {
  if (fileTypeId == typeId) return;
  throwError<TypeError>(where, "Type mismatch between template instantiation and file contents");
}

// The fields of a layout-1 header that follow its three zero words.
struct Layout1Header {
  std::int32_t typeId = 0;
  std::int32_t size1 = 0, size2 = 0, size3 = 0;
  std::int32_t unitScale = 0;
  Vector<float> voxelSize = Vector<float>(3);
};

Layout1Header readLayout1Header(std::istream& in) {
  Layout1Header header;
  readInt32(in); // layout version, not checked
  header.typeId = readInt32(in);
  header.size1 = readInt32(in);
  header.size2 = readInt32(in);
  header.size3 = readInt32(in);
  header.unitScale = readInt32(in);
  for (int d = 0; d < 3; ++d) header.voxelSize[d] = readFloat32(in);
  return header;
}

void setCalibration(VoxelCalibration& calibration, const Layout1Header& header) {
  LengthUnit unit;
  unit.setScale(header.unitScale);
  calibration.setLengthUnit(unit);
  calibration.setVoxelSize(header.voxelSize);
}

// Refuses sizes that are negative or whose voxels do not fit in the bytes the file has left. Every
// size counts, a zero one as 1: empty rows and slices hold no byte of the file but still cost memory
// (row tables, slice objects), so a zero size never lets the others go unchecked. A matrix without
// voxels may ask for a little of that beyond the file's bytes.
void checkSizesFit(long long s1, long long s2, long long s3, std::size_t elementSize,
                   std::streamoff available, const std::string& where, const std::string& filename) {
  if (s1 < 0 || s2 < 0 || s3 < 0)
    throwFileError<FileFormatError>(where, "Negative matrix size in file header", filename);
  const bool empty = s1 == 0 || s2 == 0 || s3 == 0;
  const long long budget = std::max<long long>(available, 0) + (empty ? maxSpareEmptyBytes : 0);
  long long bytes = static_cast<long long>(elementSize);
  for (long long s : {s1, s2, s3}) {
    const long long counted = std::max(s, 1LL);
    if (bytes > budget / counted)
      throwFileError<FileFormatError>(where, "Matrix size in file header exceeds the file length", filename);
    bytes *= counted;
  }
}

// The three sizes that start every voxel matrix file (all 0 where a calibrated header follows).
std::array<std::int32_t, 3> readLeadingSizes(std::istream& in, std::streamoff length, const char* where,
                                             const std::string& filename) {
  if (length < layout0HeaderBytes)
    throwFileError<FileFormatError>(where, "File too short for a voxel matrix header", filename);
  return {readInt32(in), readInt32(in), readInt32(in)}; // braces read in order
}

} // namespace

// === Files

template <class T> int VoxelMatrix<T>::dataTypeId() const {
  if constexpr (std::is_same_v<T, int>) return 2;
  if constexpr (std::is_same_v<T, unsigned int>) return 3;
  if constexpr (std::is_same_v<T, float>) return 5;
  if constexpr (std::is_same_v<T, double>) return 6;
  if constexpr (std::is_same_v<T, long double>) return 7;
  return 0;
}

template <class T> void VoxelMatrix<T>::load(const std::string& filename) {
  const std::string suffix = lowerCaseSuffix(filename);
  if (suffix == "tif" || suffix == "tiff") {
    loadTiffStack(filename);
    return;
  }
  std::ifstream in = openForReading(filename, OSTREL_HERE);
  loadVm(in, filename);
}

template <class T> void VoxelMatrix<T>::loadVm(std::istream& in, const std::string& filename) {
  const char* const where = OSTREL_HERE;
  const std::streamoff length = streamLength(in);
  const auto [s1, s2, s3] = readLeadingSizes(in, length, where, filename);
  if (s1 == 0 && s2 == 0 && s3 == 0) {
    load(in, filename);
    return;
  }
  checkSizesFit(s1, s2, s3, sizeof(T), length - layout0HeaderBytes, where, filename);
  setSize(s1, s2, s3);
  readVoxels(in);
}

template <class T> void VoxelMatrix<T>::load(std::istream& in, const std::string& filename) {
  const char* const where = OSTREL_HERE;
  const std::streamoff start = in.tellg();
  const std::streamoff length = streamLength(in);
  if (length - start < layout1HeaderBytes - layout0HeaderBytes)
    throwFileError<FileFormatError>(where, "File too short for a voxel matrix header", filename);
  const Layout1Header header = readLayout1Header(in);
  checkTypeId(header.typeId, dataTypeId(), where);
  const std::streamoff available = length - in.tellg();
  checkSizesFit(header.size1, header.size2, header.size3, sizeof(T), available, where, filename);
  setSize(header.size1, header.size2, header.size3);
  setCalibration(_calibration, header);
  readVoxels(in);
}

template <class T> void VoxelMatrix<T>::readVoxels(std::istream& in) {
  // Each slice is contiguous, so one read per slice covers its rows in order.
  for (auto& slice : _slices)
    in.read(reinterpret_cast<char*>(slice.data()),
            static_cast<std::streamsize>(slice.numElements() * sizeof(T)));
}

template <class T> void VoxelMatrix<T>::loadHeader(const std::string& filename) {
  const char* const where = OSTREL_HERE;
  std::ifstream in = openForReading(filename, where);
  const std::streamoff length = streamLength(in);
  const auto [s1, s2, s3] = readLeadingSizes(in, length, where, filename);
  if (s1 != 0 || s2 != 0 || s3 != 0) return; // layout 0 carries no calibration
  if (length < layout1HeaderBytes)
    throwFileError<FileFormatError>(where, "File too short for a voxel matrix header", filename);
  const Layout1Header header = readLayout1Header(in);
  checkTypeId(header.typeId, dataTypeId(), OSTREL_HERE);
  setCalibration(_calibration, header);
}

template <class T> Vector<int> VoxelMatrix<T>::fileSizes(const std::string& filename) {
  const char* const where = OSTREL_HERE;
  std::ifstream in = openForReading(filename, where);
  const std::streamoff length = streamLength(in);
  if (length < layout0HeaderBytes)
    throwFileError<FileFormatError>(where, "File too short for a voxel matrix header", filename);
  Vector<int> size(3);
  for (int d = 0; d < 3; ++d) size[d] = readInt32(in);
  if (size[0] == 0 && size[1] == 0 && size[2] == 0) {
    if (length < layout1HeaderBytes)
      throwFileError<FileFormatError>(where, "File too short for a voxel matrix header", filename);
    const Layout1Header header = readLayout1Header(in);
    size[0] = header.size1;
    size[1] = header.size2;
    size[2] = header.size3;
  }
  if (size[0] < 0 || size[1] < 0 || size[2] < 0)
    throwFileError<FileFormatError>(where, "Negative matrix size in file header", filename);
  return size;
}

template <class T> void VoxelMatrix<T>::writeVoxels(std::ofstream& out) const {
  for (const auto& slice : _slices)
    out.write(reinterpret_cast<const char*>(slice.data()),
              static_cast<std::streamsize>(slice.numElements() * sizeof(T)));
}

namespace {

// Opens filename for binary writing after the existence test of the save operations.
std::ofstream openForSaving(const std::string& filename, bool overwrite, const std::string& where) {
  refuseExistingFile(filename, overwrite, where);
  std::ofstream out(filename, std::ios::binary | std::ios::trunc);
  if (!out) throwFileError<FileWriteError>(where, "Cannot open file for writing", filename);
  return out;
}

} // namespace

template <class T> void VoxelMatrix<T>::save(const std::string& filename, bool overwrite) const {
  const std::string name = FileInfo::suffixName(filename) == "vm" ? filename : filename + ".vm";
  std::ofstream out = openForSaving(name, overwrite, OSTREL_HERE);
  for (int d = 0; d < 3; ++d) writeInt32(out, 0);
  writeInt32(out, 1);
  writeInt32(out, dataTypeId());
  writeInt32(out, _size1);
  writeInt32(out, _size2);
  writeInt32(out, _size3);
  writeInt32(out, _calibration.getLengthUnit().getScale());
  for (int d = 0; d < 3; ++d) writeFloat32(out, _calibration.getVoxelSize()[d]);
  writeVoxels(out);
}

template <class T> void VoxelMatrix<T>::saveUnderFormat0(const std::string& filename, bool overwrite) const {
  std::ofstream out = openForSaving(filename, overwrite, OSTREL_HERE);
  writeInt32(out, _size1);
  writeInt32(out, _size2);
  writeInt32(out, _size3);
  writeVoxels(out);
}

namespace {

std::string imageJDescription(int slices, const LengthUnit& unit, float spacing) {
  std::ostringstream text;
  text << "ImageJ=1.47v\n"
       << "images=" << slices << "\n"
       << "slices=" << slices << "\n"
       << "unit=" << (unit.getScale() == -6 ? std::string("micron") : unit.symbol()) << "\n"
       << "spacing=" << std::fixed << std::setprecision(6) << spacing << "\n"
       << "loop=false";
  return text.str();
}

} // namespace

template <class T>
void VoxelMatrix<T>::saveAsTiff(const std::string& filename, bool compress, bool overwrite) const {
  const char* const where = OSTREL_HERE;
  refuseExistingFile(filename, overwrite, where);
  TiffFile file(filename, "w");
  auto fail = [&](const std::string& what) {
    throwFileError<FileWriteError>(where, file.describe(what), filename);
  };
  if (!file.isOpen()) fail("Cannot open file for writing");
  TIFF* tiff = file.get();
  const std::string description =
      imageJDescription(_size3, _calibration.getLengthUnit(), _calibration.getVoxelDepth());
  Image image;
  for (int k = 0; k < _size3; ++k) {
    _slices[k].convertToImage(image, 8);
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(_size2));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(_size1));
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tiff, TIFFTAG_SUBFILETYPE, FILETYPE_REDUCEDIMAGE);
    TIFFSetField(tiff, TIFFTAG_PAGENUMBER, k, _size3);
    TIFFSetField(tiff, TIFFTAG_IMAGEDESCRIPTION, description.c_str());
    TIFFSetField(tiff, TIFFTAG_XRESOLUTION, 1.0f / _calibration.getVoxelWidth());
    TIFFSetField(tiff, TIFFTAG_YRESOLUTION, 1.0f / _calibration.getVoxelHeight());
    TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_NONE);
    if (compress) {
      TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
      TIFFSetField(tiff, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    }
    for (int i = 0; i < _size1; ++i)
      if (TIFFWriteScanline(tiff, image.row(i), i, 0) < 0) fail("Cannot write TIFF scanline");
    if (!TIFFWriteDirectory(tiff)) fail("Cannot write TIFF directory");
  }
}

template <class T> void VoxelMatrix<T>::loadTiffStack(const std::string& filename) {
  ImageSourceTiffStackPlane source;
  source.setTiffStackFilename(filename);
  const ImageHeader& header = source.getHeader();
  const int planes = source.getNumImages();
  const long long width = std::max(header.getWidth(), 0);
  const long long height = std::max(header.getHeight(), 0);
  const long long maxSliceBytes = std::numeric_limits<long long>::max();
  const long long sliceBytes = width > 0 && height > maxSliceBytes / static_cast<long long>(sizeof(T)) / width
                                   ? maxSliceBytes
                                   : width * height * static_cast<long long>(sizeof(T));
  ImageReader::checkDecodedSize(sliceBytes, planes, filename, OSTREL_HERE);
  // Slices are allocated as their planes arrive, so that pages promising more than they decode to
  // fail before memory is taken for the rest; the matrix changes only once every plane is read.
  // The source keeps the stack open between planes: one open, one walk of the directories.
  std::vector<PixelMatrix<T>> slices;
  ImageReader reader;
  Image image;
  for (int k = 0; k < planes; ++k) {
    source.setPlane(k);
    reader.read(image, source);
    slices.emplace_back();
    slices.back().convertFromImage(image);
  }
  _slices.swap(slices);
  _size1 = source.getSize1();
  _size2 = source.getSize2();
  _size3 = planes;
  const PixelCalibration& pixels = source.getPixelCalibration();
  Vector<float> voxelSize(3);
  voxelSize[0] = pixels.getPixelWidth();
  voxelSize[1] = pixels.getPixelHeight();
  voxelSize[2] = source.getVoxelSizeZ();
  _calibration.setVoxelSize(voxelSize);
  _calibration.setLengthUnit(pixels.getLengthUnit());
}

#define OSTREL_VOXEL_MATRIX_FILES(T)                                                                         \
  template int VoxelMatrix<T>::dataTypeId() const;                                                           \
  template void VoxelMatrix<T>::load(const std::string&);                                                    \
  template void VoxelMatrix<T>::load(std::istream&, const std::string&);                                     \
  template void VoxelMatrix<T>::loadVm(std::istream&, const std::string&);                                   \
  template void VoxelMatrix<T>::loadHeader(const std::string&);                                              \
  template void VoxelMatrix<T>::save(const std::string&, bool) const;                                        \
  template void VoxelMatrix<T>::saveUnderFormat0(const std::string&, bool) const;                            \
  template void VoxelMatrix<T>::saveAsTiff(const std::string&, bool, bool) const;                            \
  template Vector<int> VoxelMatrix<T>::fileSizes(const std::string&);

OSTREL_VOXEL_MATRIX_FILES(char)
OSTREL_VOXEL_MATRIX_FILES(unsigned char)
OSTREL_VOXEL_MATRIX_FILES(short)
OSTREL_VOXEL_MATRIX_FILES(unsigned short)
OSTREL_VOXEL_MATRIX_FILES(int)
OSTREL_VOXEL_MATRIX_FILES(unsigned int)
OSTREL_VOXEL_MATRIX_FILES(float)
OSTREL_VOXEL_MATRIX_FILES(double)
OSTREL_VOXEL_MATRIX_FILES(long double)

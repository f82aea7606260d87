#include "imaging/VoxelMatrix.h"

#include "foundation/ErrorThrowing.h"
#include "foundation/Exception.h"
#include "foundation/FileInfo.h"
#include "imaging/Image.h"
#include "imaging/ImageReader.h"
#include "imaging/ImageSourceTiffStackPlane.h"
#include "imaging/TiffFile.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <limits>
#include <numeric>
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

std::streamoff streamLength(std::ifstream& in) {
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

} // namespace

// === Construction and sizes

template <class T> VoxelMatrix<T>::VoxelMatrix(int size1, int size2, int size3) {
  setSize(size1, size2, size3);
}

template <class T> VoxelMatrix<T>::VoxelMatrix(const std::string& filename) {
  try {
    load(filename);
  } catch (Exception& exception) {
    exception.addCall("VoxelMatrix<T>::VoxelMatrix(const string&)");
    throw;
  }
}

template <class T> void VoxelMatrix<T>::swap(VoxelMatrix& other) noexcept {
  std::swap(_size1, other._size1);
  std::swap(_size2, other._size2);
  std::swap(_size3, other._size3);
  _slices.swap(other._slices);
  std::swap(_calibration, other._calibration);
}

template <class T> void VoxelMatrix<T>::setSize(int size1, int size2, int size3) {
  if (size1 == _size1 && size2 == _size2 && size3 == _size3) return;
  _slices.clear();
  _size1 = size1;
  _size2 = size2;
  _size3 = size3;
  if (size3 < 1) return;
  _slices.reserve(size3);
  for (int k = 0; k < size3; ++k) _slices.emplace_back(size1, size2);
}

template <class T> void VoxelMatrix<T>::setSize(const Vector<int>& size) {
  setSize(size[0], size[1], size[2]);
}

template <class T> unsigned int VoxelMatrix<T>::getSize(int d) const {
  switch (d) {
  case 1:
    return _size1;
  case 2:
    return _size2;
  case 3:
    return _size3;
  default: {
    throwError<ValueError>("unsigned int VoxelMatrix<T>::getSize(...) const",
                           "Invalid argument value (neither 1, 2 or 3)");
  }
  }
}

template <class T> Vector<int> VoxelMatrix<T>::getSize() const {
  Vector<int> size(3);
  size[0] = _size1;
  size[1] = _size2;
  size[2] = _size3;
  return size;
}

template <class T> bool VoxelMatrix<T>::sameSizeAs(const VoxelMatrix& other) const {
  return _size1 == other._size1 && _size2 == other._size2 && _size3 == other._size3;
}

template <class T> bool VoxelMatrix<T>::contains(int i, int j, int k) const {
  return i >= 0 && i < _size1 && j >= 0 && j < _size2 && k >= 0 && k < _size3;
}

template <class T> bool VoxelMatrix<T>::contains(const Vector<int>& position) const {
  return contains(position[0], position[1], position[2]);
}

template <class T> bool VoxelMatrix<T>::operator==(const VoxelMatrix& other) const {
  if (!sameSizeAs(other)) return false;
  for (int k = 0; k < _size3; ++k)
    if (_slices[k] != other._slices[k]) return false;
  return true;
}

// === Element-wise operations

template <class T> void VoxelMatrix<T>::fill(const T& value) {
  for (auto& slice : _slices) std::fill(slice.data(), slice.data() + slice.numElements(), value);
}

template <class T> void VoxelMatrix<T>::apply(T (*f)(T)) {
  // The end is taken once per slice: after each call of f the compiler could not assume it unchanged.
  for (auto& slice : _slices)
    std::transform(slice.data(), slice.data() + slice.numElements(), slice.data(), f);
}

template <class T> void VoxelMatrix<T>::reverse() {
  std::reverse(_slices.begin(), _slices.end());
  for (auto& slice : _slices) std::reverse(slice.data(), slice.data() + slice.numElements());
}

template <class T> void VoxelMatrix<T>::checkSameSize(const VoxelMatrix& other, const char* where) const {
  if (sameSizeAs(other)) return;
  throwError<SizeError>(where, "The two matrices have different sizes");
}

namespace {

template <class T, class Operation>
void combine(VoxelMatrix<T>& target, const VoxelMatrix<T>& source, Operation operation) {
  for (int k = 0; k < target.getSize3(); ++k) {
    T* a = target[k].data();
    const T* b = source[k].data();
    const long long n = target[k].numElements();
    for (long long e = 0; e < n; ++e) a[e] = operation(a[e], b[e]);
  }
}

template <class T, class Operation>
void combine(VoxelMatrix<T>& target, const T& value, Operation operation) {
  for (int k = 0; k < target.getSize3(); ++k) {
    T* a = target[k].data();
    const long long n = target[k].numElements();
    for (long long e = 0; e < n; ++e) a[e] = operation(a[e], value);
  }
}

} // namespace

template <class T> VoxelMatrix<T>& VoxelMatrix<T>::operator+=(const VoxelMatrix& other) {
  checkSameSize(other, "void VoxelMatrix<T>::operator+=(const VoxelMatrix&)");
  combine(*this, other, [](T a, T b) { return static_cast<T>(a + b); });
  return *this;
}

template <class T> VoxelMatrix<T>& VoxelMatrix<T>::operator-=(const VoxelMatrix& other) {
  checkSameSize(other, "void VoxelMatrix<T>::operator-=(const VoxelMatrix&)");
  combine(*this, other, [](T a, T b) { return static_cast<T>(a - b); });
  return *this;
}

template <class T> VoxelMatrix<T>& VoxelMatrix<T>::operator*=(const VoxelMatrix& other) {
  checkSameSize(other, "void VoxelMatrix<T>::operator*=(const VoxelMatrix&)");
  combine(*this, other, [](T a, T b) { return static_cast<T>(a * b); });
  return *this;
}

template <class T> VoxelMatrix<T>& VoxelMatrix<T>::operator+=(const T& value) {
  combine(*this, value, [](T a, T b) { return static_cast<T>(a + b); });
  return *this;
}

template <class T> VoxelMatrix<T>& VoxelMatrix<T>::operator-=(const T& value) {
  combine(*this, value, [](T a, T b) { return static_cast<T>(a - b); });
  return *this;
}

template <class T> VoxelMatrix<T>& VoxelMatrix<T>::operator*=(const T& value) {
  combine(*this, value, [](T a, T b) { return static_cast<T>(a * b); });
  return *this;
}

template <class T> VoxelMatrix<T>& VoxelMatrix<T>::operator/=(const T& value) {
  combine(*this, value, [](T a, T b) { return static_cast<T>(a / b); });
  return *this;
}

// === Sub-volumes

template <class T> VoxelMatrix<T> VoxelMatrix<T>::copy(int i1, int i2, int j1, int j2, int k1, int k2) const {
  i1 = std::max(i1, 0), j1 = std::max(j1, 0), k1 = std::max(k1, 0);
  i2 = std::min(i2, _size1 - 1), j2 = std::min(j2, _size2 - 1), k2 = std::min(k2, _size3 - 1);
  VoxelMatrix result(std::max(i2 - i1 + 1, 0), std::max(j2 - j1 + 1, 0), std::max(k2 - k1 + 1, 0));
  result._calibration = _calibration;
  for (int k = 0; k < result._size3; ++k)
    for (int i = 0; i < result._size1; ++i)
      std::copy(_slices[k1 + k][i1 + i] + j1, _slices[k1 + k][i1 + i] + j1 + result._size2,
                result._slices[k][i]);
  return result;
}

template <class T> void VoxelMatrix<T>::paste(int i, int j, int k, const VoxelMatrix& other) {
  for (int c = std::max(0, -k); c < other._size3 && k + c < _size3; ++c)
    for (int a = std::max(0, -i); a < other._size1 && i + a < _size1; ++a)
      for (int b = std::max(0, -j); b < other._size2 && j + b < _size2; ++b)
        _slices[k + c](i + a, j + b) = other._slices[c](a, b);
}

template <class T> Vector<T> VoxelMatrix<T>::cat() const {
  Vector<T> all(static_cast<int>(numElements()));
  T* target = all.data();
  for (const auto& slice : _slices)
    target = std::copy(slice.data(), slice.data() + slice.numElements(), target);
  return all;
}

// === Statistics

template <class T> void VoxelMatrix<T>::checkNotEmpty(const char* where, const char* what) const {
  if (numElements() > 0) return;
  throwError<SizeError>(where, what);
}

template <class T> T VoxelMatrix<T>::min() const {
  checkNotEmpty("T VoxelMatrix<T>::min() const", "This matrix is empty");
  T result = _slices[0].data()[0];
  for (const auto& slice : _slices)
    result = std::min(result, *std::min_element(slice.data(), slice.data() + slice.numElements()));
  return result;
}

template <class T> T VoxelMatrix<T>::max() const {
  checkNotEmpty("T VoxelMatrix<T>::max() const", "This matrix is empty");
  T result = _slices[0].data()[0];
  for (const auto& slice : _slices)
    result = std::max(result, *std::max_element(slice.data(), slice.data() + slice.numElements()));
  return result;
}

template <class T> Vector<T> VoxelMatrix<T>::range() const {
  checkNotEmpty("Vector<T> VoxelMatrix<T>::range() const", "This matrix is empty.");
  Vector<T> result(2);
  result[0] = min();
  result[1] = max();
  return result;
}

template <class T> T VoxelMatrix<T>::sum() const {
  checkNotEmpty("T VoxelMatrix<T>::sum() const", "This matrix is empty");
  T result = T(0);
  for (const auto& slice : _slices)
    result = std::accumulate(slice.data(), slice.data() + slice.numElements(), result,
                             [](T s, T v) { return static_cast<T>(s + v); });
  return result;
}

template <class T> Vector<unsigned int> VoxelMatrix<T>::histogram(T min, T max, int bins) const {
  Vector<unsigned int> counts(std::max(bins, 0));
  counts.fill(0);
  for (const auto& slice : _slices) counts += slice.histogram(min, max, bins);
  return counts;
}

template <class T>
Vector<unsigned int> VoxelMatrix<T>::histogram(T min, T max, int bins, const VoxelMatrix& mask) const {
  checkSameSize(mask, "Vector<unsigned int> VoxelMatrix<T>::histogram(...) const");
  Vector<unsigned int> counts(std::max(bins, 0));
  counts.fill(0);
  for (int k = 0; k < _size3; ++k) counts += _slices[k].histogram(min, max, bins, mask._slices[k]);
  return counts;
}

template <class T> void VoxelMatrix<T>::print(const std::string& title) const {
  if (!title.empty()) std::cout << title << '\n';
  std::cout << "size: " << _size1 << ' ' << _size2 << ' ' << _size3 << '\n';
  std::cout << "voxel size: " << _calibration.getVoxelHeight() << ' ' << _calibration.getVoxelWidth() << ' '
            << _calibration.getVoxelDepth() << ' ' << _calibration.getLengthUnit().symbol() << '\n';
  for (int k = 0; k < _size3; ++k) {
    std::cout << "slice " << k << ":\n";
    for (int i = 0; i < _size1; ++i) {
      for (int j = 0; j < _size2; ++j) std::cout << (j ? " " : "") << +_slices[k](i, j);
      std::cout << '\n';
    }
  }
  std::cout.flush();
}

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
  const std::string where = "void VoxelMatrix<T>::load(const string&)";
  std::ifstream in = openForReading(filename, where);
  const std::string suffix = lowerCaseSuffix(filename);
  if (suffix == "tif" || suffix == "tiff") {
    in.close();
    loadTiffStack(filename);
    return;
  }
  const std::streamoff length = streamLength(in);
  if (length < layout0HeaderBytes)
    throwFileError<FileFormatError>(where, "File too short for a voxel matrix header", filename);
  const std::int32_t s1 = readInt32(in);
  const std::int32_t s2 = readInt32(in);
  const std::int32_t s3 = readInt32(in);
  if (s1 == 0 && s2 == 0 && s3 == 0) {
    load(in, filename);
    return;
  }
  checkSizesFit(s1, s2, s3, sizeof(T), length - layout0HeaderBytes, where, filename);
  setSize(s1, s2, s3);
  readVoxels(in);
}

template <class T> void VoxelMatrix<T>::load(std::ifstream& in, const std::string& filename) {
  const std::string where = "void VoxelMatrix<T>::load(ifstream&)";
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

template <class T> void VoxelMatrix<T>::readVoxels(std::ifstream& in) {
  // Each slice is contiguous, so one read per slice covers its rows in order.
  for (auto& slice : _slices)
    in.read(reinterpret_cast<char*>(slice.data()),
            static_cast<std::streamsize>(slice.numElements() * sizeof(T)));
}

template <class T> void VoxelMatrix<T>::loadHeader(const std::string& filename) {
  const std::string where = "void VoxelMatrix<T>::loadHeader(const string&)";
  std::ifstream in = openForReading(filename, where);
  const std::streamoff length = streamLength(in);
  if (length < layout0HeaderBytes)
    throwFileError<FileFormatError>(where, "File too short for a voxel matrix header", filename);
  const std::int32_t s1 = readInt32(in);
  const std::int32_t s2 = readInt32(in);
  const std::int32_t s3 = readInt32(in);
  if (s1 != 0 || s2 != 0 || s3 != 0) return; // layout 0 carries no calibration
  if (length < layout1HeaderBytes)
    throwFileError<FileFormatError>(where, "File too short for a voxel matrix header", filename);
  const Layout1Header header = readLayout1Header(in);
  checkTypeId(header.typeId, dataTypeId(), "void VoxelMatrix<T>::load(ifstream&)");
  setCalibration(_calibration, header);
}

template <class T> Vector<int> VoxelMatrix<T>::fileSizes(const std::string& filename) {
  const std::string where = "Vector<int> VoxelMatrix<T>::fileSizes(const string&)";
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
  std::ofstream out = openForSaving(name, overwrite, "void VoxelMatrix<T>::save(...) const");
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
  std::ofstream out = openForSaving(filename, overwrite, "void VoxelMatrix<T>::saveUnderFormat0(...) const");
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
  const std::string where = "void VoxelMatrix<T>::saveAsTiff(...) const";
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
  ImageReader::checkDecodedSize(sliceBytes, planes, filename, "void VoxelMatrix<T>::load(const string&)");
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

template <class T> template <class U> VoxelMatrix<U> VoxelMatrix<T>::toType() const {
  VoxelMatrix<U> result(_size1, _size2, _size3);
  result.setVoxelCalibration(_calibration);
  for (int k = 0; k < _size3; ++k) {
    const T* source = _slices[k].data();
    U* target = result[k].data();
    const long long n = _slices[k].numElements();
    for (long long e = 0; e < n; ++e) target[e] = static_cast<U>(source[e]);
  }
  return result;
}

template class VoxelMatrix<char>;
template class VoxelMatrix<unsigned char>;
template class VoxelMatrix<short>;
template class VoxelMatrix<unsigned short>;
template class VoxelMatrix<int>;
template class VoxelMatrix<unsigned int>;
template class VoxelMatrix<float>;
template class VoxelMatrix<double>;
template class VoxelMatrix<long double>;

#define OSTREL_VOXEL_MATRIX_CONVERSION(From, To)                                                             \
  template VoxelMatrix<To> VoxelMatrix<From>::toType<To>() const;
#define OSTREL_VOXEL_MATRIX_CONVERSIONS_FROM(From)                                                           \
  OSTREL_VOXEL_MATRIX_CONVERSION(From, unsigned char)                                                        \
  OSTREL_VOXEL_MATRIX_CONVERSION(From, int)                                                                  \
  OSTREL_VOXEL_MATRIX_CONVERSION(From, float)                                                                \
  OSTREL_VOXEL_MATRIX_CONVERSION(From, double)                                                               \
  OSTREL_VOXEL_MATRIX_CONVERSION(From, long double)
OSTREL_VOXEL_MATRIX_CONVERSIONS_FROM(unsigned char)
OSTREL_VOXEL_MATRIX_CONVERSIONS_FROM(int)
OSTREL_VOXEL_MATRIX_CONVERSIONS_FROM(float)
OSTREL_VOXEL_MATRIX_CONVERSIONS_FROM(double)
OSTREL_VOXEL_MATRIX_CONVERSIONS_FROM(long double)

#pragma once

#include "foundation/Vector.h"
#include "imaging/PixelMatrix.h"
#include "imaging/VoxelCalibration.h"

#include <iosfwd>
#include <string>
#include <vector>

// A 3D image: size3 slices of size1 rows by size2 columns, with a physical voxel size. Voxel
// (i, j, k) is row i, column j of slice k. Read from and written to ".vm" files (layout 1 with
// calibration, or the older layout 0 without), read from TIFF stacks and written as TIFF stacks.
// Instantiated for char, unsigned char, short, unsigned short, int, unsigned int, float, double,
// long double. Indices are not checked.
template <class T> class VoxelMatrix {
public:
  // === Construction
  VoxelMatrix() = default;
  VoxelMatrix(int size1, int size2, int size3);
  explicit VoxelMatrix(const std::string& filename); // load(filename)
  VoxelMatrix(const VoxelMatrix& other) = default;
  VoxelMatrix& operator=(const VoxelMatrix& other) = default;
  VoxelMatrix(VoxelMatrix&& other) noexcept = default;
  VoxelMatrix& operator=(VoxelMatrix&& other) noexcept = default;
  void swap(VoxelMatrix& other) noexcept;

  // === Sizes
  // Recreates every slice (values not set) unless the three sizes are unchanged.
  void setSize(int size1, int size2, int size3);
  void setSize(const Vector<int>& size);
  int getSize1() const { return _size1; }
  int getSize2() const { return _size2; }
  int getSize3() const { return _size3; }
  unsigned int getSize(int d) const; // d = 1, 2 or 3, else ValueError
  Vector<int> getSize() const;       // (size1, size2, size3)
  long long numElements() const { return static_cast<long long>(_size1) * _size2 * _size3; }
  bool sameSizeAs(const VoxelMatrix& other) const;
  bool contains(int i, int j, int k) const;
  bool contains(const Vector<int>& position) const;

  // === Calibration
  const VoxelCalibration& getVoxelCalibration() const { return _calibration; }
  void setVoxelCalibration(const VoxelCalibration& calibration) { _calibration = calibration; }

  // === Voxels
  PixelMatrix<T>& operator[](int k) { return _slices[k]; }
  const PixelMatrix<T>& operator[](int k) const { return _slices[k]; }
  T& operator()(int i, int j, int k) { return _slices[k](i, j); }
  const T& operator()(int i, int j, int k) const { return _slices[k](i, j); }
  T& operator()(const Vector<int>& position) { return (*this)(position[0], position[1], position[2]); }
  const T& operator()(const Vector<int>& position) const {
    return (*this)(position[0], position[1], position[2]);
  }

  bool operator==(const VoxelMatrix& other) const; // sizes and every voxel
  bool operator!=(const VoxelMatrix& other) const { return !(*this == other); }

  // === Element-wise operations
  void setZeros() { fill(T(0)); }
  void setOnes() { fill(T(1)); }
  void fill(const T& value);
  void apply(T (*f)(T));
  void reverse(); // voxel order reversed: (i, j, k) exchanged with (size1-1-i, size2-1-j, size3-1-k)
  VoxelMatrix& operator+=(const VoxelMatrix& other); // same sizes, else SizeError
  VoxelMatrix& operator-=(const VoxelMatrix& other);
  VoxelMatrix& operator*=(const VoxelMatrix& other);
  VoxelMatrix& operator+=(const T& value);
  VoxelMatrix& operator-=(const T& value);
  VoxelMatrix& operator*=(const T& value);
  VoxelMatrix& operator/=(const T& value);

  // === Sub-volumes
  // Voxels i1..i2, j1..j2, k1..k2 inclusive (clipped to the matrix), same calibration.
  VoxelMatrix copy(int i1, int i2, int j1, int j2, int k1, int k2) const;
  // Writes other with its voxel (0, 0, 0) at (i, j, k); the parts falling outside are dropped.
  void paste(int i, int j, int k, const VoxelMatrix& other);
  Vector<T> cat() const; // all voxels, slice after slice, row after row

  // === Statistics (SizeError on a matrix without voxels)
  T min() const;
  T max() const;
  Vector<T> range() const; // (min, max)
  T sum() const;
  Vector<unsigned int> histogram(T min, T max, int bins) const;
  Vector<unsigned int> histogram(T min, T max, int bins, const VoxelMatrix& mask) const;

  void print(const std::string& title = "") const; // text dump to the standard output

  // === Files
  // Reads a ".vm" file of either layout, or a TIFF stack when the suffix is "tif" or "tiff" (any
  // case). Sizes the file cannot hold and type mismatches are refused before anything is allocated.
  void load(const std::string& filename);
  void load(std::istream& in, const std::string& filename = ""); // layout 1 after its three zero words
  // A ".vm" file of either layout from a stream that can seek (a file in memory); errors name filename.
  void loadVm(std::istream& in, const std::string& filename);
  // Only the calibration of a layout-1 file (after the type check); sizes and voxels untouched.
  void loadHeader(const std::string& filename);
  // Writes layout 1; ".vm" is appended when the suffix is not "vm". Refuses an existing file unless
  // overwrite is set.
  void save(const std::string& filename, bool overwrite = false) const;
  void saveUnderFormat0(const std::string& filename, bool overwrite = false) const;
  // One 8-bit page per slice with the ImageJ description, optionally LZW-compressed.
  void saveAsTiff(const std::string& filename, bool compress = false, bool overwrite = false) const;
  int dataTypeId() const; // type identifier of the ".vm" format
  // (size1, size2, size3) from the header of a ".vm" file of either layout, without the voxels.
  static Vector<int> fileSizes(const std::string& filename);

  // === Conversion
  template <class U> VoxelMatrix<U> toType() const;

private:
  void checkSameSize(const VoxelMatrix& other, const char* where) const;
  void checkNotEmpty(const char* where, const char* what) const;
  void readVoxels(std::istream& in);
  void writeVoxels(std::ofstream& out) const;
  void loadTiffStack(const std::string& filename);

  int _size1 = 0;
  int _size2 = 0;
  int _size3 = 0;
  std::vector<PixelMatrix<T>> _slices;
  VoxelCalibration _calibration;
};

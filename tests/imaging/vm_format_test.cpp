// The ".vm" voxel-matrix file: both layouts byte for byte, type identifiers, save rules, and
// refusal of hostile headers before anything is allocated.
#include "imaging/VoxelMatrix.h"

#include "foundation/Exception.h"
#include "tests/imaging/VoxelFixtures.h"
#include "tests/support/ExpectException.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>

namespace {

template <class Value> std::string bytesOf(Value value) {
  return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

std::string ints(std::initializer_list<std::int32_t> values) {
  std::string bytes;
  for (std::int32_t v : values) bytes += bytesOf(v);
  return bytes;
}

std::string layout1Header(int typeId, int s1, int s2, int s3, int scale, float a, float b, float c) {
  return ints({0, 0, 0, 1, typeId, s1, s2, s3, scale}) + bytesOf(a) + bytesOf(b) + bytesOf(c);
}

VoxelMatrix<float> sampleMatrix() {
  VoxelMatrix<float> matrix(2, 3, 2);
  for (int k = 0; k < 2; ++k)
    for (int i = 0; i < 2; ++i)
      for (int j = 0; j < 3; ++j) matrix(i, j, k) = static_cast<float>(100 * k + 10 * i + j) + 0.25f;
  matrix.setVoxelCalibration(voxelCalibration(0.5f, 0.25f, 2, -6));
  return matrix;
}

} // namespace

TEST(VmFormatWrite, SaveWritesLayoutOneByteForByte) {
  TemporaryDirectory directory;
  sampleMatrix().save(directory.file("m.vm"));
  std::string expected = layout1Header(5, 2, 3, 2, -6, 0.5f, 0.25f, 2);
  for (int k = 0; k < 2; ++k)
    for (int i = 0; i < 2; ++i)
      for (int j = 0; j < 3; ++j) expected += bytesOf(static_cast<float>(100 * k + 10 * i + j) + 0.25f);
  EXPECT_EQ(readFile(directory.file("m.vm")), expected);
}

TEST(VmFormatWrite, TypeIdentifiersOfTheNineElementTypes) {
  EXPECT_EQ(VoxelMatrix<int>().dataTypeId(), 2);
  EXPECT_EQ(VoxelMatrix<unsigned int>().dataTypeId(), 3);
  EXPECT_EQ(VoxelMatrix<float>().dataTypeId(), 5);
  EXPECT_EQ(VoxelMatrix<double>().dataTypeId(), 6);
  EXPECT_EQ(VoxelMatrix<long double>().dataTypeId(), 7);
  EXPECT_EQ(VoxelMatrix<char>().dataTypeId(), 0);
  EXPECT_EQ(VoxelMatrix<unsigned char>().dataTypeId(), 0);
  EXPECT_EQ(VoxelMatrix<short>().dataTypeId(), 0);
  EXPECT_EQ(VoxelMatrix<unsigned short>().dataTypeId(), 0);
}

TEST(VmFormatWrite, AppendsTheSuffixOnlyWhenMissing) {
  TemporaryDirectory directory;
  const VoxelMatrix<float> matrix(1, 1, 1);
  matrix.save(directory.file("plain"));
  EXPECT_FALSE(readFile(directory.file("plain.vm")).empty());
  matrix.save(directory.file("named.vm"));
  EXPECT_FALSE(readFile(directory.file("named.vm")).empty());
  EXPECT_TRUE(readFile(directory.file("named.vm.vm")).empty());
}

TEST(VmFormatWrite, RefusesToOverwriteUnlessAsked) {
  TemporaryDirectory directory;
  const std::string path = directory.file("kept.vm");
  writeFile(path, "old");
  const auto error = expectThrow<FileWriteError>([&] { sampleMatrix().save(path); });
  EXPECT_EQ(error.getWhere(), "void VoxelMatrix<T>::save(...) const");
  EXPECT_EQ(error.getWhat(), "File already exists");
  EXPECT_EQ(error.getFilename(), path);
  EXPECT_EQ(readFile(path), "old");
  sampleMatrix().save(path, true);
  EXPECT_EQ(readFile(path).size(), 48u + 12 * 4);
}

TEST(VmFormatWrite, AnUnwritablePlaceIsReported) {
  const auto error = expectThrow<FileWriteError>([] { sampleMatrix().save("/nonexistent-dir/m.vm", true); });
  EXPECT_EQ(error.getWhat(), "Cannot open file for writing");
}

TEST(VmFormatRead, SavedMatricesLoadBackWithTheirCalibration) {
  TemporaryDirectory directory;
  const VoxelMatrix<float> original = sampleMatrix();
  original.save(directory.file("m.vm"));
  const VoxelMatrix<float> loaded(directory.file("m.vm"));
  EXPECT_EQ(loaded, original);
  EXPECT_EQ(loaded.getVoxelCalibration().getLengthUnit().getScale(), -6);
  EXPECT_EQ(loaded.getVoxelCalibration().getVoxelSize(), original.getVoxelCalibration().getVoxelSize());
}

TEST(VmFormatRead, EveryElementTypeRoundTrips) {
  TemporaryDirectory directory;
  int files = 0;
  auto roundTrip = [&](auto sample) {
    using T = decltype(sample);
    VoxelMatrix<T> matrix(3, 2, 2);
    for (int k = 0; k < 2; ++k)
      for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 2; ++j) matrix(i, j, k) = static_cast<T>(i + 3 * j + 7 * k);
    const std::string path = directory.file("type" + std::to_string(files++));
    matrix.save(path);
    VoxelMatrix<T> loaded;
    loaded.load(path + ".vm");
    EXPECT_EQ(loaded, matrix) << "element size " << sizeof(T);
  };
  roundTrip(char());
  roundTrip(static_cast<unsigned char>(0));
  roundTrip(short());
  roundTrip(static_cast<unsigned short>(0));
  roundTrip(int());
  roundTrip(0u);
  roundTrip(0.0f);
  roundTrip(0.0);
  roundTrip(0.0L);
}

TEST(VmFormatRead, LayoutZeroLoadsWithTheCalibrationLeftAsItWas) {
  TemporaryDirectory directory;
  std::string bytes = ints({4, 5, 6});
  for (int n = 0; n < 4 * 5 * 6; ++n) bytes += bytesOf(static_cast<float>(n));
  writeFile(directory.file("old.vm"), bytes);
  const VoxelMatrix<float> matrix(directory.file("old.vm"));
  EXPECT_EQ(matrix.getSize1(), 4);
  EXPECT_EQ(matrix.getSize2(), 5);
  EXPECT_EQ(matrix.getSize3(), 6);
  EXPECT_EQ(matrix(0, 1, 0), 1);
  EXPECT_EQ(matrix(1, 0, 0), 5);
  EXPECT_EQ(matrix(0, 0, 1), 20);
  EXPECT_EQ(matrix.getVoxelCalibration().getLengthUnit().getScale(), 0);
  EXPECT_FLOAT_EQ(matrix.getVoxelCalibration().getVoxelDepth(), 1);
}

TEST(VmFormatRead, SaveUnderFormatZeroWritesSizesThenVoxels) {
  TemporaryDirectory directory;
  VoxelMatrix<int> matrix(1, 2, 1);
  matrix(0, 0, 0) = 7;
  matrix(0, 1, 0) = 9;
  matrix.saveUnderFormat0(directory.file("zero.vm"));
  EXPECT_EQ(readFile(directory.file("zero.vm")), ints({1, 2, 1, 7, 9}));
  EXPECT_EQ(VoxelMatrix<int>(directory.file("zero.vm")), matrix);
}

TEST(VmFormatRead, ATypeMismatchIsRefusedBeforeResizing) {
  TemporaryDirectory directory;
  std::string bytes = layout1Header(6, 1, 1, 1, 0, 1, 1, 1) + bytesOf(1.0);
  writeFile(directory.file("double.vm"), bytes);
  VoxelMatrix<float> matrix(2, 2, 2);
  const auto error = expectThrow<TypeError>([&] { matrix.load(directory.file("double.vm")); });
  EXPECT_EQ(error.getWhere(), "void VoxelMatrix<T>::load(ifstream&)");
  EXPECT_EQ(error.getWhat(), "Type mismatch between template instantiation and file contents");
  EXPECT_EQ(matrix.getSize1(), 2);
}

TEST(VmFormatRead, ShortAndUnsignedCharAcceptIdentifierZero) {
  TemporaryDirectory directory;
  writeFile(directory.file("s.vm"), layout1Header(0, 1, 1, 1, 0, 1, 1, 1) + std::string(2, '\1'));
  EXPECT_EQ(VoxelMatrix<short>(directory.file("s.vm"))(0, 0, 0), 257);
  EXPECT_EQ(VoxelMatrix<unsigned char>(directory.file("s.vm"))(0, 0, 0), 1);
}

TEST(VmFormatRead, TheConstructorAddsItselfToTheCallChain) {
  const auto error = expectThrow<FileReadError>([] { VoxelMatrix<float> matrix("/nonexistent/file.vm"); });
  EXPECT_EQ(error.getWhere(), "void VoxelMatrix<T>::load(const string&)");
  EXPECT_EQ(error.getWhat(), "Cannot open file for reading");
  EXPECT_EQ(error.getFilename(), "/nonexistent/file.vm");
  EXPECT_NE(error.callStack().find("[1] VoxelMatrix<T>::VoxelMatrix(const string&)"), std::string::npos);
}

TEST(VmFormatRead, LoadHeaderSetsOnlyTheCalibration) {
  TemporaryDirectory directory;
  sampleMatrix().save(directory.file("m.vm"));
  VoxelMatrix<float> matrix(1, 1, 1);
  matrix(0, 0, 0) = 42;
  matrix.loadHeader(directory.file("m.vm"));
  EXPECT_EQ(matrix.getSize1(), 1);
  EXPECT_EQ(matrix(0, 0, 0), 42);
  EXPECT_FLOAT_EQ(matrix.getVoxelCalibration().getVoxelHeight(), 0.5f);
  EXPECT_EQ(matrix.getVoxelCalibration().getLengthUnit().getScale(), -6);
  EXPECT_THROW(VoxelMatrix<double>().loadHeader(directory.file("m.vm")), TypeError);
  const auto error = expectThrow<FileReadError>([] { VoxelMatrix<float>().loadHeader("/nonexistent.vm"); });
  EXPECT_EQ(error.getWhere(), "void VoxelMatrix<T>::loadHeader(const string&)");
}

TEST(VmFormatRead, FileSizesReadsEitherLayout) {
  TemporaryDirectory directory;
  sampleMatrix().save(directory.file("one.vm"));
  VoxelMatrix<float>(3, 1, 2).saveUnderFormat0(directory.file("zero.vm"));
  const Vector<int> one = VoxelMatrix<float>::fileSizes(directory.file("one.vm"));
  const Vector<int> zero = VoxelMatrix<float>::fileSizes(directory.file("zero.vm"));
  EXPECT_EQ(one[0], 2);
  EXPECT_EQ(one[2], 2);
  EXPECT_EQ(zero[0], 3);
  EXPECT_EQ(zero[2], 2);
}

// === Hostile headers

TEST(VmFormatHostile, NegativeSizesAreRefused) {
  TemporaryDirectory directory;
  writeFile(directory.file("neg1.vm"), layout1Header(5, -1, 2, 2, 0, 1, 1, 1) + std::string(64, '\0'));
  writeFile(directory.file("neg0.vm"), ints({2, -3, 2}) + std::string(64, '\0'));
  VoxelMatrix<float> matrix;
  EXPECT_THROW(matrix.load(directory.file("neg1.vm")), FileFormatError);
  EXPECT_THROW(matrix.load(directory.file("neg0.vm")), FileFormatError);
  EXPECT_EQ(matrix.getSize(), VoxelMatrix<float>().getSize());
}

TEST(VmFormatHostile, SizesWhoseProductOverflowsAreRefused) {
  TemporaryDirectory directory;
  writeFile(directory.file("overflow.vm"), layout1Header(5, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0, 1, 1, 1));
  writeFile(directory.file("wrap.vm"), ints({65536, 65536, 1}) + std::string(16, '\0')); // 2^32 voxels
  const auto error = expectThrow<FileFormatError>([&] { VoxelMatrix<float>(directory.file("overflow.vm")); });
  EXPECT_EQ(error.getFilename(), directory.file("overflow.vm"));
  EXPECT_THROW(VoxelMatrix<unsigned char>(directory.file("wrap.vm")), FileFormatError);
}

TEST(VmFormatHostile, SizesLargerThanTheFileAreRefused) {
  TemporaryDirectory directory;
  writeFile(directory.file("short.vm"), layout1Header(5, 10, 10, 10, 0, 1, 1, 1) + std::string(3999, '\0'));
  EXPECT_THROW(VoxelMatrix<float>(directory.file("short.vm")), FileFormatError);
  writeFile(directory.file("exact.vm"), layout1Header(5, 10, 10, 10, 0, 1, 1, 1) + std::string(4000, '\0'));
  EXPECT_EQ(VoxelMatrix<float>(directory.file("exact.vm")).getSize3(), 10);
}

TEST(VmFormatHostile, TruncatedHeadersAreRefused) {
  TemporaryDirectory directory;
  writeFile(directory.file("tiny.vm"), "abc");
  writeFile(directory.file("zeros.vm"), ints({0, 0, 0, 1, 5}));
  writeFile(directory.file("empty.vm"), "");
  EXPECT_THROW(VoxelMatrix<float>(directory.file("tiny.vm")), FileFormatError);
  EXPECT_THROW(VoxelMatrix<float>(directory.file("zeros.vm")), FileFormatError);
  EXPECT_THROW(VoxelMatrix<float>(directory.file("empty.vm")), FileFormatError);
  EXPECT_THROW(VoxelMatrix<float>::fileSizes(directory.file("zeros.vm")), FileFormatError);
}

TEST(VmFormatHostile, LoadHeaderRefusesTruncatedHeadersAndKeepsTheCalibration) {
  TemporaryDirectory directory;
  writeFile(directory.file("tiny.vm"), "abc");
  writeFile(directory.file("zeros.vm"), ints({0, 0, 0, 1, 5, 1, 1}));
  VoxelMatrix<float> matrix = sampleMatrix();
  const auto error = expectThrow<FileFormatError>([&] { matrix.loadHeader(directory.file("zeros.vm")); });
  EXPECT_EQ(error.getWhere(), "void VoxelMatrix<T>::loadHeader(const string&)");
  EXPECT_EQ(error.getFilename(), directory.file("zeros.vm"));
  EXPECT_THROW(matrix.loadHeader(directory.file("tiny.vm")), FileFormatError);
  EXPECT_EQ(matrix.getVoxelCalibration().getLengthUnit().getScale(), -6);
  EXPECT_FLOAT_EQ(matrix.getVoxelCalibration().getVoxelDepth(), 2.0f);
  // A small layout-0 file is shorter than a layout-1 header and has no calibration to give.
  VoxelMatrix<unsigned char>(1, 1, 1).saveUnderFormat0(directory.file("small.vm"));
  VoxelMatrix<unsigned char> bytes;
  EXPECT_NO_THROW(bytes.loadHeader(directory.file("small.vm")));
  EXPECT_EQ(bytes.getVoxelCalibration().getLengthUnit().getScale(), 0);
}

TEST(VmFormatHostile, ZeroSizedMatricesLoadWithoutVoxels) {
  TemporaryDirectory directory;
  writeFile(directory.file("flat.vm"), layout1Header(5, 100000, 100000, 0, 0, 1, 1, 1));
  const VoxelMatrix<float> matrix(directory.file("flat.vm"));
  EXPECT_EQ(matrix.getSize3(), 0);
  EXPECT_EQ(matrix.numElements(), 0);
}

TEST(VmFormatHostile, AnAbsurdNumberOfEmptySlicesIsRefusedBeforeAllocating) {
  TemporaryDirectory directory;
  writeFile(directory.file("layout1.vm"), layout1Header(5, 0, 5, 0x7FFFFFFF, 0, 1, 1, 1));
  writeFile(directory.file("layout0.vm"), ints({7, 0, 0x7FFFFFFF}));
  VoxelMatrix<float> matrix(2, 2, 2);
  EXPECT_THROW(matrix.load(directory.file("layout1.vm")), FileFormatError);
  EXPECT_THROW(matrix.load(directory.file("layout0.vm")), FileFormatError);
  EXPECT_EQ(matrix.getSize3(), 2);
  writeFile(directory.file("few.vm"), layout1Header(5, 0, 3, 10, 0, 1, 1, 1));
  EXPECT_EQ(VoxelMatrix<float>(directory.file("few.vm")).getSize3(), 10);
}

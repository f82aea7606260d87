// Voxel-matrix file input and output, reslicing and TIFF-stack loading at the sizes the viewer
// meets: a 256^3 float volume (64 MiB), a 200-page 512 x 512 8-bit stack and a 1000-page 256 x 256
// 8-bit stack (long stacks must load in time linear in their page count).
#include "imaging/Image.h"
#include "imaging/ImageReader.h"
#include "imaging/ImageSourceTiffStackPlane.h"
#include "imaging/VoxelMatrix.h"
#include "imaging/VoxelMatrixReslicer.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// A scratch folder removed at exit.
const fs::path& scratch() {
  static const fs::path directory = [] {
    fs::path path = fs::temp_directory_path() / ("ostrel-bench-" + std::to_string(::getpid()));
    fs::create_directories(path);
    std::atexit(
        [] { fs::remove_all(fs::temp_directory_path() / ("ostrel-bench-" + std::to_string(::getpid()))); });
    return path;
  }();
  return directory;
}

template <class T> VoxelMatrix<T> filledMatrix(int s1, int s2, int s3) {
  VoxelMatrix<T> matrix(s1, s2, s3);
  for (int k = 0; k < s3; ++k)
    for (int i = 0; i < s1; ++i)
      for (int j = 0; j < s2; ++j) matrix(i, j, k) = static_cast<T>((i + 3 * j + 7 * k) % 256);
  return matrix;
}

const VoxelMatrix<float>& cube() {
  static const VoxelMatrix<float> matrix = filledMatrix<float>(256, 256, 256);
  return matrix;
}

const std::string& cubeFile() {
  static const std::string path = [] {
    const std::string name = (scratch() / "cube.vm").string();
    cube().save(name, true);
    return name;
  }();
  return path;
}

// A stack of s3 pages of s1 x s2 8-bit pixels, written uncompressed into the scratch folder.
std::string writeStack(const std::string& name, int s1, int s2, int s3) {
  const std::string path = (scratch() / name).string();
  filledMatrix<unsigned char>(s1, s2, s3).saveAsTiff(path, false, true);
  return path;
}

const std::string& stackFile() {
  static const std::string path = writeStack("stack.tif", 512, 512, 200);
  return path;
}

const std::string& longStackFile() {
  static const std::string path = writeStack("long-stack.tif", 256, 256, 1000);
  return path;
}

// Loads the whole stack again and again; reading its last voxel keeps the load from being dropped.
void loadStack(benchmark::State& state, const std::string& path) {
  for (auto _ : state) {
    VoxelMatrix<float> matrix(path);
    benchmark::DoNotOptimize(matrix(matrix.getSize1() - 1, matrix.getSize2() - 1, matrix.getSize3() - 1));
  }
}

void loadVm256Float(benchmark::State& state) {
  const std::string& path = cubeFile();
  for (auto _ : state) {
    VoxelMatrix<float> matrix(path);
    benchmark::DoNotOptimize(matrix(255, 255, 255));
  }
}

void saveVm256Float(benchmark::State& state) {
  const std::string path = (scratch() / "saved.vm").string();
  cube();
  for (auto _ : state) cube().save(path, true);
}

void reslice256Float(benchmark::State& state) {
  const VoxelMatrixReslicer<float> reslicer;
  cube();
  for (auto _ : state) {
    VoxelMatrix<float> resliced = reslicer.resliceAlongDimension1(cube());
    benchmark::DoNotOptimize(resliced(255, 255, 255));
  }
}

void loadTiffStack200x512x512(benchmark::State& state) {
  loadStack(state, stackFile());
}

void loadTiffStack1000x256x256(benchmark::State& state) {
  loadStack(state, longStackFile());
}

// Planes deep in a long stack, one at a time with a fresh reader, as a viewer showing one slice at
// a time may read them: each read jumps between planes 500 and 999.
void readDeepPlanesOf1000(benchmark::State& state) {
  ImageSourceTiffStackPlane source;
  source.setTiffStackFilename(longStackFile());
  Image image;
  int plane = 500;
  for (auto _ : state) {
    plane = plane == 500 ? 999 : 500;
    source.setPlane(plane);
    ImageReader().read(image, source);
    benchmark::DoNotOptimize(image.row(255)[255]);
  }
}

} // namespace

BENCHMARK(loadVm256Float)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(saveVm256Float)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(reslice256Float)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(loadTiffStack200x512x512)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(loadTiffStack1000x256x256)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(readDeepPlanesOf1000)->Unit(benchmark::kMillisecond)->MinTime(1);

BENCHMARK_MAIN();

// Mesh files of other programs: the first byte picks the suffix of the file's name (".ply", ".obj",
// ".stl", ".off", ".gltf", ".glb"), the rest is the file, loaded as the main window loads it. The
// files of earlier inputs are removed first: an OBJ file names its material library and a glTF file its
// buffers, and an input that read a stale file of another input could not be replayed alone.
#include "fuzz/FuzzWorkspace.h"
#include "fuzz/ReaderExercises.h"

#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  FuzzWorkspace::silenceStandardOutput();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static const char* const suffixes[] = {"ply", "obj", "stl", "off", "gltf", "glb"};
  for (const char* suffix : suffixes) FuzzWorkspace::remove(std::string("input.") + suffix);
  const std::string name = std::string("input.") + suffixes[data[0] % 6];
  ReaderExercises::shapeFile(FuzzWorkspace::write(name, data + 1, size - 1));
  return 0;
}

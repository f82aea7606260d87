// Shape files with their colour companions: the first byte picks the suffix of the file's name
// (".vx", ".cv", ".vs", ".cs", ".qm", ".tm"); the rest up to the first zero byte is the shape file,
// what follows that byte, if any, its ".vcolors" companion.
#include "fuzz/FuzzWorkspace.h"
#include "fuzz/ReaderExercises.h"

#include <algorithm>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  FuzzWorkspace::silenceStandardOutput();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static const char* const suffixes[] = {"vx", "cv", "vs", "cs", "qm", "tm"};
  const std::string suffix = suffixes[data[0] % 6];
  const std::uint8_t* end = data + size;
  const std::uint8_t* separator = std::find(data + 1, end, 0);
  const std::string shape = FuzzWorkspace::write("input." + suffix, data + 1, separator - (data + 1));
  if (separator != end)
    FuzzWorkspace::write("input.vcolors." + suffix, separator + 1, end - (separator + 1));
  else
    FuzzWorkspace::remove("input.vcolors." + suffix);
  ReaderExercises::shapeFile(shape);
  return 0;
}

// Image files: the first byte picks the name the file gets (".tif", ".lsm" or ".img", which decides
// how "img" files and stacks are recognised), the rest is the file.
#include "fuzz/FuzzWorkspace.h"
#include "fuzz/ReaderExercises.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  FuzzWorkspace::silenceStandardOutput();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static const char* const names[] = {"input.tif", "input.lsm", "input.img"};
  ReaderExercises::imageFile(FuzzWorkspace::write(names[data[0] % 3], data + 1, size - 1));
  return 0;
}

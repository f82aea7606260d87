// Data-set files: the first byte picks the field separator, the rest is the file.
#include "fuzz/FuzzWorkspace.h"
#include "fuzz/ReaderExercises.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  FuzzWorkspace::silenceStandardOutput();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static const char separators[] = {'\t', ',', ';', ' '};
  ReaderExercises::dataSetFile(FuzzWorkspace::write("input.df", data + 1, size - 1), separators[data[0] % 4]);
  return 0;
}

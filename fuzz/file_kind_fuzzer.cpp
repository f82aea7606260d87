// The recogniser of file kinds, which takes the bytes of any file a user drops or names: the first
// byte picks the suffix of the file's name (none, or one of the registry's), the rest is the file.
#include "foundation/FileBytes.h"
#include "fuzz/FuzzWorkspace.h"
#include "rendering/FileKinds.h"

#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  FuzzWorkspace::silenceStandardOutput();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static const std::vector<std::string> names = [] {
    std::vector<std::string> list = {"input"};
    for (const FileKind& kind : FileKinds::all())
      for (const std::string& suffix : kind.suffixes) list.push_back("input." + suffix);
    return list;
  }();
  const FileBytes file(names[data[0] % names.size()],
                       std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  for (const FileKind& kind : FileKinds::all()) FileKinds::score(kind, file);
  FileKinds::recognise(file);
  return 0;
}

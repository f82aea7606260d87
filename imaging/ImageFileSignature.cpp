#include "imaging/ImageFileSignature.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr unsigned lsmInformationTag = 34412;

} // namespace

unsigned ImageFileSignature::word16(std::size_t at) const {
  if (at + 2 > _bytes.size()) return 0;
  const auto* b = reinterpret_cast<const unsigned char*>(_bytes.data() + at);
  return _bytes[0] == 'I' ? b[0] | b[1] << 8 : b[0] << 8 | b[1];
}

unsigned long ImageFileSignature::word32(std::size_t at) const {
  if (at + 4 > _bytes.size()) return 0;
  return _bytes[0] == 'I' ? word16(at) | static_cast<unsigned long>(word16(at + 2)) << 16
                          : static_cast<unsigned long>(word16(at)) << 16 | word16(at + 2);
}

bool ImageFileSignature::isTiff() const {
  return _bytes.substr(0, 4) == std::string_view("II*\0", 4) ||
         _bytes.substr(0, 4) == std::string_view("MM\0*", 4);
}

int ImageFileSignature::tiffPages(int enough) const {
  if (!isTiff()) return 0;
  int pages = 0;
  unsigned long directory = word32(4), last = 0;
  while (pages < enough && directory > last && directory + 2 <= _bytes.size()) {
    ++pages;
    last = directory;
    directory = word32(directory + 2 + 12 * std::size_t(word16(directory)));
  }
  return pages;
}

bool ImageFileSignature::isLsm() const {
  if (!isTiff()) return false;
  const unsigned long directory = word32(4);
  const unsigned entries = word16(directory);
  for (unsigned e = 0; e < entries; ++e)
    if (word16(directory + 2 + 12 * std::size_t(e)) == lsmInformationTag) return true;
  return false;
}

bool ImageFileSignature::isVoxelMatrix() const {
  if (_bytes.size() < 12) return false;
  std::int32_t words[8] = {};
  std::memcpy(words, _bytes.data(), std::min<std::size_t>(_bytes.size(), sizeof words));
  if (words[0] == 0 && words[1] == 0 && words[2] == 0) {
    const std::int32_t type = words[4];
    const bool knownType = type == 0 || type == 2 || type == 3 || (type >= 5 && type <= 7);
    return _bytes.size() >= 48 && words[3] == 1 && knownType && words[5] >= 0 && words[6] >= 0 &&
           words[7] >= 0;
  }
  if (words[0] <= 0 || words[1] <= 0 || words[2] <= 0) return false;
  const double voxelBytes = 4.0 * words[0] * static_cast<double>(words[1]) * words[2];
  return 12.0 + voxelBytes == static_cast<double>(_bytes.size());
}

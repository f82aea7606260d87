#include "imaging/TiffFile.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace {

// Upper bound for one allocation made by libtiff itself (strip buffers, tag arrays), so that a
// hostile header cannot make it reserve gigabytes.
constexpr tmsize_t maxLibraryAllocation = 512 * 1024 * 1024;

// The largest factor by which a scheme can expand its stored bytes. Uncompressed data decodes to
// itself; a PackBits run turns 2 bytes into 128; one Deflate length code of 2 bits can stand for
// 258 bytes; a 12-bit LZW code stands for at most one 4096-byte string (the table size). Other
// schemes (JPEG, ZSTD, LZMA, ...) have no small bound: they get the general one.
long long maxExpansion(std::uint16_t compression) {
  switch (compression) {
  case COMPRESSION_NONE:
    return 1;
  case COMPRESSION_PACKBITS:
    return 64;
  case COMPRESSION_ADOBE_DEFLATE:
  case COMPRESSION_DEFLATE:
    return 1032;
  case COMPRESSION_LZW:
    return 4096 * 8 / 12 + 1;
  default:
    return 4096;
  }
}

} // namespace

void TiffFile::silenceLibraryHandlers() {
  TIFFSetErrorHandler(nullptr);
  TIFFSetWarningHandler(nullptr);
}

TiffFile::TiffFile(const std::string& filename, const char* mode) : _filename(filename) {
  silenceLibraryHandlers();
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  TIFFOpenOptionsSetErrorHandlerExtR(options, &TiffFile::collectError, this);
  TIFFOpenOptionsSetWarningHandlerExtR(options, &TiffFile::ignoreWarning, this);
  TIFFOpenOptionsSetMaxSingleMemAlloc(options, maxLibraryAllocation);
  _tiff = TIFFOpenExt(filename.c_str(), mode, options);
  TIFFOpenOptionsFree(options);
  if (_tiff && std::strchr(mode, 'r')) {
    std::ifstream in(filename, std::ios::binary | std::ios::ate);
    _fileLength = in ? static_cast<long long>(in.tellg()) : 0;
  }
}

TiffFile::~TiffFile() {
  if (_tiff) TIFFClose(_tiff);
}

std::string TiffFile::describe(const std::string& what) const {
  return _errors.empty() ? what : what + ": " + _errors;
}

long long TiffFile::storedBytes() const {
  if (!_tiff || _fileLength <= 0) return 0;
  // Offset and count arrays longer than the file cannot be stored in it: libtiff answers 0 past
  // their end, so the walk stops there instead of looping over billions of announced strips.
  const std::uint64_t strips =
      std::min<std::uint64_t>(TIFFNumberOfStrips(_tiff), static_cast<std::uint64_t>(_fileLength / 4 + 2));
  const auto length = static_cast<std::uint64_t>(_fileLength);
  std::uint64_t total = 0;
  for (std::uint64_t strip = 0; strip < strips && total < length; ++strip) {
    int failed = 0;
    const std::uint64_t offset =
        TIFFGetStrileOffsetWithErr(_tiff, static_cast<std::uint32_t>(strip), &failed);
    const std::uint64_t count =
        TIFFGetStrileByteCountWithErr(_tiff, static_cast<std::uint32_t>(strip), &failed);
    if (failed || offset >= length) continue;
    total += std::min(count, length - offset);
  }
  return static_cast<long long>(std::min(total, length)); // overlapping strips hold no more than the file
}

long long TiffFile::maxDecodedBytes() const {
  if (!_tiff) return 0;
  std::uint16_t compression = COMPRESSION_NONE;
  TIFFGetFieldDefaulted(_tiff, TIFFTAG_COMPRESSION, &compression);
  return storedBytes() * maxExpansion(compression);
}

int TiffFile::collectError(TIFF*, void* self, const char* module, const char* format, va_list arguments) {
  char message[512];
  std::vsnprintf(message, sizeof message, format, arguments);
  std::string& errors = static_cast<TiffFile*>(self)->_errors;
  if (errors.size() > 4096) return 1; // a corrupt file can repeat the same complaint endlessly
  if (!errors.empty()) errors += "; ";
  if (module && *module) errors += std::string(module) + ": ";
  errors += message;
  return 1;
}

int TiffFile::ignoreWarning(TIFF*, void*, const char*, const char*, va_list) {
  return 1;
}

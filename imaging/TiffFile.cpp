#include "imaging/TiffFile.h"

#include <cstdarg>
#include <cstdio>

namespace {

// Upper bound for one allocation made by libtiff itself (strip buffers, tag arrays), so that a
// hostile header cannot make it reserve gigabytes.
constexpr tmsize_t maxLibraryAllocation = 512 * 1024 * 1024;

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
}

TiffFile::~TiffFile() {
  if (_tiff) TIFFClose(_tiff);
}

std::string TiffFile::describe(const std::string& what) const {
  return _errors.empty() ? what : what + ": " + _errors;
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

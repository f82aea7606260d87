#pragma once

#include <string>

#include <tiffio.h>

// An open libtiff handle that closes itself. libtiff's errors and warnings for this handle are
// collected here instead of being printed, so that the callers can put them into exceptions with
// the file's name. Neither copied nor moved: libtiff keeps a pointer to it.
class TiffFile {
public:
  // mode as for TIFFOpen ("r", "w"); check isOpen() afterwards.
  TiffFile(const std::string& filename, const char* mode);
  ~TiffFile();
  TiffFile(const TiffFile&) = delete;
  TiffFile& operator=(const TiffFile&) = delete;

  bool isOpen() const { return _tiff != nullptr; }
  TIFF* get() const { return _tiff; }
  const std::string& filename() const { return _filename; }

  // The libtiff error messages since the file was opened, joined by "; " (empty when none).
  const std::string& errors() const { return _errors; }
  // "what: errors" when libtiff said something, else "what".
  std::string describe(const std::string& what) const;

  // Turns off libtiff's own printing of errors and warnings for handles not opened through here.
  static void silenceLibraryHandlers();

private:
  static int collectError(TIFF*, void* self, const char* module, const char* format, va_list arguments);
  static int ignoreWarning(TIFF*, void*, const char*, const char*, va_list);

  std::string _filename;
  std::string _errors;
  TIFF* _tiff = nullptr;
};

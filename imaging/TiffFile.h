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
  long long fileLength() const { return _fileLength; } // bytes, when opened for reading

  // === Budget of the current directory (guards against headers that promise more than the file holds)
  // Bytes of the strips or tiles that lie inside the file: each byte count clipped to the file's end.
  long long storedBytes() const;
  // The most bytes these strips or tiles can decode to: storedBytes() times the largest expansion
  // the directory's compression scheme allows.
  long long maxDecodedBytes() const;

  // The libtiff error messages since the file was opened, joined by "; " (empty when none).
  const std::string& errors() const { return _errors; }
  // "what: errors" when libtiff said something, else "what".
  std::string describe(const std::string& what) const;
  void clearErrors() { _errors.clear(); } // before another step on a handle kept open

  // Turns off libtiff's own printing of errors and warnings for handles not opened through here.
  static void silenceLibraryHandlers();

private:
  static int collectError(TIFF*, void* self, const char* module, const char* format, va_list arguments);
  static int ignoreWarning(TIFF*, void*, const char*, const char*, va_list);

  std::string _filename;
  std::string _errors;
  long long _fileLength = 0;
  TIFF* _tiff = nullptr;
};

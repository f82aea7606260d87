#include "imaging/TiffStackCursor.h"

#include "foundation/ErrorThrowing.h"
#include "foundation/Exception.h"
#include "imaging/TiffFile.h"

namespace {} // namespace

TiffStackCursor::TiffStackCursor() = default;
TiffStackCursor::~TiffStackCursor() = default;

void TiffStackCursor::close() {
  _file.reset();
  _plane = -1;
  _offsets.clear();
  _planesCounted = 0;
  _storedBytes = 0;
}

bool TiffStackCursor::move(int plane) {
  TIFF* tiff = _file->get();
  if (plane == _plane + 1) return TIFFReadDirectory(tiff) == 1;
  // libtiff walks the chain from the first directory to find one by number (unmapped, that is a
  // read per directory passed); an offset it has met on this handle is a direct jump.
  if (plane >= 0 && static_cast<std::size_t>(plane) < _offsets.size() && _offsets[plane] != 0)
    return TIFFSetSubDirectory(tiff, _offsets[plane]) == 1;
  return TIFFSetDirectory(tiff, static_cast<tdir_t>(plane)) == 1;
}

TiffFile& TiffStackCursor::select(const std::string& filename, int plane) {
  if (!_file || _file->filename() != filename) {
    close();
    // Not memory-mapped: the file stays open for long, and a mapping of a file that someone
    // truncates meanwhile faults on access, where reads just come up short.
    auto file = std::make_unique<TiffFile>(filename, "rm");
    if (!file->isOpen())
      throwFileError<FileReadError>(OSTREL_HERE, file->describe("Cannot read TIFF file"), filename);
    _file = std::move(file);
    _plane = 0; // opening reads the first directory
    _offsets.assign(1, TIFFCurrentDirOffset(_file->get()));
  }
  TiffFile& file = *_file;
  file.clearErrors();
  if (plane != _plane) {
    if (!move(plane)) {
      const std::string what = file.describe("Cannot select TIFF directory");
      close(); // libtiff's position is unknown now
      throwFileError<FileReadError>(OSTREL_HERE, what, filename);
    }
    _plane = plane;
    if (_offsets.size() <= static_cast<std::size_t>(plane))
      _offsets.resize(static_cast<std::size_t>(plane) + 1, 0);
    _offsets[plane] = TIFFCurrentDirOffset(file.get());
  }
  if (plane == _planesCounted) {
    _storedBytes += file.storedBytes();
    ++_planesCounted;
    if (_storedBytes > file.fileLength())
      throwFileError<FileFormatError>(OSTREL_HERE, "Strip byte counts exceed the file length", filename);
  }
  return file;
}

#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TiffFile;

// A TIFF or LSM stack kept open at one of its directories. The next directory is one step away and
// a directory reached before is one jump away (its offset is remembered), so reading the planes of
// a stack through one cursor opens the file once and walks its directory chain about once.
class TiffStackCursor {
public:
  TiffStackCursor();
  ~TiffStackCursor();
  TiffStackCursor(const TiffStackCursor&) = delete;
  TiffStackCursor& operator=(const TiffStackCursor&) = delete;

  // The stack with directory plane current, opening filename when another file (or none) is open.
  // FileReadError when the file cannot be opened or has no such directory (the cursor then closes);
  // FileFormatError when the strips of the planes read so far from the first on add up to more
  // than the file (pages sharing strips would decode the same bytes again and again).
  TiffFile& select(const std::string& filename, int plane);
  void close();
  bool isOpen() const { return _file != nullptr; }

private:
  bool move(int plane);

  std::unique_ptr<TiffFile> _file;
  int _plane = -1;
  std::vector<std::uint64_t> _offsets; // of directory k at k, 0 while not reached
  int _planesCounted = 0;              // planes 0 .. this - 1 have their strips in the sum below
  long long _storedBytes = 0;          // bytes of those strips inside the file
};

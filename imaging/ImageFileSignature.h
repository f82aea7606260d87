#pragma once

#include <string_view>

// What the first bytes of a file say of the images it may hold, read without any library: the
// recognisers of file kinds ask these before a reader opens anything.
class ImageFileSignature {
public:
  explicit ImageFileSignature(std::string_view bytes) : _bytes(bytes) {}

  // A classic TIFF header, either byte order ("II*\0", "MM\0*"); LSM files are TIFF files too.
  bool isTiff() const;
  // The pages of a TIFF file, counted along its directory chain up to `enough` (a chain that leaves
  // the file or loops ends the count).
  int tiffPages(int enough) const;
  // A TIFF file whose first directory has the LSM information tag (a Zeiss LSM stack).
  bool isLsm() const;
  // A ".vm" header: three zero words, then layout 1 with a known type and sizes that are not
  // negative; or layout 0, three positive sizes of float voxels that fill the rest exactly.
  bool isVoxelMatrix() const;

private:
  unsigned word16(std::size_t at) const;
  unsigned long word32(std::size_t at) const;

  std::string_view _bytes;
};

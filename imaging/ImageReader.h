#pragma once

#include "foundation/ProgressSubject.h"
#include "imaging/Image.h"
#include "imaging/ImageHeader.h"

#include <cstddef>
#include <string>
#include <vector>

class ImageSource;
class ImageSourceFileMosaic;
class ImageSourceHeader;
class ImageSourceLSMStackPlane;
class ImageSourceTiffStackPlane;
class ImageSourceVoxelMatrixFilePlane;
class ImageSourceVoxelMatrixPlane;
class TiffFile;

// Recognises and reads image files: TIFF (with the ImageJ calibration of its description), Zeiss
// LSM (TIFF with an LSM information block) and the raw 512 x 512 "img" format. Monitors hear when
// reading starts and ends and after every row; cancelling stops the row loop.
//
// TIFF pixels are decoded before the image is allocated, into a buffer that grows with the rows
// libtiff delivers: a header promising more than its strips hold fails before memory is committed
// for it. Planes of TIFF and LSM stacks are read through the source's stack cursor, which keeps
// the file open, so reading all planes of a stack opens it once and walks its directories once.
class ImageReader : public ProgressSubject {
public:
  // Recognises the format from the file's first bytes and fills the header.
  void read(ImageHeader& header, const std::string& filename);
  // Header, then pixels (an LSM file gets its header and allocated pixels but no pixel data).
  void read(Image& image, const std::string& filename);
  // Pixels of the image the source names.
  void read(Image& image, const ImageSource& source);

  // Refuses (FileFormatError) images whose pixels, at planeBytes per plane, could not come out of a
  // file of this length at any compression ratio TIFF offers: protects against headers that ask for
  // gigabytes.
  static void checkDecodedSize(long long planeBytes, long long planes, const std::string& filename,
                               const std::string& where);

private:
  void readTiffHeader(ImageHeader& header, TiffFile& file);
  void readTiffCalibration(ImageHeader& header, TiffFile& file);
  void readTiffColormap(ImageHeader& header, TiffFile& file);
  // block: the LSM information block of the directory, at least as long as the fields read from it.
  void readLSMHeader(ImageHeader& header, TiffFile& file, const std::vector<unsigned char>& block);
  // Decodes the current directory's rows that fit the image the header describes (refusing
  // directories that cannot decode to that image), then gives image that size and those rows.
  void readTiffPixels(Image& image, const ImageHeader& header, TiffFile& file, int sample);
  // Rows into target's rows, or appended to _decoded when target is null; returns the rows read.
  int decodeTiffRows(const ImageHeader& header, TiffFile& file, int sample, std::size_t rowBytes,
                     Image* target);
  static void checkPlaneFits(const ImageHeader& header, const TiffFile& file);
  void readImgPixels(Image& image, const std::string& filename);

  void readFileMosaic(Image& image, const ImageSourceFileMosaic& source);
  void readVoxelMatrixPlane(Image& image, const ImageSourceVoxelMatrixPlane& source);
  void readVoxelMatrixFilePlane(Image& image, const ImageSourceVoxelMatrixFilePlane& source);
  void readStackPlane(Image& image, const ImageSourceHeader& source, const std::string& filename, int plane,
                      int sample);

  std::vector<unsigned char> _decoded; // rows of the plane being read, as libtiff delivered them
  std::vector<unsigned char> _scanline;
};

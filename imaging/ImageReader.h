#pragma once

#include "foundation/ProgressSubject.h"
#include "imaging/Image.h"
#include "imaging/ImageHeader.h"

#include <string>

class ImageSource;
class ImageSourceFileMosaic;
class ImageSourceLSMStackPlane;
class ImageSourceTiffStackPlane;
class ImageSourceVoxelMatrixFilePlane;
class ImageSourceVoxelMatrixPlane;
class TiffFile;

// Recognises and reads image files: TIFF (with the ImageJ calibration of its description), Zeiss
// LSM (TIFF with an LSM information block) and the raw 512 x 512 "img" format. Monitors hear when
// reading starts and ends and after every row; cancelling stops the row loop.
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
  void readLSMHeader(ImageHeader& header, TiffFile& file);
  void readTiffPixels(Image& image, TiffFile& file, int sample);
  void readImgPixels(Image& image, const std::string& filename);

  void readFileMosaic(Image& image, const ImageSourceFileMosaic& source);
  void readVoxelMatrixPlane(Image& image, const ImageSourceVoxelMatrixPlane& source);
  void readVoxelMatrixFilePlane(Image& image, const ImageSourceVoxelMatrixFilePlane& source);
  void readStackPlane(Image& image, const std::string& filename, const ImageHeader& header, int plane,
                      int sample);
};

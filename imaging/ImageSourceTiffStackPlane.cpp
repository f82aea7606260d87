#include "imaging/ImageSourceTiffStackPlane.h"

#include "foundation/ErrorThrowing.h"

void ImageSourceTiffStackPlane::setTiffStackFilename(const std::string& filename) {
  _filename = filename;
  readHeader(filename, OSTREL_HERE);
}

#include "imaging/ImageSourceTiffStackPlane.h"

void ImageSourceTiffStackPlane::setTiffStackFilename(const std::string& filename) {
  _filename = filename;
  readHeader(filename, "void ImageSourceTiffStackPlane::setTiffStackFilename(const string&)");
}

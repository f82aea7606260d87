#include "imaging/ImageSourceFile.h"

#include "foundation/ErrorThrowing.h"

void ImageSourceFile::setFilename(const std::string& filename) {
  _filename = filename;
  readHeader(filename, OSTREL_HERE);
}

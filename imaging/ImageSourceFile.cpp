#include "imaging/ImageSourceFile.h"

void ImageSourceFile::setFilename(const std::string& filename) {
  _filename = filename;
  readHeader(filename, "void ImageSourceFile::setFilename(const string&)");
}

#include "imaging/ImageSourceHeader.h"

#include "foundation/Exception.h"
#include "imaging/ImageReader.h"

const ImageHeader& ImageSourceHeader::getHeader() const {
  static const ImageHeader empty;
  return _header ? *_header : empty;
}

void ImageSourceHeader::readHeader(const std::string& filename, const std::string& caller) {
  auto header = std::make_shared<ImageHeader>();
  _header = header;
  _stackCursor = std::make_shared<TiffStackCursor>();
  try {
    ImageReader reader;
    reader.read(*header, filename);
  } catch (Exception& exception) {
    exception.addWhere(caller);
    throw;
  }
}

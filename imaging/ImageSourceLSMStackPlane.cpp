#include "imaging/ImageSourceLSMStackPlane.h"

#include "foundation/Trace.h"

void ImageSourceLSMStackPlane::setLSMStackFilename(const std::string& filename) {
  const std::string signature = "ImageSourceLSMStackPlane::setLSMStackFilename(const string& filename)";
  Trace::enterFunction(signature);
  _filename = filename;
  readHeader(filename, signature);
  Trace::leaveFunction(signature);
}

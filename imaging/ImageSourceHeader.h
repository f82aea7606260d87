#pragma once

#include "imaging/ImageHeader.h"
#include "imaging/ImageSource.h"
#include "imaging/TiffStackCursor.h"

#include <memory>
#include <string>

// Base of the sources that answer from a file's header (a file, a TIFF-stack plane, an LSM-stack
// plane). The header is read once when the file name is set and shared, unchanged, by clones; so is
// the cursor through which ImageReader reads the planes of a stack, which keeps the file open from
// the first plane read until the source and its clones are gone or get another file.
class ImageSourceHeader : public ImageSource {
public:
  int getSize1() const override { return _header ? _header->getHeight() : 0; }
  int getSize2() const override { return _header ? _header->getWidth() : 0; }
  int getDepth() const override { return _header ? _header->getDepth() : 0; }
  const Colormap* getColormap() const override { return _header ? _header->getColormap() : nullptr; }

  bool hasHeader() const { return _header != nullptr; }
  const ImageHeader& getHeader() const; // an empty header when none was read
  const PixelCalibration& getPixelCalibration() const { return getHeader().getPixelCalibration(); }
  TiffStackCursor& getStackCursor() const { return *_stackCursor; }

protected:
  // Reads a fresh header of filename; the caller's signature is added to an exception's chain.
  void readHeader(const std::string& filename, const std::string& caller);

private:
  std::shared_ptr<const ImageHeader> _header;
  std::shared_ptr<TiffStackCursor> _stackCursor = std::make_shared<TiffStackCursor>();
};

#pragma once

#include "imaging/ImageSourceHeader.h"

#include <string>

// A whole image file.
class ImageSourceFile : public ImageSourceHeader {
public:
  std::unique_ptr<ImageSource> clone() const override { return std::make_unique<ImageSourceFile>(*this); }
  int getType() const override { return 0; }
  bool isDefined() const override { return !_filename.empty(); }

  // Stores the name and reads the file's header; the reader's errors reach the caller.
  void setFilename(const std::string& filename);
  const std::string& getFilename() const { return _filename; }

private:
  std::string _filename;
};

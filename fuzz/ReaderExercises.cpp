#include "fuzz/ReaderExercises.h"

#include "application/FileLoader.h"
#include "application/SceneItem.h"
#include "foundation/DataSet.h"
#include "foundation/Exception.h"
#include "foundation/FileInfo.h"
#include "geometry/Shape.h"
#include "geometry/ShapeFormats.h"
#include "imaging/Image.h"
#include "imaging/ImageReader.h"
#include "imaging/ImageSourceFile.h"
#include "imaging/ImageSourceFileMosaic.h"
#include "imaging/ImageSourceLSMStackPlane.h"
#include "imaging/ImageSourceTiffStackPlane.h"
#include "imaging/ImageSourceVoxelMatrixFilePlane.h"
#include "imaging/VoxelMatrix.h"

#include <algorithm>

namespace {

// The first planes and channels of a stack are enough to reach every code path of its reading.
constexpr int planesTried = 3;

// Runs one step; a refusal is the reader's clean answer to a bad file.
template <class Step> void attempt(Step step) {
  try {
    step();
  } catch (const Exception&) {
  }
}

template <class T> void voxelMatrixAs(const std::string& path) {
  attempt([&] { VoxelMatrix<T>::fileSizes(path); });
  attempt([&] { VoxelMatrix<T>().loadHeader(path); });
  attempt([&] { VoxelMatrix<T> matrix(path); });
}

} // namespace

void ReaderExercises::imageFile(const std::string& path) {
  ImageReader reader;
  ImageHeader header;
  try {
    reader.read(header, path);
  } catch (const Exception&) {
    return;
  }
  Image image;
  attempt([&] { reader.read(image, path); });
  if (header.getFormat() == ImageFormat::Tiff)
    attempt([&] {
      ImageSourceTiffStackPlane source;
      source.setTiffStackFilename(path);
      for (int plane = 0; plane < std::min(source.getNumImages(), planesTried); ++plane) {
        source.setPlane(plane);
        reader.read(image, source);
      }
    });
  if (header.getFormat() == ImageFormat::Lsm)
    attempt([&] {
      ImageSourceLSMStackPlane source;
      source.setLSMStackFilename(path);
      for (int plane = 0; plane < std::min(source.getNumImages(), planesTried); ++plane)
        for (int frame = 0; frame < std::min(source.getChannel(), planesTried); ++frame) {
          source.setPlane(plane);
          source.setFrame(frame);
          reader.read(image, source);
        }
    });
  attempt([&] {
    ImageSourceFile cell;
    cell.setFilename(path);
    ImageSourceFileMosaic mosaic(1, 2);
    mosaic.setCell(0, 1, cell);
    reader.read(image, mosaic);
  });
  const std::string suffix = FileInfo::suffixName(path);
  if (suffix == "tif" || suffix == "tiff") attempt([&] { VoxelMatrix<unsigned char> matrix(path); });
}

void ReaderExercises::voxelMatrixFile(const std::string& path, int elementType) {
  switch (elementType) {
  case 0:
    voxelMatrixAs<unsigned char>(path);
    break;
  case 1:
    voxelMatrixAs<int>(path);
    break;
  case 2:
    voxelMatrixAs<float>(path);
    break;
  default:
    voxelMatrixAs<double>(path);
    break;
  }
  // The image reader reads planes of matrix files as float matrices.
  attempt([&] {
    ImageSourceVoxelMatrixFilePlane source;
    source.setVoxelMatrixFilename(path);
    Image image;
    ImageReader().read(image, source);
  });
}

void ReaderExercises::shapeFile(const std::string& path) {
  Vector<float> scaling(3);
  scaling.setOnes();
  FileLoader::load(path, scaling); // reports every failure in what it returns
}

void ReaderExercises::dataSetFile(const std::string& path, char separator) {
  attempt([&] { DataSet data(path, separator); });
  attempt([&] { SceneItem::readParameterFile(path); }); // tabs, blanks, CRLF
}

bool ReaderExercises::bySuffix(const std::string& path) {
  const std::string suffix = FileInfo::suffixName(path);
  if (suffix == "tif" || suffix == "tiff" || suffix == "lsm" || suffix == "img")
    imageFile(path);
  else if (suffix == "vm")
    for (int type = 0; type < 4; ++type) voxelMatrixFile(path, type);
  else if (suffix == "df")
    for (char separator : {'\t', ',', ';', ' '}) dataSetFile(path, separator);
  else if (suffix == "vx" || suffix == "cv" || suffix == "vs" || suffix == "cs" || suffix == "qm" ||
           suffix == "tm" || ShapeFormats<float>::byExtension(path))
    shapeFile(path);
  else
    return false;
  return true;
}

#include "application/ImageLayers.h"

#include "foundation/Trace.h"
#include "imaging/VoxelMatrixReslicer.h"

#include <algorithm>
#include <sstream>

namespace {

std::string sizeText(const Vector<int>& size) {
  std::ostringstream text;
  for (int i = 0; i < size.getSize(); ++i) text << (i > 0 ? " " : "") << size[i];
  return text.str();
}

// Palette indices replaced by the palette's red, green and blue.
std::unique_ptr<Image> withPaletteColours(const Image& image) {
  auto colours = std::make_unique<Image>(image.getWidth(), image.getHeight(), 24);
  colours->getHeader().setPixelCalibration(image.getHeader().getPixelCalibration());
  const Colormap& palette = *image.getColormap();
  const std::size_t n =
      static_cast<std::size_t>(image.getWidth()) * static_cast<std::size_t>(image.getHeight());
  const unsigned char* source = image.getData();
  unsigned char* target = colours->getData();
  for (std::size_t i = 0; i < n; ++i) {
    const int index = std::min<int>(source[i], palette.getSize() - 1);
    const Vector<int> rgb = palette.getColor(index);
    for (int c = 0; c < 3; ++c) target[3 * i + c] = static_cast<unsigned char>(rgb[c]);
  }
  return colours;
}

DisplayRange automaticRange(const VoxelMatrix<float>& matrix) {
  if (matrix.numElements() == 0) return DisplayRange();
  return DisplayRange::automatic(matrix.min(), matrix.max());
}

} // namespace

ImageLayers::~ImageLayers() = default;

void ImageLayers::showThrough(ImageLayer& layer, const DisplayRange& range) {
  for (const auto& painter : layer.painters) painter->glClear(); // they let go of the old image first
  layer.shown = range.greyImage(*layer.grey16);
  for (const auto& painter : layer.painters) painter->setImage(*layer.shown);
}

std::vector<PainterGL<float>*> ImageLayers::addImage(std::unique_ptr<Image> image) {
  ImageLayer layer;
  if (image->getDepth() == 16) {
    layer.grey16 = std::move(image);
    layer.automatic = DisplayRange::automatic(*layer.grey16);
    layer.shown = layer.automatic.greyImage(*layer.grey16);
  } else if (image->isIndexed() && image->getColormap()->getSize() > 0) {
    layer.shown = withPaletteColours(*image);
  } else {
    layer.shown = std::move(image);
  }
  std::vector<PainterGL<float>*> made;
  for (const float position : {0.0f, 10.0f}) {
    auto painter = std::make_unique<ImagePainterGL<float>>();
    painter->setPixelCalibration(layer.shown->getHeader().getPixelCalibration());
    painter->setImage(*layer.shown);
    if (position != 0.0f) painter->setPosition(position);
    made.push_back(painter.get());
    layer.painters.push_back(std::move(painter));
  }
  _images.push_back(std::move(layer));
  if (_images.back().grey16) _lastAutomatic = _images.back().automatic;
  return made;
}

VoxelMatrixSlicePainterGL<float, float>& ImageLayers::addVoxelMatrix(const VoxelMatrix<float>& matrix,
                                                                     int slice) {
  SliceLayer layer;
  layer.matrix =
      std::make_unique<VoxelMatrix<float>>(VoxelMatrixReslicer<float>().resliceAlongDimension1(matrix));
  traceValue("voxelMatrix.getSize()", sizeText(matrix.getSize()));
  traceValue("copy->getSize()", sizeText(layer.matrix->getSize()));
  layer.automatic = automaticRange(*layer.matrix);
  layer.painter = std::make_unique<VoxelMatrixSlicePainterGL<float, float>>();
  layer.painter->setDirection(0);
  layer.painter->setDisplayRange(layer.automatic);
  layer.painter->setVoxelMatrix(*layer.matrix);
  layer.painter->glInit();
  layer.painter->setCurrentSlice(slice);
  _slices.push_back(std::move(layer));
  _lastAutomatic = _slices.back().automatic;
  return *_slices.back().painter;
}

void ImageLayers::showSlice(int k) {
  for (const SliceLayer& layer : _slices) layer.painter->setCurrentSlice(k);
}

void ImageLayers::setDisplayRange(const DisplayRange& range) {
  for (const SliceLayer& layer : _slices) layer.painter->setDisplayRange(range);
  for (ImageLayer& layer : _images)
    if (layer.grey16) showThrough(layer, range);
}

void ImageLayers::useAutomaticRanges() {
  for (const SliceLayer& layer : _slices) layer.painter->setDisplayRange(layer.automatic);
  for (ImageLayer& layer : _images)
    if (layer.grey16) showThrough(layer, layer.automatic);
}

void ImageLayers::clear() {
  _images.clear();
  _slices.clear();
  _lastAutomatic = DisplayRange();
}

std::vector<PainterGL<float>*> ImageLayers::painters() const {
  std::vector<PainterGL<float>*> all;
  for (const ImageLayer& layer : _images)
    for (const auto& painter : layer.painters) all.push_back(painter.get());
  for (const SliceLayer& layer : _slices) all.push_back(layer.painter.get());
  return all;
}

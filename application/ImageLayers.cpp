#include "application/ImageLayers.h"

#include "foundation/Trace.h"
#include "imaging/VoxelMatrixReslicer.h"
#include "viewer/ViewerCanvasGL.h"

#include <algorithm>
#include <sstream>

namespace {

// The canvas's OpenGL context is current while it lives.
class CanvasContext {
public:
  explicit CanvasContext(ViewerCanvasGL& canvas) : _canvas(canvas) { _canvas.makeCurrent(); }
  ~CanvasContext() { _canvas.doneCurrent(); }
  CanvasContext(const CanvasContext&) = delete;
  CanvasContext& operator=(const CanvasContext&) = delete;

private:
  ViewerCanvasGL& _canvas;
};

std::string sizeText(const Vector<int>& size) {
  std::ostringstream text;
  for (int i = 0; i < size.getSize(); ++i) text << (i > 0 ? " " : "") << size[i];
  return text.str();
}

// 16-bit grey levels stretched linearly from the darkest to the brightest pixel onto 0..255.
std::unique_ptr<Image> stretchedToEightBits(const Image& image) {
  auto grey = std::make_unique<Image>(image.getWidth(), image.getHeight(), 8);
  grey->getHeader().setPixelCalibration(image.getHeader().getPixelCalibration());
  const auto* pixels = reinterpret_cast<const unsigned short*>(image.getData());
  const std::size_t n =
      static_cast<std::size_t>(image.getWidth()) * static_cast<std::size_t>(image.getHeight());
  if (n == 0) return grey;
  const auto [darkest, brightest] = std::minmax_element(pixels, pixels + n);
  const double scale = *brightest > *darkest ? 255.0 / (*brightest - *darkest) : 0.0;
  unsigned char* target = grey->getData();
  for (std::size_t i = 0; i < n; ++i)
    target[i] = static_cast<unsigned char>((pixels[i] - *darkest) * scale + 0.5);
  return grey;
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

// Voxel values outside the grey levels 0..255 (16-bit stacks, signed or large values) are stretched
// linearly from the smallest to the largest onto 0..255; matrices within them are shown as they are.
void fitToGreyLevels(VoxelMatrix<float>& matrix) {
  if (matrix.numElements() == 0) return;
  const float smallest = matrix.min();
  const float largest = matrix.max();
  if (smallest >= 0.0f && largest <= 255.0f) return;
  matrix -= smallest;
  if (largest > smallest) matrix *= 255.0f / (largest - smallest);
}

// The image as the painters show it: grey levels of 8 bits, or colours.
std::unique_ptr<Image> displayable(std::unique_ptr<Image> image) {
  if (image->getDepth() == 16) return stretchedToEightBits(*image);
  if (image->isIndexed() && image->getColormap()->getSize() > 0) return withPaletteColours(*image);
  return image;
}

} // namespace

ImageLayers::~ImageLayers() = default;

void ImageLayers::addImage(std::unique_ptr<Image> image, ViewerCanvasGL& canvas) {
  _images.push_back(displayable(std::move(image)));
  const Image& shown = *_images.back();
  const CanvasContext context(canvas);
  for (const float position : {0.0f, 10.0f}) {
    auto painter = std::make_unique<ImagePainterGL<float>>();
    painter->setPixelCalibration(shown.getHeader().getPixelCalibration());
    painter->setImage(shown);
    if (position != 0.0f) painter->setPosition(position);
    canvas.addPainter(*painter);
    _imagePainters.push_back(std::move(painter));
  }
}

int ImageLayers::addVoxelMatrix(const VoxelMatrix<float>& matrix, int slice, ViewerCanvasGL& canvas) {
  auto copy =
      std::make_unique<VoxelMatrix<float>>(VoxelMatrixReslicer<float>().resliceAlongDimension1(matrix));
  traceValue("voxelMatrix.getSize()", sizeText(matrix.getSize()));
  traceValue("copy->getSize()", sizeText(copy->getSize()));
  fitToGreyLevels(*copy);
  auto painter = std::make_unique<VoxelMatrixSlicePainterGL<float, float>>();
  painter->setDirection(0);
  {
    const CanvasContext context(canvas);
    painter->setVoxelMatrix(*copy);
    painter->glInit();
    painter->setCurrentSlice(slice);
  }
  canvas.addPainter(*painter);
  _matrices.push_back(std::move(copy));
  _slicePainters.push_back(std::move(painter));
  return _matrices.back()->getSize3();
}

void ImageLayers::showSlice(int k, ViewerCanvasGL& canvas) {
  const CanvasContext context(canvas);
  for (const auto& painter : _slicePainters) painter->setCurrentSlice(k);
}

void ImageLayers::clear(ViewerCanvasGL& canvas) {
  const CanvasContext context(canvas);
  for (const auto& painter : _imagePainters) canvas.removePainter(*painter);
  for (const auto& painter : _slicePainters) canvas.removePainter(*painter);
  _imagePainters.clear();
  _slicePainters.clear();
  _images.clear();
  _matrices.clear();
}

#include "imaging/ImageSourceFileMosaic.h"

#include <algorithm>
#include <climits>

ImageSourceFileMosaic::ImageSourceFileMosaic(int rows, int columns) {
  setGridSize(rows, columns);
}

void ImageSourceFileMosaic::setGridSize(int rows, int columns) {
  _rows = std::max(rows, 0);
  _columns = std::max(columns, 0);
  _cells.assign(static_cast<std::size_t>(_rows) * _columns, nullptr);
}

void ImageSourceFileMosaic::setCell(int row, int column, const ImageSourceFile& source) {
  if (row < 0 || row >= _rows || column < 0 || column >= _columns) return;
  _cells[static_cast<std::size_t>(row) * _columns + column] = std::make_shared<const ImageSourceFile>(source);
}

const ImageSourceFile* ImageSourceFileMosaic::getCell(int row, int column) const {
  if (row < 0 || row >= _rows || column < 0 || column >= _columns) return nullptr;
  return _cells[static_cast<std::size_t>(row) * _columns + column].get();
}

bool ImageSourceFileMosaic::isDefined() const {
  return firstCell() != nullptr;
}

const ImageSourceFile* ImageSourceFileMosaic::firstCell() const {
  for (const auto& cell : _cells)
    if (cell) return cell.get();
  return nullptr;
}

int ImageSourceFileMosaic::getRowHeight(int row) const {
  int height = 0;
  for (int c = 0; c < _columns; ++c)
    if (const ImageSourceFile* cell = getCell(row, c)) height = std::max(height, cell->getSize1());
  return height;
}

int ImageSourceFileMosaic::getColumnWidth(int column) const {
  int width = 0;
  for (int r = 0; r < _rows; ++r)
    if (const ImageSourceFile* cell = getCell(r, column)) width = std::max(width, cell->getSize2());
  return width;
}

// Sums of cell sizes stop at INT_MAX (which no image can have) instead of overflowing.
int ImageSourceFileMosaic::getSize1() const {
  long long size = 0;
  for (int r = 0; r < _rows; ++r) size = std::min<long long>(size + getRowHeight(r), INT_MAX);
  return static_cast<int>(size);
}

int ImageSourceFileMosaic::getSize2() const {
  long long size = 0;
  for (int c = 0; c < _columns; ++c) size = std::min<long long>(size + getColumnWidth(c), INT_MAX);
  return static_cast<int>(size);
}

int ImageSourceFileMosaic::getDepth() const {
  const ImageSourceFile* cell = firstCell();
  return cell ? cell->getDepth() : 0;
}

const Colormap* ImageSourceFileMosaic::getColormap() const {
  const ImageSourceFile* cell = firstCell();
  return cell ? cell->getColormap() : nullptr;
}

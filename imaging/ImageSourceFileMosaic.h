#pragma once

#include "imaging/ImageSource.h"
#include "imaging/ImageSourceFile.h"

#include <memory>
#include <vector>

// A grid of image files assembled into one image: each row of the grid is as high as its highest
// cell, each column as wide as its widest; a cell's image sits at the top left of its place. All
// cells should have the depth of the first one (others are left blank when read).
class ImageSourceFileMosaic : public ImageSource {
public:
  ImageSourceFileMosaic() = default;
  ImageSourceFileMosaic(int rows, int columns);
  std::unique_ptr<ImageSource> clone() const override {
    return std::make_unique<ImageSourceFileMosaic>(*this);
  }
  int getType() const override { return 1; }
  bool isDefined() const override; // at least one cell holds a source

  int getSize1() const override; // sum of the row heights
  int getSize2() const override; // sum of the column widths
  int getDepth() const override;
  const Colormap* getColormap() const override;

  void setGridSize(int rows, int columns); // empties every cell
  int getRows() const { return _rows; }
  int getColumns() const { return _columns; }
  void setCell(int row, int column, const ImageSourceFile& source);
  const ImageSourceFile* getCell(int row, int column) const; // null when empty or outside
  int getRowHeight(int row) const;
  int getColumnWidth(int column) const;

private:
  const ImageSourceFile* firstCell() const;

  int _rows = 0;
  int _columns = 0;
  std::vector<std::shared_ptr<const ImageSourceFile>> _cells; // row after row
};

#pragma once

#include "foundation/Vector.h"

#include <string>

// A lookup table from a cell index to an 8-bit red, green, blue colour. The three channels always
// have the same length, the map's size. Plain value: copies duplicate all three channels.
class Colormap {
public:
  // === Construction
  Colormap() = default;
  explicit Colormap(int n); // n cells, contents not set
  // Reads the "Red", "Green" and "Blue" columns of a tab-separated data-set file; the data set's
  // errors (missing file, missing column) propagate.
  explicit Colormap(const std::string& fileName);
  Colormap(const Colormap& other) = default;
  Colormap& operator=(const Colormap& other) = default;

  // === Size
  int getSize() const { return _red.getSize(); }
  void setSize(int n); // resizes the three channels together
  void clear();        // size 0

  // === Channels and cells
  Vector<unsigned char>& getRed() { return _red; }
  Vector<unsigned char>& getGreen() { return _green; }
  Vector<unsigned char>& getBlue() { return _blue; }
  const Vector<unsigned char>& getRed() const { return _red; }
  const Vector<unsigned char>& getGreen() const { return _green; }
  const Vector<unsigned char>& getBlue() const { return _blue; }
  Vector<int> getColor(int i) const; // (red, green, blue) of cell i; i is not range-checked

  // === Grey maps
  void makeGrayscale();      // cell i = i * 255 / (n - 1) on every channel
  void convertToGrayscale(); // every cell becomes the integer mean of its three components

  // === Tests (an empty map passes each of them)
  bool isIdentity() const; // every channel holds its index
  bool isGrayscale() const;
  bool isRedOnly() const;
  bool isGreenOnly() const;
  bool isBlueOnly() const;
  bool operator==(const Colormap& other) const;
  bool operator!=(const Colormap& other) const { return !(*this == other); }

  // Writes the title (when not empty) and one "i = r g b" line per cell to the standard output.
  void print(const std::string& title = "") const;

  // === Named maps
  static Colormap flag();          // 16 distinct colours; cells 2 to 15 colour new shapes
  static Colormap fire();          // 256 cells, black through blue, red and orange to white
  static Colormap thermal();       // 256 cells, purple through blue, white, green and yellow to red
  static Colormap cold2Hot(int n); // "Temperature": blue, cyan, green, yellow, red; n a multiple of 4

private:
  void setCell(int i, unsigned char red, unsigned char green, unsigned char blue);
  bool channelsAreZero(const Vector<unsigned char>& a, const Vector<unsigned char>& b) const;

  Vector<unsigned char> _red;
  Vector<unsigned char> _green;
  Vector<unsigned char> _blue;
};

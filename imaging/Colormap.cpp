#include "imaging/Colormap.h"

#include "foundation/DataSet.h"
#include "foundation/ErrorThrowing.h"
#include "foundation/Exception.h"

#include <algorithm>
#include <cmath>
#include <iostream>

namespace {

// Control points of the "Fire" map, one every 8 cells.
const unsigned char fireRed[32] = {0,   0,   1,   25,  49,  73,  98,  122, 146, 162, 173,
                                   184, 195, 207, 217, 229, 240, 252, 255, 255, 255, 255,
                                   255, 255, 255, 255, 255, 255, 255, 255, 255, 255};
const unsigned char fireGreen[32] = {0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,
                                     0,   0,   14,  35,  57,  79,  101, 117, 133, 147, 161,
                                     175, 190, 205, 219, 234, 248, 255, 255, 255, 255};
const unsigned char fireBlue[32] = {0,   61, 96, 130, 165, 192, 220, 227, 210, 181, 151,
                                    122, 93, 64, 35,  5,   0,   0,   0,   0,   0,   0,
                                    0,   0,  0,  0,   0,   35,  98,  160, 223, 255};

// The full "Thermal" table, cells 0 to 255.
const unsigned char thermalRed[256] = {
    70,  70,  70,  70,  70,  70,  70,  70,  70,  70,  70,  70,  70,  70,  70,  70,  70,  70,  70,  70,
    70,  70,  70,  70,  70,  70,  70,  70,  70,  70,  70,  70,  70,  70,  70,  70,  70,  70,  70,  69,
    69,  68,  67,  66,  64,  63,  61,  59,  57,  55,  53,  51,  48,  45,  43,  40,  37,  34,  31,  28,
    26,  23,  20,  17,  14,  12,  9,   6,   4,   2,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,
    0,   0,   0,   1,   4,   7,   11,  16,  21,  27,  32,  39,  45,  52,  60,  68,  76,  84,  92,  101,
    109, 117, 126, 134, 143, 152, 160, 168, 176, 184, 192, 199, 206, 213, 219, 225, 231, 236, 240, 244,
    247, 250, 252, 253, 254, 254, 253, 252, 251, 249, 246, 243, 240, 237, 233, 228, 223, 219, 214, 208,
    203, 196, 190, 184, 178, 171, 165, 158, 151, 144, 138, 129, 120, 112, 103, 95,  87,  79,  71,  64,
    57,  51,  45,  39,  35,  30,  27,  24,  21,  20,  19,  19,  21,  23,  27,  32,  37,  44,  51,  59,
    68,  77,  86,  97,  107, 118, 125, 131, 137, 144, 150, 156, 162, 168, 174, 180, 185, 191, 197, 202,
    207, 212, 217, 222, 227, 231, 235, 238, 242, 245, 248, 251, 253, 255, 255, 255, 255, 255, 255, 255,
    255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
    255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255};
const unsigned char thermalGreen[256] = {
    0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,
    0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,
    0,   0,   2,   5,   9,   13,  17,  22,  27,  32,  38,  44,  50,  57,  63,  70,  77,  84,  91,  98,
    106, 113, 121, 128, 136, 144, 152, 160, 168, 176, 183, 191, 198, 205, 212, 218, 224, 230, 235, 240,
    245, 249, 253, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
    255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
    255, 255, 254, 254, 254, 254, 254, 254, 254, 254, 254, 254, 254, 254, 254, 254, 255, 255, 255, 255,
    255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
    255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
    255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 254, 254,
    252, 252, 250, 249, 248, 246, 245, 243, 241, 239, 237, 235, 233, 229, 226, 222, 218, 213, 208, 203,
    198, 192, 187, 181, 175, 169, 162, 156, 149, 143, 136, 129, 122, 116, 109, 102, 95,  89,  82,  76,
    70,  63,  57,  51,  45,  40,  35,  29,  25,  20,  16,  12,  8,   5,   2,   2};
const unsigned char thermalBlue[256] = {
    115, 115, 116, 118, 120, 122, 124, 126, 128, 131, 133, 136, 139, 141, 144, 147, 151, 154, 157, 160,
    164, 167, 170, 174, 177, 181, 184, 188, 194, 200, 206, 211, 217, 222, 227, 232, 236, 240, 244, 248,
    251, 253, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
    255, 254, 253, 252, 251, 250, 248, 247, 246, 245, 243, 242, 241, 240, 239, 238, 237, 236, 235, 235,
    235, 234, 234, 234, 234, 234, 235, 236, 237, 238, 239, 240, 241, 243, 244, 246, 247, 249, 250, 252,
    253, 254, 254, 254, 254, 254, 254, 254, 254, 254, 254, 254, 254, 254, 254, 254, 254, 254, 254, 254,
    254, 254, 254, 254, 254, 252, 249, 246, 243, 239, 236, 231, 227, 223, 218, 213, 208, 203, 198, 192,
    187, 181, 175, 169, 163, 157, 151, 145, 138, 132, 126, 118, 110, 102, 94,  87,  79,  72,  65,  58,
    51,  45,  38,  32,  27,  22,  17,  13,  8,   5,   2,   1,   1,   1,   1,   1,   1,   1,   1,   1,
    1,   1,   1,   3,   5,   8,   10,  12,  14,  16,  17,  19,  21,  23,  25,  26,  28,  30,  31,  33,
    34,  36,  37,  38,  39,  40,  41,  42,  43,  43,  43,  44,  44,  44,  44,  43,  43,  42,  42,  41,
    40,  40,  39,  38,  37,  36,  34,  33,  32,  31,  30,  28,  27,  25,  24,  23,  21,  20,  19,  17,
    16,  15,  13,  12,  11,  10,  9,   7,   6,   6,   5,   4,   3,   3,   2,   2};

const unsigned char flagTable[16][3] = {{0, 0, 0},     {255, 255, 255}, {255, 0, 0},     {85, 0, 255},
                                        {0, 170, 0},   {255, 170, 0},   {170, 255, 127}, {170, 170, 0},
                                        {0, 170, 255}, {255, 170, 255}, {170, 0, 255},   {170, 170, 255},
                                        {255, 255, 0}, {170, 85, 0},    {0, 255, 255},   {255, 0, 255}};

// One channel read from a data-set column. Integer and float columns are both accepted, so that a
// file whose first row holds whole numbers reads the same as one holding decimals.
Vector<unsigned char> channelFromColumn(const DataSet& dataSet, const std::string& name) {
  const std::vector<std::string>& names = dataSet.variableNames();
  auto found = std::find(names.begin(), names.end(), name);
  if (found != names.end() && dataSet.columnType(static_cast<int>(found - names.begin())) == "%d") {
    const Vector<int>& values = dataSet.getValues<int>(name);
    Vector<unsigned char> channel(values.getSize());
    for (int i = 0; i < values.getSize(); ++i) channel[i] = static_cast<unsigned char>(values[i]);
    return channel;
  }
  return dataSet.getValues<float>(name).toType<unsigned char>(); // raises the data set's errors
}

// The low 8 bits of x truncated toward zero; values that are not finite (the 4-cell "Temperature"
// map divides by ln 1) give 0.
unsigned char truncatedByte(double x) {
  if (!std::isfinite(x) || std::fabs(x) > 2147483647.0) return 0;
  return static_cast<unsigned char>(static_cast<int>(x) & 0xFF);
}

} // namespace

Colormap::Colormap(int n) {
  setSize(n);
}

Colormap::Colormap(const std::string& fileName) {
  DataSet dataSet(fileName, '\t');
  _red = channelFromColumn(dataSet, "Red");
  _green = channelFromColumn(dataSet, "Green");
  _blue = channelFromColumn(dataSet, "Blue");
}

void Colormap::setSize(int n) {
  _red.setSize(n);
  _green.setSize(n);
  _blue.setSize(n);
}

void Colormap::clear() {
  setSize(0);
}

Vector<int> Colormap::getColor(int i) const {
  Vector<int> color(3);
  color[0] = _red[i];
  color[1] = _green[i];
  color[2] = _blue[i];
  return color;
}

void Colormap::setCell(int i, unsigned char red, unsigned char green, unsigned char blue) {
  _red[i] = red;
  _green[i] = green;
  _blue[i] = blue;
}

void Colormap::makeGrayscale() {
  const int n = getSize();
  const float last = static_cast<float>(n - 1);
  for (int i = 0; i < n; ++i) {
    const unsigned char grey = truncatedByte(static_cast<double>(static_cast<float>(i)) * 255.0 / last);
    setCell(i, grey, grey, grey);
  }
}

void Colormap::convertToGrayscale() {
  for (int i = 0; i < getSize(); ++i) {
    const unsigned char grey = static_cast<unsigned char>((_red[i] + _green[i] + _blue[i]) / 3);
    setCell(i, grey, grey, grey);
  }
}

bool Colormap::isIdentity() const {
  for (int i = 0; i < getSize(); ++i)
    if (_red[i] != i || _green[i] != i || _blue[i] != i) return false;
  return true;
}

bool Colormap::isGrayscale() const {
  for (int i = 0; i < getSize(); ++i)
    if (_red[i] != _green[i] || _green[i] != _blue[i]) return false;
  return true;
}

bool Colormap::channelsAreZero(const Vector<unsigned char>& a, const Vector<unsigned char>& b) const {
  for (int i = 0; i < getSize(); ++i)
    if (a[i] != 0 || b[i] != 0) return false;
  return true;
}

bool Colormap::isRedOnly() const {
  return channelsAreZero(_green, _blue);
}
bool Colormap::isGreenOnly() const {
  return channelsAreZero(_red, _blue);
}
bool Colormap::isBlueOnly() const {
  return channelsAreZero(_red, _green);
}

bool Colormap::operator==(const Colormap& other) const {
  if (getSize() != other.getSize()) return false;
  for (int i = 0; i < getSize(); ++i)
    if (_red[i] != other._red[i] || _green[i] != other._green[i] || _blue[i] != other._blue[i]) return false;
  return true;
}

void Colormap::print(const std::string& title) const {
  if (!title.empty()) std::cout << title << '\n';
  for (int i = 0; i < getSize(); ++i)
    std::cout << i << " = " << int(_red[i]) << ' ' << int(_green[i]) << ' ' << int(_blue[i]) << '\n';
  std::cout.flush();
}

Colormap Colormap::flag() {
  Colormap map(16);
  for (int i = 0; i < 16; ++i) map.setCell(i, flagTable[i][0], flagTable[i][1], flagTable[i][2]);
  return map;
}

namespace {

// Cell 8k + f lies f/8 of the way from control point k to k + 1; the sum is truncated as a whole.
unsigned char fireValue(const unsigned char* control, int cell) {
  const int k = cell / 8;
  const int f = cell % 8;
  if (k >= 31) return control[31];
  const float value = control[k] + (control[k + 1] - control[k]) * f / 8.0f;
  return static_cast<unsigned char>(static_cast<int>(value));
}

} // namespace

Colormap Colormap::fire() {
  Colormap map(256);
  for (int i = 0; i < 256; ++i)
    map.setCell(i, fireValue(fireRed, i), fireValue(fireGreen, i), fireValue(fireBlue, i));
  return map;
}

Colormap Colormap::thermal() {
  Colormap map(256);
  for (int i = 0; i < 256; ++i) map.setCell(i, thermalRed[i], thermalGreen[i], thermalBlue[i]);
  return map;
}

Colormap Colormap::cold2Hot(int n) {
  if (n % 4 != 0) throwError<SizeError>(OSTREL_HERE, "Colormap dimension is not a multiple of 4");
  const int q = n / 4;
  Colormap map(q > 0 ? n : 0);
  if (q < 1) return map;
  const float s1 = 255.0f / std::log(static_cast<float>(q));
  const float s2 = 255.0f / std::log(static_cast<float>(q + 1));
  for (int j = 0; j < q; ++j) {
    const unsigned char rising1 = j == 0 ? 0 : truncatedByte(std::log(static_cast<float>(j)) * s1);
    const unsigned char falling1 = truncatedByte(std::log(static_cast<float>(q - j)) * s1);
    const unsigned char rising2 = truncatedByte(std::log(static_cast<double>(j + 2)) * s2);
    const unsigned char falling2 = truncatedByte(std::log(static_cast<float>(q - j)) * s2);
    map.setCell(j, 0, rising1, 255);
    map.setCell(q + j, 0, 255, falling1);
    map.setCell(2 * q + j, rising2, 255, 0);
    map.setCell(3 * q + j, 255, falling2, 0);
  }
  return map;
}

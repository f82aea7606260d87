// Pixel matrices made from images of every depth.
#include "imaging/PixelMatrix.h"

#include "imaging/Image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>

TEST(PixelMatrixFromImage, OneValuePerPixelAtEveryDepth) {
  PixelMatrix<unsigned char> bytes(3, 7);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 7; ++j) bytes(i, j) = static_cast<unsigned char>(i * 80 + j);
  Image grey;
  bytes.convertToImage(grey, 8);
  PixelMatrix<unsigned char> back;
  back.convertFromImage(grey);
  EXPECT_EQ(back, bytes);
  PixelMatrix<float> matrix;
  Image deep(1, 1, 16);
  const std::uint16_t value = 1234;
  std::memcpy(deep.row(0), &value, 2);
  matrix.convertFromImage(deep);
  EXPECT_EQ(matrix(0, 0), 1234);
  Image colour(1, 1, 24); // the green sample
  colour.row(0)[0] = 30;
  colour.row(0)[1] = 60;
  colour.row(0)[2] = 90;
  matrix.convertFromImage(colour);
  EXPECT_EQ(matrix(0, 0), 60);
}

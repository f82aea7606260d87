// Pixel matrices: storage, histograms and the conversions to and from images.
#include "imaging/PixelMatrix.h"

#include "imaging/Image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>

TEST(PixelMatrixHistogram, CountsValuesInEqualBinsWithTheMaximumInTheLast) {
  PixelMatrix<float> matrix(1, 6);
  const float values[6] = {0, 0.9f, 1, 3.99f, 4, 7};
  for (int j = 0; j < 6; ++j) matrix(0, j) = values[j];
  const Vector<unsigned int> counts = matrix.histogram(0, 4, 4);
  const unsigned expected[4] = {2, 1, 0, 2}; // 3.99 and the maximum 4 in the last; 7 is outside
  for (int b = 0; b < 4; ++b) EXPECT_EQ(counts[b], expected[b]) << b;
}

TEST(PixelMatrixToImage, EightBitsTruncateAndClampSixteenBitsKeepUpTo65535) {
  PixelMatrix<float> matrix(1, 5);
  const float values[5] = {12.9f, -3, 300, std::numeric_limits<float>::quiet_NaN(), 255};
  for (int j = 0; j < 5; ++j) matrix(0, j) = values[j];
  PixelCalibration calibration;
  calibration.setPixelWidth(0.5f);
  matrix.setPixelCalibration(calibration);
  Image image;
  matrix.convertToImage(image, 8);
  EXPECT_EQ(image.getWidth(), 5);
  EXPECT_EQ(image.getHeight(), 1);
  const unsigned char expected[5] = {12, 0, 255, 0, 255};
  for (int j = 0; j < 5; ++j) EXPECT_EQ(image.row(0)[j], expected[j]) << j;
  EXPECT_FLOAT_EQ(image.getHeader().getPixelCalibration().getPixelWidth(), 0.5f);
  PixelMatrix<int> deep(2, 1);
  deep(0, 0) = 40000;
  deep(1, 0) = 70000;
  deep.convertToImage(image, 16);
  std::uint16_t first, second;
  std::memcpy(&first, image.row(0), 2);
  std::memcpy(&second, image.row(1), 2);
  EXPECT_EQ(first, 40000);
  EXPECT_EQ(second, 65535);
}

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

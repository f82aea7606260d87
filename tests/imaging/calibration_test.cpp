// Pixel calibrations: how missing pixel sizes are completed.
#include "imaging/PixelCalibration.h"
#include "imaging/VoxelCalibration.h"

#include "foundation/Exception.h"
#include "tests/imaging/VoxelFixtures.h"

#include <gtest/gtest.h>

// Which of width, height and ratio are set (negative: unset), and what compute() makes of them.
TEST(PixelCalibrationCompute, CompletesWhatIsMissingFromWhatIsSet) {
  struct Case {
    float width, height, ratio;
    bool computed;
    float expectedWidth, expectedHeight, expectedRatio;
  };
  const Case cases[] = {{2, 3, -1, true, 2, 3, 1.5f}, {0.5f, -1, -1, true, 0.5f, 0.5f, 1},
                        {-1, 4, -1, true, 4, 4, 1},   {-1, -1, -1, false, 1, 1, 1},
                        {2, 3, 7, false, 2, 3, 7},    {2, -1, 3, true, 2, 6, 3},
                        {-1, -1, 2, true, 1, 2, 2},   {-1, 6, 3, true, 2, 6, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << ' ' << c.height << ' ' << c.ratio);
    PixelCalibration calibration;
    if (c.width >= 0) calibration.setPixelWidth(c.width);
    if (c.height >= 0) calibration.setPixelHeight(c.height);
    if (c.ratio >= 0) calibration.setAspectRatio(c.ratio);
    EXPECT_EQ(calibration.compute(), c.computed);
    EXPECT_FLOAT_EQ(calibration.getPixelWidth(), c.expectedWidth);
    EXPECT_FLOAT_EQ(calibration.getPixelHeight(), c.expectedHeight);
    EXPECT_FLOAT_EQ(calibration.getAspectRatio(), c.expectedRatio);
    // compute() leaves the flags as they were
    EXPECT_EQ(calibration.isPixelHeightSet(), c.height >= 0);
    EXPECT_EQ(calibration.isAspectRatioSet(), c.ratio >= 0);
  }
}

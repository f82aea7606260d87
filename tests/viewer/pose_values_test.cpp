// The scene values that panels, canvas and motions pass around: poses, pose owners, background and
// projection.
#include "viewer/BackgroundGL.h"
#include "viewer/Pose.h"
#include "viewer/PoseOwner.h"

#include <gtest/gtest.h>

TEST(PoseValues, IntegerRotationsTruncateTowardZeroAndLightsAreNotClamped) {
  Pose pose;
  Vector<float> angles(3);
  angles[0] = 12.75f;
  angles[1] = 89.75f;
  angles[2] = -0.5f;
  pose.setRotation(angles);
  EXPECT_EQ(pose.getXRotation(), 12);
  EXPECT_EQ(pose.getYRotation(), 89);
  EXPECT_EQ(pose.getZRotation(), 0);
  pose.setSpecularLight(300); // no clamping
  EXPECT_EQ(pose.getSpecularLight(), 300);
}

TEST(PoseOwnerList, HandsRemovedPosesBackToTheCaller) {
  // Under the sanitizers, destroying a removed pose twice or reading a freed one fails this test.
  Pose* removed = new Pose;
  removed->setName("kept");
  {
    PoseOwner owner;
    owner.addPose(*new Pose);
    owner.addPose(*removed);
    owner.addPose(*new Pose);
    owner.removePose(*removed);
    EXPECT_EQ(owner.getNumPoses(), 2);
    EXPECT_EQ(owner.findPose(*removed), -1);
  }
  EXPECT_EQ(removed->getName(), "kept");
  delete removed;
}

TEST(BackgroundValues, ThreeComponentColourKeepsTheAlpha) {
  BackgroundGL background; // its default colour shows in the canvas's gradient frames
  EXPECT_TRUE(background.isGradientEnabled());
  Vector<int> rgb(3);
  rgb.fill(3);
  background.setColor(rgb);
  EXPECT_EQ(background.getColor().getSize(), 4);
  EXPECT_EQ(background.getColor()[2], 3);
  EXPECT_EQ(background.getColor()[3], 255);
}

// The scene values that panels, canvas and motions pass around: pose owners.
#include "viewer/Pose.h"
#include "viewer/PoseOwner.h"

#include <gtest/gtest.h>

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

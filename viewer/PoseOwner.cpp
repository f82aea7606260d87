#include "viewer/PoseOwner.h"

#include "viewer/Pose.h"

PoseOwner::~PoseOwner() {
  for (Pose* pose : _poses) delete pose;
}

void PoseOwner::addPose(Pose& pose) {
  _poses.push_back(&pose);
}

int PoseOwner::findPose(Pose& pose) const {
  for (std::size_t i = 0; i < _poses.size(); ++i)
    if (_poses[i] == &pose) return static_cast<int>(i);
  return -1;
}

void PoseOwner::removePose(Pose& pose) {
  const int index = findPose(pose);
  if (index >= 0) removePose(index);
}

void PoseOwner::removePose(int index) {
  _poses.erase(_poses.begin() + index);
}

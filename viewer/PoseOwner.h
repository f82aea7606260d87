#pragma once

#include <vector>

class Pose;

// An ordered list of poses that owns them: the poses still listed are destroyed with the owner.
class PoseOwner {
public:
  PoseOwner() = default;
  PoseOwner(const PoseOwner&) = delete;
  PoseOwner& operator=(const PoseOwner&) = delete;
  virtual ~PoseOwner();

  int getNumPoses() const { return static_cast<int>(_poses.size()); }
  void addPose(Pose& pose);       // appends; the owner takes the pose over
  int findPose(Pose& pose) const; // index of this very object, or -1
  void removePose(Pose& pose);    // hands the pose back to the caller; ignored when not listed
  void removePose(int index);     // hands the pose back to the caller
  Pose& getPose(int index) { return *_poses[index]; } // unchecked
  const Pose& getPose(int index) const { return *_poses[index]; }

private:
  std::vector<Pose*> _poses;
};

#pragma once

#include "foundation/Vector.h"

#include <string>

// Orientation, panning, zoom and light levels of the scene, as the pose panel, the canvas and the
// motions exchange them. A plain value.
class Pose {
public:
  Pose(); // no rotation, no panning, zoom 100, lights 0

  void setName(const std::string& name) { _name = name; }
  const std::string& getName() const { return _name; }

  // Angles in degrees about x, y and z, applied in that order.
  void setRotation(const Vector<float>& rotation) { _rotation = rotation; }
  const Vector<float>& getRotation() const { return _rotation; }
  void setXRotation(int degrees) { _rotation[0] = static_cast<float>(degrees); }
  void setYRotation(int degrees) { _rotation[1] = static_cast<float>(degrees); }
  void setZRotation(int degrees) { _rotation[2] = static_cast<float>(degrees); }
  int getXRotation() const { return static_cast<int>(_rotation[0]); } // truncated toward zero
  int getYRotation() const { return static_cast<int>(_rotation[1]); }
  int getZRotation() const { return static_cast<int>(_rotation[2]); }

  // Panning in the pose panel's integer units.
  void setTranslation(const Vector<int>& translation) { _translation = translation; }
  const Vector<int>& getTranslation() const { return _translation; }
  void setXTranslation(int x) { _translation[0] = x; }
  void setYTranslation(int y) { _translation[1] = y; }
  int getXTranslation() const { return _translation[0]; }
  int getYTranslation() const { return _translation[1]; }

  void setZoom(int percent) { _zoom = percent; }
  int getZoom() const { return _zoom; }
  void setAmbientLight(int level) { _ambientLight = level; } // 0..255, not clamped
  int getAmbientLight() const { return _ambientLight; }
  void setDiffuseLight(int level) { _diffuseLight = level; }
  int getDiffuseLight() const { return _diffuseLight; }
  void setSpecularLight(int level) { _specularLight = level; }
  int getSpecularLight() const { return _specularLight; }

  // The six standard views of a model, differing only by their rotation.
  static Pose canonicalPose1();        // (0, 180, 0)
  static Pose canonicalPose2();        // (0, 90, 0)
  static Pose canonicalPose3();        // (90, 0, 0)
  static Pose reverseCanonicalPose1(); // (0, 0, 0)
  static Pose reverseCanonicalPose2(); // (0, -90, 0)
  static Pose reverseCanonicalPose3(); // (-90, 0, 0)

private:
  static Pose rotated(float x, float y, float z);

  std::string _name;
  Vector<float> _rotation;
  Vector<int> _translation;
  int _zoom = 100;
  int _ambientLight = 0;
  int _diffuseLight = 0;
  int _specularLight = 0;
};

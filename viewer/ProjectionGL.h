#pragma once

// Perspective or orthographic projection of the canvas. The canvas places the eye at
// (7 - perspective strength) times the scene scale; the strength is kept while orthographic.
class ProjectionGL {
public:
  ProjectionGL() = default; // perspective, strength 1

  void setPerspective() { _perspective = true; }
  bool isPerspective() const { return _perspective; }
  void setOrthographic() { _perspective = false; }
  bool isOrthographic() const { return !_perspective; }
  void setPerspectiveStrength(float strength) { _perspectiveStrength = strength; }
  float getPerspectiveStrength() const { return _perspectiveStrength; }

private:
  bool _perspective = true;
  float _perspectiveStrength = 1.0f;
};

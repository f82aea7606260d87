#pragma once

#include <string>
#include <vector>

// One OpenGL (or GLU) call as the recording layer saw it: its name, its numeric arguments and the
// QOpenGLContext current when it was made (null: none).
struct GLCall {
  std::string name;
  std::vector<double> args;
  const void* context = nullptr;
};

// While a recorder is alive, the OpenGL entry points that painters use are logged in call order.
// The layer replaces those entry points in the test executable and forwards each call to the real
// library unless the recorder was made with forwarding off (then no context is needed: list names
// come from a counter and queries are not involved).
class GLCallRecorder {
public:
  explicit GLCallRecorder(bool forward = false);
  ~GLCallRecorder();
  GLCallRecorder(const GLCallRecorder&) = delete;
  GLCallRecorder& operator=(const GLCallRecorder&) = delete;

  const std::vector<GLCall>& calls() const;
  std::vector<GLCall> named(const std::string& name) const; // the calls of one entry point
  int count(const std::string& name) const { return static_cast<int>(named(name).size()); }
  // Vertices (glVertex3f) issued between each glBegin and its glEnd, one list per batch.
  struct Batch {
    int mode = 0;
    std::vector<std::vector<double>> vertices;
    std::vector<std::vector<double>> normals; // the current normal of each vertex
  };
  std::vector<Batch> batches() const;
  void clear();
};

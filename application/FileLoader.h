#pragma once

#include "foundation/Matrix.h"
#include "foundation/Vector.h"
#include "rendering/FileKind.h"

#include <string>
#include <vector>

// What reading one file gave, or why it gave nothing.
struct LoadedItems {
  LoadedFile loaded;                 // the shapes, voxel matrix or image; empty after a failure
  std::string failure;               // "Cannot read FILE as a KIND: REASON"; empty after success
  std::vector<std::string> problems; // companions that were there but could not be used
};

// Reads files the way the viewer opens them, without any widget: the window (command line, drop,
// file dialogs) and ostrel-render both load through it, so a file gives the same items in both, and it
// may run on a worker thread.
class FileLoader {
public:
  // Reads the file once (FileBytes), recognises its kind (FileKinds) and reads it with that kind's
  // reader. Shapes get their companions (a quad mesh its caps; a mesh of the own formats the vertex
  // colours of its ".vcolors" companion when one fits) and every vertex is multiplied by the scaling
  // factors; images and voxel matrices alike, their pixel and voxel sizes multiplied by the factors of
  // the axes they lie along. A failure names the file and the kind that was tried.
  static LoadedItems load(const std::string& path, const Vector<float>& scaling);

  // The diagonal matrix that multiplies coordinate i by factor i.
  static Matrix<float> scalingMatrix(const Vector<float>& factors);
};

#include "viewer/TurntableVideo.h"

#include "viewer/VideoEncoder.h"
#include "viewer/ViewerSceneGL.h"
#include "viewer/ViewerSpinningMotion.h"

#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>

bool TurntableVideo::write(ViewerSceneGL& scene, int width, int height,
                           const OffscreenRendererGL::Options& how, double seconds, int framesPerSecond,
                           const QString& output, QString& error) {
  const QTemporaryDir frames(QDir::tempPath() + "/ostrel-turntable-XXXXXX");
  if (!frames.isValid()) {
    error = "could not make a folder for the frames in " + QDir::tempPath() + ": " + frames.errorString();
    return false;
  }
  const Vector<float> start = scene.getRotation();
  const int count = std::max(1, static_cast<int>(std::lround(seconds * framesPerSecond)));
  bool written = true;
  for (int i = 0; i < count && written; ++i) {
    scene.setRotation(ViewerSpinningMotion::turned(start, 360.0f * static_cast<float>(i) / count));
    written = VideoEncoder::writeFrame(OffscreenRendererGL::render(scene, width, height, how), frames.path(),
                                       static_cast<unsigned int>(i));
  }
  scene.setRotation(start);
  if (!written) {
    error = "could not write the frames in " + frames.path();
    return false;
  }
  return VideoEncoder::encode(frames.path(), framesPerSecond, output, error);
}

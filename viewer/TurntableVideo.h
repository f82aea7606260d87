#pragma once

#include "viewer/OffscreenRendererGL.h"

#include <QString>

class ViewerSceneGL;

// A video of the scene turning once about the screen's vertical axis, the way the spinning motion
// turns it: frame i of n shows the scene's rotation turned by 360 i / n degrees. Each frame is drawn
// off screen (the context must be current) and the frames are encoded by VideoEncoder.
class TurntableVideo {
public:
  // Writes seconds x framesPerSecond frames (at least one) of width x height into output; the scene's
  // rotation is given back afterwards. False, with the reason (ffmpeg's last lines) in error, when the
  // frames cannot be written or encoded.
  static bool write(ViewerSceneGL& scene, int width, int height, const OffscreenRendererGL::Options& how,
                    double seconds, int framesPerSecond, const QString& output, QString& error);
};

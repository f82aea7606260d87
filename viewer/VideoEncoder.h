#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

// Makes a video of numbered PNG frames (0000.png, 0001.png, ... in one directory) with ffmpeg: H.264
// in yuv420p, the form that common players and presentation programs play. The window's recorder
// and ostrel-render's turntable both write and encode their frames through it.
class VideoEncoder {
public:
  // The video file filters offered, "*.mp4" first.
  static const QStringList& nameFilters();
  // The name as it is when it ends in one of the filters' suffixes (in any case), else with the
  // chosen filter's suffix appended ("movie" and "*.avi" give "movie.avi").
  static QString withVideoSuffix(const QString& fileName, const QString& nameFilter);

  // Writes the image as frame number index of the directory; false when it cannot be written.
  static bool writeFrame(const QImage& image, const QString& directory, unsigned int index);
  // Runs ffmpeg on the directory's frames at the frame rate into the output file (overwritten) and
  // waits for it. On failure returns false with the last lines ffmpeg wrote (or why it could not run)
  // in lastLines. An odd width or height is padded by one black row or column.
  static bool encode(const QString& directory, int framesPerSecond, const QString& output,
                     QString& lastLines);
  // Whether the ffmpeg program can be run ("ffmpeg -L" exits with 0).
  static bool isAvailable();
};

#pragma once

#include <QImage>
#include <QString>
#include <QThread>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

class QTemporaryDir;

// Writes the frames of one recording as numbered PNG files (0000.png, 0001.png, ...) into the
// recording's private temporary directory, off the GUI thread, then has VideoEncoder join them
// into a video. Frames wait in a short queue: the GUI thread hands a frame over and goes on at once unless
// the writer is that many frames behind, so grabbing and writing overlap without memory growing.
// Deleting the object drops the frames still queued and removes the directory with its files.
class VideoFrameWriter : public QThread {
  Q_OBJECT

public:
  static constexpr std::size_t queueCapacity = 8;

  explicit VideoFrameWriter(std::unique_ptr<QTemporaryDir> tmpDir);
  ~VideoFrameWriter() override;

  // === Frames, handed over by the GUI thread
  // Queues the image as frame number index, starting the writer if it is not running; waits while
  // the queue is full.
  void addFrame(const QImage& image, unsigned int index);
  void finishFrames(); // returns once every queued frame is written; addFrame starts writing again
  QString getTmpDir() const;

  // === Encoding, in the calling thread
  void setFileName(const QString& fileName) { _fileName = fileName; }
  void setFrameRecord(int framesPerSecond) { _frameRecord = framesPerSecond; }
  // Encodes the written frames at the frame rate into the file name (VideoEncoder) and waits for
  // it. On failure returns false and the last lines ffmpeg wrote (or why it could not run) in
  // lastLines; the frames stay.
  bool makeVideo(QString& lastLines);
  void cleanTempDirectory(); // removes the directory with every frame in it

protected:
  void run() override; // writes queued frames until finishFrames() has none left for it

private:
  struct Frame {
    QImage image;
    unsigned int index;
  };

  std::unique_ptr<QTemporaryDir> _tmpDir;
  QString _fileName;
  int _frameRecord = 20;

  std::mutex _mutex; // guards the queue and the finishing flag
  std::condition_variable _frameQueued;
  std::condition_variable _frameTaken;
  std::deque<Frame> _queue;
  bool _finishing = false;
};

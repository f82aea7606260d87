#include "viewer/VideoFrameWriter.h"

#include "viewer/VideoEncoder.h"

#include <QTemporaryDir>

VideoFrameWriter::VideoFrameWriter(std::unique_ptr<QTemporaryDir> tmpDir) : _tmpDir(std::move(tmpDir)) {}

VideoFrameWriter::~VideoFrameWriter() {
  {
    std::lock_guard<std::mutex> lock(_mutex);
    _queue.clear();
  }
  finishFrames();
  cleanTempDirectory();
}

QString VideoFrameWriter::getTmpDir() const {
  return _tmpDir ? _tmpDir->path() : QString();
}

void VideoFrameWriter::addFrame(const QImage& image, unsigned int index) {
  {
    std::unique_lock<std::mutex> lock(_mutex);
    _frameTaken.wait(lock, [this] { return _queue.size() < queueCapacity; });
    _queue.push_back({image, index});
  }
  _frameQueued.notify_one();
  if (!isRunning()) start();
}

void VideoFrameWriter::finishFrames() {
  {
    std::lock_guard<std::mutex> lock(_mutex);
    _finishing = true;
  }
  _frameQueued.notify_one();
  wait();
  std::lock_guard<std::mutex> lock(_mutex);
  _finishing = false;
}

void VideoFrameWriter::run() {
  const QString directory = getTmpDir();
  for (;;) {
    Frame frame;
    {
      std::unique_lock<std::mutex> lock(_mutex);
      _frameQueued.wait(lock, [this] { return !_queue.empty() || _finishing; });
      if (_queue.empty()) return;
      frame = std::move(_queue.front());
      _queue.pop_front();
    }
    _frameTaken.notify_one();
    // A frame that cannot be written leaves a gap, at which ffmpeg ends the video.
    VideoEncoder::writeFrame(frame.image, directory, frame.index);
  }
}

bool VideoFrameWriter::makeVideo(QString& lastLines) {
  return VideoEncoder::encode(getTmpDir(), _frameRecord, _fileName, lastLines);
}

void VideoFrameWriter::cleanTempDirectory() {
  _tmpDir.reset();
}

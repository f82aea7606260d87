#include "viewer/ZebRenderingVideoThread.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

namespace {

const char* const encoder = "ffmpeg";
const int reportedLines = 12; // of ffmpeg's output, when it fails
// zlib level 1 of Qt's PNG writer: lossless like every level, but several times faster than the
// default level on rendered frames, so that one writer keeps up with the frame timer.
const int pngQuality = 85;

} // namespace

ZebRenderingVideoThread::ZebRenderingVideoThread(std::unique_ptr<QTemporaryDir> tmpDir)
    : _tmpDir(std::move(tmpDir)) {}

ZebRenderingVideoThread::~ZebRenderingVideoThread() {
  {
    std::lock_guard<std::mutex> lock(_mutex);
    _queue.clear();
  }
  finishFrames();
  cleanTempDirectory();
}

bool ZebRenderingVideoThread::isEncoderAvailable() {
  QProcess probe;
  probe.setStandardInputFile(QProcess::nullDevice());
  probe.setStandardOutputFile(QProcess::nullDevice());
  probe.setStandardErrorFile(QProcess::nullDevice());
  probe.start(encoder, {"-L"});
  return probe.waitForFinished(-1) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0;
}

QString ZebRenderingVideoThread::getTmpDir() const {
  return _tmpDir ? _tmpDir->path() : QString();
}

void ZebRenderingVideoThread::addFrame(const QImage& image, unsigned int index) {
  {
    std::unique_lock<std::mutex> lock(_mutex);
    _frameTaken.wait(lock, [this] { return _queue.size() < queueCapacity; });
    _queue.push_back({image, index});
  }
  _frameQueued.notify_one();
  if (!isRunning()) start();
}

void ZebRenderingVideoThread::finishFrames() {
  {
    std::lock_guard<std::mutex> lock(_mutex);
    _finishing = true;
  }
  _frameQueued.notify_one();
  wait();
  std::lock_guard<std::mutex> lock(_mutex);
  _finishing = false;
}

void ZebRenderingVideoThread::run() {
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
    frame.image.save(QString("%1/%2.png").arg(directory).arg(frame.index, 4, 10, QChar('0')), "PNG",
                     pngQuality);
  }
}

bool ZebRenderingVideoThread::makeVideo(QString& lastLines) {
  const QString rate = QString::number(_frameRecord);
  // ffmpeg reads "%%" in a frame pattern as one "%"; an output name never starting with "-" is
  // never taken for an option.
  const QString frames = QString(getTmpDir()).replace("%", "%%") + "/%04d.png";
  const QString output = QFileInfo(_fileName).absoluteFilePath();
  QProcess process;
  process.setStandardInputFile(QProcess::nullDevice());
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(encoder, {"-r", rate, "-i", frames, "-an", "-r", rate, "-y", "-crf", "20", "-vcodec",
                          "libx264", output});
  const bool finished = process.waitForFinished(-1);
  if (finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0) return true;
  const QString written = QString::fromLocal8Bit(process.readAll());
  QStringList lines = written.split(QRegularExpression("[\r\n]"), Qt::SkipEmptyParts);
  if (lines.size() > reportedLines) lines = lines.mid(lines.size() - reportedLines);
  lastLines = lines.isEmpty() ? process.errorString() : lines.join("\n");
  return false;
}

void ZebRenderingVideoThread::cleanTempDirectory() {
  _tmpDir.reset();
}

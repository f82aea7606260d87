#include "viewer/VideoEncoder.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

namespace {

const char* const encoder = "ffmpeg";
const int reportedLines = 12; // of ffmpeg's output, when it fails
// zlib level 1 of Qt's PNG writer: lossless like every level, but several times faster than the
// default level on rendered frames, so that one writer keeps up with a recorder's frame timer.
const int pngQuality = 85;

} // namespace

const QStringList& VideoEncoder::nameFilters() {
  static const QStringList filters = {"*.mp4", "*.mov", "*.avi", "*.mpg", "*.flv"};
  return filters;
}

QString VideoEncoder::withVideoSuffix(const QString& fileName, const QString& nameFilter) {
  for (const QString& filter : nameFilters())
    if (fileName.endsWith(filter.mid(1), Qt::CaseInsensitive)) return fileName;
  const QString suffix = nameFilter.mid(1); // ".avi" from "*.avi"
  return suffix.isEmpty() ? fileName : fileName + suffix;
}

bool VideoEncoder::writeFrame(const QImage& image, const QString& directory, unsigned int index) {
  return image.save(QString("%1/%2.png").arg(directory).arg(index, 4, 10, QChar('0')), "PNG", pngQuality);
}

bool VideoEncoder::encode(const QString& directory, int framesPerSecond, const QString& output,
                          QString& lastLines) {
  const QString rate = QString::number(framesPerSecond);
  // ffmpeg reads "%%" in a frame pattern as one "%"; an absolute output name never starts with "-",
  // so it is never taken for an option.
  const QString frames = QString(directory).replace("%", "%%") + "/%04d.png";
  QProcess process;
  process.setStandardInputFile(QProcess::nullDevice());
  process.setProcessChannelMode(QProcess::MergedChannels);
  // yuv420p halves the colour resolution, so libx264 needs even sides: an odd one gets a black line.
  process.start(encoder, {"-r", rate, "-i", frames, "-an", "-r", rate, "-y", "-vf",
                          "pad=ceil(iw/2)*2:ceil(ih/2)*2", "-pix_fmt", "yuv420p", "-crf", "20", "-vcodec",
                          "libx264", QFileInfo(output).absoluteFilePath()});
  const bool finished = process.waitForFinished(-1);
  if (finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0) return true;
  const QString written = QString::fromLocal8Bit(process.readAll());
  QStringList lines = written.split(QRegularExpression("[\r\n]"), Qt::SkipEmptyParts);
  if (lines.size() > reportedLines) lines = lines.mid(lines.size() - reportedLines);
  lastLines = lines.isEmpty() ? process.errorString() : lines.join("\n");
  return false;
}

bool VideoEncoder::isAvailable() {
  QProcess probe;
  probe.setStandardInputFile(QProcess::nullDevice());
  probe.setStandardOutputFile(QProcess::nullDevice());
  probe.setStandardErrorFile(QProcess::nullDevice());
  probe.start(encoder, {"-L"});
  return probe.waitForFinished(-1) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0;
}

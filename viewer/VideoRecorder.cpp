#include "viewer/VideoRecorder.h"

#include "viewer/VideoEncoder.h"
#include "viewer/VideoFrameWriter.h"
#include "viewer/VideoRecordingDialog.h"
#include "viewer/ViewerCanvasGL.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

VideoRecorder::VideoRecorder() : _timer(new QTimer(this)), _homeDir(QDir::homePath()) {
  connect(_timer, &QTimer::timeout, this, &VideoRecorder::saveImage);
}

VideoRecorder::~VideoRecorder() {
  _timer->stop();
  delete _dialog.data();
}

void VideoRecorder::initialize(ViewerCanvasGL& widget) {
  _widget = &widget;
  startDialog();
}

void VideoRecorder::startDialog() {
  if (_dialog && _dialog->isVisible()) { // a recording may be under way in it
    _dialog->raise();
    _dialog->activateWindow();
    return;
  }
  delete _dialog.data();
  _dialog = new VideoRecordingDialog(_widget);
  _fps = _dialog->getFrame();
  _width = _widget->width() + _widget->width() % 2;
  _height = _widget->height() + _widget->height() % 2;
  _widget->resize(_width, _height);
  connect(_dialog, &VideoRecordingDialog::videoStartClicked, this, &VideoRecorder::runVideo);
  connect(_dialog, &VideoRecordingDialog::videoStopClicked, this, &VideoRecorder::stopVideo);
  connect(_dialog, &VideoRecordingDialog::rejected, this, &VideoRecorder::cleanVideo);
  connect(_dialog, &VideoRecordingDialog::frameChanged, this, &VideoRecorder::setFrame);
  _dialog->show();
  _dialog->activateWindow();
}

QWidget* VideoRecorder::windowParent() const {
  if (_dialog) return _dialog;
  return _widget;
}

QString VideoRecorder::getTmpDir() const {
  return _thread ? _thread->getTmpDir() : QString();
}

bool VideoRecorder::createTempDirectory() {
  auto directory = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/ostrel-video-XXXXXX");
  if (!directory->isValid()) {
    QMessageBox::critical(windowParent(), "Record",
                          "Could not make a folder for the frames in " + QDir::tempPath() + "\n\n" +
                              directory->errorString());
    return false;
  }
  _thread = std::make_unique<VideoFrameWriter>(std::move(directory));
  _frameIndex = 0;
  return true;
}

void VideoRecorder::forgetFrames() {
  _thread.reset();
  _frameIndex = 0;
}

void VideoRecorder::runVideo() {
  // Frames kept after a failed save are added to; otherwise a new recording starts.
  if (!_thread && !createTempDirectory()) {
    if (_dialog) _dialog->stopClicked();
    return;
  }
  _timer->start(1000 / _fps);
}

void VideoRecorder::saveImage() {
  if (!_widget || !_thread) {
    _timer->stop();
    return;
  }
  QImage frame = _widget->lastFrame();
  // Every frame has the recorded size, also when the window was resized while recording.
  if (frame.width() != _width || frame.height() != _height) frame = frame.copy(0, 0, _width, _height);
  if (_dialog) _dialog->setFrameRecord(_frameIndex + 1);
  _thread->addFrame(frame, static_cast<unsigned int>(_frameIndex));
  ++_frameIndex;
}

void VideoRecorder::stopVideo() {
  _timer->stop();
  if (!_thread) return;
  _thread->finishFrames();
  QFileDialog chooser(windowParent(), "Save video as...", _homeDir);
  chooser.setNameFilters(VideoEncoder::nameFilters());
  chooser.setFileMode(QFileDialog::AnyFile);
  chooser.setAcceptMode(QFileDialog::AcceptSave);
  chooser.setOption(QFileDialog::DontConfirmOverwrite);
  chooser.resize(400, 300);
  if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) {
    forgetFrames();
    return;
  }
  const QString fileName =
      VideoEncoder::withVideoSuffix(chooser.selectedFiles().first(), chooser.selectedNameFilter());
  _thread->setFrameRecord(_fps);
  _thread->setFileName(fileName);
  QString lastLines;
  if (_thread->makeVideo(lastLines)) {
    forgetFrames();
    return;
  }
  QMessageBox::critical(windowParent(), "Record",
                        "ffmpeg could not make the video\n" + fileName +
                            "\n\nThe frames are kept: press \" Stop \" to save them under another name, "
                            "\" Cancel \" to throw them away.\n\nffmpeg wrote:\n" +
                            lastLines);
  if (_dialog) _dialog->framesKept();
}

void VideoRecorder::cleanVideo() {
  if (!_thread) return;
  _timer->stop();
  forgetFrames();
}

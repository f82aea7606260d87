#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QTimer;
class QWidget;
class VideoRecordingDialog;
class VideoFrameWriter;
class ViewerCanvasGL;

// Records what the canvas shows as a video. Its dialog sets the frame rate; " Record " grabs
// the canvas's last frame at that rate into numbered PNG files in a private temporary directory, " Stop "
// asks for the output file and has ffmpeg encode the frames (H.264), " Cancel " or closing the
// dialog throws the frames away. When ffmpeg fails the user is shown its last lines and the frames
// stay until they are saved or thrown away.
class VideoRecorder : public QObject {
  Q_OBJECT

public:
  VideoRecorder();
  ~VideoRecorder() override; // also removes frames not yet saved

  // Opens a new dialog for the widget, which is made even in width and height (libx264 needs it);
  // an open dialog is brought to the front instead.
  void initialize(ViewerCanvasGL& widget);
  void startDialog();
  QString getTmpDir() const; // the frames' directory; empty while none is kept
  // A new directory and a writer for it; false, after telling the user, when none can be made.
  bool createTempDirectory();

public slots:
  void saveImage();  // one frame tick
  void runVideo();   // " Record "
  void stopVideo();  // " Stop "
  void cleanVideo(); // the dialog was rejected
  void setFrame(int framesPerSecond) { _fps = framesPerSecond; }

private:
  void forgetFrames();           // removes the directory; numbering starts again at 0000
  QWidget* windowParent() const; // of the boxes it shows: the dialog, or the widget without one

  QTimer* _timer;
  int _width = -1; // recorded size: every frame is made this size
  int _height = -1;
  QPointer<VideoRecordingDialog> _dialog; // child of the widget, deleted with it or by this
  QPointer<ViewerCanvasGL> _widget;
  std::unique_ptr<VideoFrameWriter> _thread; // exists while frames are kept; owns their directory
  QString _homeDir;
  int _frameIndex = 0;
  int _fps = 20;
};

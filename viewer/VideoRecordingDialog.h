#pragma once

#include <QDialog>

class SliderSpinBox;
class QLabel;
class QPushButton;

// "Create Video Dialog": the frame rate (15 to 30 fps, 20 at first), the number of frames recorded
// and their duration, and " Cancel ", " Record ", " Stop ". Non-modal, so that the scene can be
// turned while it records. Closing it or " Cancel " rejects it.
class VideoRecordingDialog : public QDialog {
  Q_OBJECT

public:
  explicit VideoRecordingDialog(QWidget* parent = nullptr);

  // Shows n frames and their duration in whole seconds at the current frame rate.
  void setFrameRecord(int n);
  int getFrame() const; // the frame rate

signals:
  void videoStartClicked();
  void videoStopClicked();
  void frameChanged(int framesPerSecond);

public slots:
  void startClicked(); // recording: only " Stop " and " Cancel " enabled, counts back to 0
  void stopClicked();  // idle: " Record " and " Cancel " enabled
  // Encoding failed and the frames are kept: " Stop " may be pressed again to save them under
  // another name, " Record " adds frames to them.
  void framesKept();

private:
  SliderSpinBox* _frameBox;
  QLabel* _framesLabel;
  QLabel* _durationLabel;
  QPushButton* _recordButton;
  QPushButton* _stopButton;
  QPushButton* _cancelButton;
};

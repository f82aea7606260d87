#include "viewer/VideoRecordingDialog.h"

#include "viewer/SliderSpinBox.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

VideoRecordingDialog::VideoRecordingDialog(QWidget* parent)
    : QDialog(parent), _frameBox(new SliderSpinBox("", this, 15, 30, " fps")),
      _framesLabel(new QLabel("0", this)), _durationLabel(new QLabel("0", this)),
      _recordButton(new QPushButton(" Record ", this)), _stopButton(new QPushButton(" Stop ", this)),
      _cancelButton(new QPushButton(" Cancel ", this)) {
  setModal(false);
  setWindowTitle("Create Video Dialog");
  _frameBox->setValue(20);

  auto* rateGroup = new QGroupBox("Frames per second", this);
  auto* rateLayout = new QVBoxLayout(rateGroup);
  rateLayout->setContentsMargins(2, 2, 2, 2);
  rateLayout->setSpacing(5);
  rateLayout->addWidget(_frameBox);

  auto* infoGroup = new QGroupBox("Information", this);
  auto* infoLayout = new QGridLayout(infoGroup);
  infoLayout->setContentsMargins(2, 2, 2, 2);
  infoLayout->setSpacing(5);
  infoLayout->addWidget(new QLabel("Number of frames: ", infoGroup), 1, 0);
  infoLayout->addWidget(_framesLabel, 1, 1);
  infoLayout->addWidget(new QLabel(" duration (seconds): ", infoGroup), 2, 0);
  infoLayout->addWidget(_durationLabel, 2, 1);

  auto* panel = new QFrame(this);
  panel->setFrameStyle(QFrame::WinPanel | QFrame::Raised);
  auto* panelLayout = new QVBoxLayout(panel);
  panelLayout->setContentsMargins(10, 10, 10, 10);
  panelLayout->setSpacing(10);
  panelLayout->addWidget(rateGroup);
  panelLayout->addWidget(infoGroup);

  for (QPushButton* button : {_recordButton, _stopButton, _cancelButton}) button->setDefault(true);
  _recordButton->setFocusPolicy(Qt::StrongFocus);
  _stopButton->setEnabled(false);
  auto* buttons = new QHBoxLayout;
  buttons->setContentsMargins(0, 0, 0, 0);
  buttons->setSpacing(10);
  buttons->addWidget(_cancelButton);
  buttons->addWidget(_recordButton);
  buttons->addWidget(_stopButton);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(10, 10, 10, 10);
  layout->setSpacing(10);
  layout->addWidget(panel);
  layout->addLayout(buttons);

  connect(_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(_recordButton, &QPushButton::clicked, this, &VideoRecordingDialog::videoStartClicked);
  connect(_recordButton, &QPushButton::clicked, this, &VideoRecordingDialog::startClicked);
  // The buttons show the stopped state before the recording is saved, so that a failed save can
  // enable " Stop " again.
  connect(_stopButton, &QPushButton::clicked, this, &VideoRecordingDialog::stopClicked);
  connect(_stopButton, &QPushButton::clicked, this, &VideoRecordingDialog::videoStopClicked);
  connect(_frameBox, &SliderSpinBox::valueChanged, this, &VideoRecordingDialog::frameChanged);
}

void VideoRecordingDialog::setFrameRecord(int n) {
  _framesLabel->setNum(n);
  _durationLabel->setNum(n / getFrame());
}

int VideoRecordingDialog::getFrame() const {
  return _frameBox->getValue();
}

void VideoRecordingDialog::startClicked() {
  _recordButton->setEnabled(false);
  _stopButton->setEnabled(true);
  _cancelButton->setEnabled(true);
  _framesLabel->setNum(0);
  _durationLabel->setNum(0);
  _stopButton->setFocusPolicy(Qt::StrongFocus);
}

void VideoRecordingDialog::stopClicked() {
  _recordButton->setEnabled(true);
  _cancelButton->setFocusPolicy(Qt::StrongFocus);
  _stopButton->setEnabled(false);
  _cancelButton->setEnabled(true);
}

void VideoRecordingDialog::framesKept() {
  _stopButton->setEnabled(true);
}

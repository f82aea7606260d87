#pragma once

#include "viewer/ViewerAnimationConfig.h"

#include <QFrame>

class QCheckBox;
class QSpinBox;

// The four values of an animation configuration: timeout (10 to 5000 ms), step size (1 to 100),
// "Automatically repeat" and "Circular animation". Values outside a range are clamped when set.
class ViewerAnimationEditor : public QFrame {
  Q_OBJECT

public:
  explicit ViewerAnimationEditor(QWidget* parent = nullptr);

  void setConfig(const ViewerAnimationConfig& config);
  ViewerAnimationConfig getConfig() const;

private:
  QSpinBox* _timeout;
  QSpinBox* _stepSize;
  QCheckBox* _autoRepeat;
  QCheckBox* _circular;
};

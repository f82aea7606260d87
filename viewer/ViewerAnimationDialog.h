#pragma once

#include "viewer/ViewerAnimationConfig.h"

#include <QDialog>

class ViewerAnimationEditor;

// "Animation setup": an animation editor above "Cancel" (rejects) and "Start" (accepts).
class ViewerAnimationDialog : public QDialog {
  Q_OBJECT

public:
  explicit ViewerAnimationDialog(QWidget* parent = nullptr);

  void setConfig(const ViewerAnimationConfig& config);
  ViewerAnimationConfig getConfig() const;

private:
  ViewerAnimationEditor* _editor;
};

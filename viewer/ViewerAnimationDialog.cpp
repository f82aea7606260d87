#include "viewer/ViewerAnimationDialog.h"

#include "viewer/ViewerAnimationEditor.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

ViewerAnimationDialog::ViewerAnimationDialog(QWidget* parent)
    : QDialog(parent), _editor(new ViewerAnimationEditor(this)) {
  setWindowTitle("Animation setup");
  auto* cancel = new QPushButton("Cancel", this);
  auto* start = new QPushButton("Start", this);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(start, &QPushButton::clicked, this, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cancel);
  buttons->addWidget(start);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(_editor);
  layout->addLayout(buttons);
}

void ViewerAnimationDialog::setConfig(const ViewerAnimationConfig& config) {
  _editor->setConfig(config);
}

ViewerAnimationConfig ViewerAnimationDialog::getConfig() const {
  return _editor->getConfig();
}

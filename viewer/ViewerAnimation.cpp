#include "viewer/ViewerAnimation.h"

#include <QTimer>

#include <algorithm>

ViewerAnimation::ViewerAnimation() : _timer(new QTimer(this)) {
  connect(_timer, &QTimer::timeout, this, &ViewerAnimation::makeOneStep);
}

ViewerAnimation::~ViewerAnimation() = default;

void ViewerAnimation::setPainters(const std::vector<ShapePainterGL<float>*>& painters) {
  _painters.clear();
  for (ShapePainterGL<float>* painter : painters) _painters.push_back({painter, painter->isVisible()});
}

std::vector<ShapePainterGL<float>*> ViewerAnimation::getPainters() const {
  std::vector<ShapePainterGL<float>*> painters;
  for (const Step& step : _painters) painters.push_back(step.painter);
  return painters;
}

void ViewerAnimation::setConfig(const ViewerAnimationConfig& config) {
  if (config.getTimeout() != _config.getTimeout() && isRunning()) _timer->setInterval(config.getTimeout());
  _config = config;
}

void ViewerAnimation::toggle() {
  if (isRunning()) {
    stop();
    return;
  }
  for (Step& step : _painters) step.visibleBefore = step.painter->isVisible();
  setCurrentIndex(0);
  _forward = true;
  _timer->start(_config.getTimeout());
}

void ViewerAnimation::stop() {
  _timer->stop();
  for (const Step& step : _painters) setVisible(*step.painter, step.visibleBefore);
  emit currentIndexChanged(_currentIndex);
}

void ViewerAnimation::setVisible(ShapePainterGL<float>& painter, bool visible) {
  ShapePainterAttributesGL attributes = painter.getAttributes();
  attributes.setVisibility(visible);
  painter.setAttributes(attributes);
}

bool ViewerAnimation::isRunning() const {
  return _timer->isActive();
}

void ViewerAnimation::makeOneStep() {
  const int step = _config.getStepSize();
  setCurrentIndex(_forward ? _currentIndex + step : _currentIndex - step);
}

void ViewerAnimation::setCurrentIndex(int i) {
  const int n = static_cast<int>(_painters.size());
  const int last = std::max(n - 1, 0);
  int index = i;
  if (i >= n) {
    if (!_config.isAutoRepeat()) {
      stop();
      return;
    }
    if (!_config.isCircular()) {
      _forward = false;
      index = std::max(n - 2, 0); // the last window was shown on the way up
    } else {
      index = 0;
    }
  }
  if (i < 0) {
    if (!_config.isCircular()) {
      _forward = true;
      index = 0;
    } else {
      index = last;
    }
  }
  _currentIndex = index;
  const int end = _currentIndex + _config.getStepSize();
  for (int k = 0; k < n; ++k)
    setVisible(*_painters[static_cast<std::size_t>(k)].painter, _currentIndex <= k && k < end);
  emit currentIndexChanged(_currentIndex);
}

void ViewerAnimation::removePainter(PainterGL<float>& painter) {
  _painters.erase(std::remove_if(_painters.begin(), _painters.end(),
                                 [&](const Step& step) { return step.painter == &painter; }),
                  _painters.end());
}

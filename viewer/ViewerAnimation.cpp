#include "viewer/ViewerAnimation.h"

#include "viewer/ShapeViewerPainterGL.h"

#include <QTimer>

#include <algorithm>

ViewerAnimation::ViewerAnimation() : _timer(new QTimer(this)) {
  connect(_timer, &QTimer::timeout, this, &ViewerAnimation::makeOneStep);
}

ViewerAnimation::~ViewerAnimation() = default;

void ViewerAnimation::setPainters(const std::vector<PainterGL<float>*>& painters) {
  _painters = painters;
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
  rememberVisibility();
  setCurrentIndex(0);
  _forward = true;
  _timer->start(_config.getTimeout());
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
      if (isRunning()) stop();
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
  for (int k = 0; k < n; ++k) {
    auto* painter = dynamic_cast<ShapeViewerPainterGL*>(_painters[static_cast<std::size_t>(k)]);
    if (!painter || !painter->getProxy()) continue;
    ShapePainterAttributesGL attributes = painter->getProxy()->getAttributes();
    attributes.setVisibility(_currentIndex <= k && k < end);
    painter->getProxy()->setAttributes(attributes);
  }
  emit currentIndexChanged(_currentIndex);
}

void ViewerAnimation::removePainter(PainterGL<float>& painter) {
  _painters.erase(std::remove(_painters.begin(), _painters.end(), &painter), _painters.end());
  const auto isRemoved = [&](const auto& kept) { return kept.first == &painter; };
  _visibleBefore.erase(std::remove_if(_visibleBefore.begin(), _visibleBefore.end(), isRemoved),
                       _visibleBefore.end());
}

void ViewerAnimation::stop() {
  _timer->stop();
  restoreVisibility();
  emit currentIndexChanged(_currentIndex);
}

void ViewerAnimation::rememberVisibility() {
  _visibleBefore.clear();
  for (PainterGL<float>* painter : _painters) {
    auto* shapePainter = dynamic_cast<ShapeViewerPainterGL*>(painter);
    if (shapePainter && shapePainter->getProxy())
      _visibleBefore.emplace_back(painter, shapePainter->getProxy()->isVisible());
  }
}

void ViewerAnimation::restoreVisibility() {
  for (const auto& [painter, visible] : _visibleBefore) {
    ShapePainterGL<float>& proxy = *static_cast<ShapeViewerPainterGL*>(painter)->getProxy();
    ShapePainterAttributesGL attributes = proxy.getAttributes();
    attributes.setVisibility(visible);
    proxy.setAttributes(attributes);
  }
  _visibleBefore.clear();
}

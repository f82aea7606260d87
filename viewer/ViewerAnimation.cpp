#include "viewer/ViewerAnimation.h"

#include <QTimer>

#include <algorithm>

ViewerAnimation::ViewerAnimation() : _timer(new QTimer(this)) {
  connect(_timer, &QTimer::timeout, this, &ViewerAnimation::makeOneStep);
}

ViewerAnimation::~ViewerAnimation() = default;

void ViewerAnimation::setShapes(const std::vector<int>& keys) {
  _shapes.clear();
  for (int key : keys) _shapes.push_back({key, _isVisible(key)});
}

std::vector<int> ViewerAnimation::getShapes() const {
  std::vector<int> keys;
  for (const Step& step : _shapes) keys.push_back(step.key);
  return keys;
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
  for (Step& step : _shapes) step.visibleBefore = _isVisible(step.key);
  _forward = true;
  _timer->start(_config.getTimeout()); // running from the first window on
  setCurrentIndex(0);
}

void ViewerAnimation::stop() {
  _timer->stop();
  requestVisibility([this](int k) { return _shapes[static_cast<std::size_t>(k)].visibleBefore; });
  emit currentIndexChanged(_currentIndex);
}

void ViewerAnimation::requestVisibility(const std::function<bool(int position)>& visible) {
  std::vector<int> keys;
  std::vector<bool> shown;
  for (std::size_t k = 0; k < _shapes.size(); ++k) {
    keys.push_back(_shapes[k].key);
    shown.push_back(visible(static_cast<int>(k)));
  }
  if (!keys.empty()) emit visibilityRequested(keys, shown);
}

bool ViewerAnimation::isRunning() const {
  return _timer->isActive();
}

void ViewerAnimation::makeOneStep() {
  const int step = _config.getStepSize();
  setCurrentIndex(_forward ? _currentIndex + step : _currentIndex - step);
}

void ViewerAnimation::setCurrentIndex(int i) {
  const int n = static_cast<int>(_shapes.size());
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
  requestVisibility([&](int k) { return _currentIndex <= k && k < end; });
  emit currentIndexChanged(_currentIndex);
}

void ViewerAnimation::removeShapes(const std::vector<int>& keys) {
  _shapes.erase(std::remove_if(_shapes.begin(), _shapes.end(),
                               [&](const Step& step) {
                                 return std::find(keys.begin(), keys.end(), step.key) != keys.end();
                               }),
                _shapes.end());
}

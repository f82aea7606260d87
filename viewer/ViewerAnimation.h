#pragma once

#include "viewer/ViewerAnimationConfig.h"

#include <QObject>

#include <functional>
#include <utility>
#include <vector>

class QTimer;

// Steps through a list of shapes on a timer, showing a window of stepSize of them at a time and
// hiding the others: forward and then from the start again (circular), or forward and back (back and
// forth); without auto-repeat it stops at the end. When it stops, every shape gets back the
// visibility it had at the start. The shapes are named by keys that mean something to whoever holds
// them: the animation shows and hides nothing itself but asks for it with visibilityRequested, and
// reads their visibility at the start through the function given (all visible until one is given).
class ViewerAnimation : public QObject {
  Q_OBJECT

public:
  ViewerAnimation();
  ~ViewerAnimation() override;

  void setShapes(const std::vector<int>& keys);
  std::vector<int> getShapes() const;
  void setVisibilityReader(std::function<bool(int key)> isVisible) { _isVisible = std::move(isVisible); }
  // A new timeout applies at once to a running timer.
  void setConfig(const ViewerAnimationConfig& config);
  const ViewerAnimationConfig& getConfig() const { return _config; }
  // Starts from the first painter, going forward, when stopped; otherwise stops. Stopping, by this
  // or at the end of a run that does not repeat, gives every painter back the visibility it had when
  // the animation started.
  void toggle();
  void stop();            // the shapes' visibility as before the start; emits currentIndexChanged
  bool isRunning() const; // the timer runs
  int getCurrentIndex() const { return _currentIndex; }

signals:
  void currentIndexChanged(int index);
  // Each shape keys[k] is to be shown exactly when visible[k]; one request for every step.
  void visibilityRequested(const std::vector<int>& keys, const std::vector<bool>& visible);

public slots:
  // Shows shapes index to index + stepSize - 1; an index past either end turns, wraps or stops
  // as the configuration says.
  void setCurrentIndex(int index);
  void makeOneStep();                              // one tick: stepSize on in the direction of travel
  void removeShapes(const std::vector<int>& keys); // forgets shapes that are going

private:
  struct Step {
    int key;
    bool visibleBefore; // at the start
  };
  void requestVisibility(const std::function<bool(int position)>& visible);

  std::vector<Step> _shapes;
  std::function<bool(int key)> _isVisible = [](int) { return true; };
  int _currentIndex = 0;
  ViewerAnimationConfig _config;
  QTimer* _timer;
  bool _forward = true;
};

#pragma once

#include "rendering/ShapePainterGL.h"
#include "viewer/ViewerAnimationConfig.h"

#include <QObject>

#include <utility>
#include <vector>

class QTimer;

// Steps through a list of painters on a timer, showing a window of stepSize of them at a time and
// hiding the others: forward and then from the start again (circular), or forward and back (back and
// forth); without auto-repeat it stops at the end. When it stops, every painter gets back the
// visibility it had at the start. The painters are not owned: whoever deletes one tells the
// animation through removePainter() first.
class ViewerAnimation : public QObject {
  Q_OBJECT

public:
  ViewerAnimation();
  ~ViewerAnimation() override;

  void setPainters(const std::vector<ShapePainterGL<float>*>& painters); // copies the list
  std::vector<ShapePainterGL<float>*> getPainters() const;
  // A new timeout applies at once to a running timer.
  void setConfig(const ViewerAnimationConfig& config);
  const ViewerAnimationConfig& getConfig() const { return _config; }
  // Starts from the first painter, going forward, when stopped; otherwise stops. Stopping, by this
  // or at the end of a run that does not repeat, gives every painter back the visibility it had when
  // the animation started.
  void toggle();
  void stop();            // the painters' visibility as before the start; emits currentIndexChanged
  bool isRunning() const; // the timer runs
  int getCurrentIndex() const { return _currentIndex; }

signals:
  void currentIndexChanged(int index);

public slots:
  // Shows painters index to index + stepSize - 1; an index past either end turns, wraps or stops
  // as the configuration says.
  void setCurrentIndex(int index);
  void makeOneStep();                            // one tick: stepSize on in the direction of travel
  void removePainter(PainterGL<float>& painter); // forgets a painter about to be deleted

private:
  struct Step {
    ShapePainterGL<float>* painter;
    bool visibleBefore; // at the start
  };
  void setVisible(ShapePainterGL<float>& painter, bool visible);

  std::vector<Step> _painters;
  int _currentIndex = 0;
  ViewerAnimationConfig _config;
  QTimer* _timer;
  bool _forward = true;
};

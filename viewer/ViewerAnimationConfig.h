#pragma once

// How the pose animation runs: how many painters it shows at once and moves on by per tick, whether
// it starts again after the end, whether it starts again from the first painter (circular) or turns
// back (back and forth), and its timer interval in milliseconds.
class ViewerAnimationConfig {
public:
  void setStepSize(int size) { _stepSize = size; }
  int getStepSize() const { return _stepSize; }
  void setAutoRepeat(bool on) { _autoRepeat = on; }
  bool isAutoRepeat() const { return _autoRepeat; }
  void setCircular(bool on) { _circular = on; }
  bool isCircular() const { return _circular; }
  void setTimeout(int milliseconds) { _timeout = milliseconds; }
  int getTimeout() const { return _timeout; }

private:
  int _stepSize = 1;
  bool _autoRepeat = true;
  bool _circular = true;
  int _timeout = 50;
};

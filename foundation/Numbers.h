#pragma once

#include <iosfwd>

// Summary statistics of a vector; each value is absent until it is set.
// Getting an absent value raises a UsageError "Value not set".
template <class T> class Numbers {
public:
  Numbers() = default;
  Numbers(const Numbers& other);
  Numbers& operator=(const Numbers& other);
  ~Numbers();

  void clear(); // every value absent again

  void setCount(unsigned int count);
  void setMinimum(T value);
  void setMaximum(T value);
  void setMedian(T value);
  void setSum(T value);
  void setMean(T value);
  void setStddev(T value);

  bool hasCount() const { return _count != nullptr; }
  bool hasMinimum() const { return _minimum != nullptr; }
  bool hasMaximum() const { return _maximum != nullptr; }
  bool hasMedian() const { return _median != nullptr; }
  bool hasSum() const { return _sum != nullptr; }
  bool hasMean() const { return _mean != nullptr; }
  bool hasStddev() const { return _stddev != nullptr; }

  unsigned int getCount() const;
  T getMinimum() const;
  T getMaximum() const;
  T getMedian() const;
  T getSum() const;
  T getMean() const;
  T getStddev() const;

private:
  unsigned int* _count = nullptr;
  T* _minimum = nullptr;
  T* _maximum = nullptr;
  T* _median = nullptr;
  T* _sum = nullptr;
  T* _mean = nullptr;
  T* _stddev = nullptr;
};

// Seven lines "Count:   ", "Minimum: ", "Median:  ", "Maximum: ", "Sum:     ", "Mean:    ", "StdDev:  "
// each followed by its value, or by "not set" for an absent one.
template <class T> std::ostream& operator<<(std::ostream& os, const Numbers<T>& numbers);

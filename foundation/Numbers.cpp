#include "foundation/Numbers.h"

#include "foundation/ErrorThrowing.h"
#include "foundation/Exception.h"

#include <ostream>

namespace {

template <class V> void copyValue(V*& target, const V* source) {
  delete target;
  target = source ? new V(*source) : nullptr;
}

template <class V> void storeValue(V*& target, V value) {
  if (target)
    *target = value;
  else
    target = new V(value);
}

template <class V> V readValue(const V* value, const char* where) {
  if (!value) throwError<UsageError>(where, "Value not set");
  return *value;
}

// Writes label, then the value get() returns, or "not set" when the value is absent.
template <class Get> void printValue(std::ostream& os, const char* label, bool present, Get get) {
  os << label;
  if (present)
    os << +get(); // character types print as numbers, not as characters
  else
    os << "not set";
  os << "\n";
}

} // namespace

template <class T> Numbers<T>::Numbers(const Numbers& other) {
  *this = other;
}

template <class T> Numbers<T>& Numbers<T>::operator=(const Numbers& other) {
  if (this == &other) return *this;
  copyValue(_count, other._count);
  copyValue(_minimum, other._minimum);
  copyValue(_maximum, other._maximum);
  copyValue(_median, other._median);
  copyValue(_sum, other._sum);
  copyValue(_mean, other._mean);
  copyValue(_stddev, other._stddev);
  return *this;
}

template <class T> Numbers<T>::~Numbers() {
  clear();
}

template <class T> void Numbers<T>::clear() {
  copyValue<unsigned int>(_count, nullptr);
  copyValue<T>(_minimum, nullptr);
  copyValue<T>(_maximum, nullptr);
  copyValue<T>(_median, nullptr);
  copyValue<T>(_sum, nullptr);
  copyValue<T>(_mean, nullptr);
  copyValue<T>(_stddev, nullptr);
}

template <class T> void Numbers<T>::setCount(unsigned int count) {
  storeValue(_count, count);
}
template <class T> void Numbers<T>::setMinimum(T value) {
  storeValue(_minimum, value);
}
template <class T> void Numbers<T>::setMaximum(T value) {
  storeValue(_maximum, value);
}
template <class T> void Numbers<T>::setMedian(T value) {
  storeValue(_median, value);
}
template <class T> void Numbers<T>::setSum(T value) {
  storeValue(_sum, value);
}
template <class T> void Numbers<T>::setMean(T value) {
  storeValue(_mean, value);
}
template <class T> void Numbers<T>::setStddev(T value) {
  storeValue(_stddev, value);
}

template <class T> unsigned int Numbers<T>::getCount() const {
  return readValue(_count, OSTREL_HERE);
}
template <class T> T Numbers<T>::getMinimum() const {
  return readValue(_minimum, OSTREL_HERE);
}
template <class T> T Numbers<T>::getMaximum() const {
  return readValue(_maximum, OSTREL_HERE);
}
template <class T> T Numbers<T>::getMedian() const {
  return readValue(_median, OSTREL_HERE);
}
template <class T> T Numbers<T>::getSum() const {
  return readValue(_sum, OSTREL_HERE);
}
template <class T> T Numbers<T>::getMean() const {
  return readValue(_mean, OSTREL_HERE);
}
template <class T> T Numbers<T>::getStddev() const {
  return readValue(_stddev, OSTREL_HERE);
}

template <class T> std::ostream& operator<<(std::ostream& os, const Numbers<T>& numbers) {
  printValue(os, "Count:   ", numbers.hasCount(), [&] { return numbers.getCount(); });
  printValue(os, "Minimum: ", numbers.hasMinimum(), [&] { return numbers.getMinimum(); });
  printValue(os, "Median:  ", numbers.hasMedian(), [&] { return numbers.getMedian(); });
  printValue(os, "Maximum: ", numbers.hasMaximum(), [&] { return numbers.getMaximum(); });
  printValue(os, "Sum:     ", numbers.hasSum(), [&] { return numbers.getSum(); });
  printValue(os, "Mean:    ", numbers.hasMean(), [&] { return numbers.getMean(); });
  printValue(os, "StdDev:  ", numbers.hasStddev(), [&] { return numbers.getStddev(); });
  return os;
}

#define OSTREL_INSTANTIATE_NUMBERS(T)                                                                        \
  template class Numbers<T>;                                                                                 \
  template std::ostream& operator<<(std::ostream&, const Numbers<T>&);

OSTREL_INSTANTIATE_NUMBERS(char)
OSTREL_INSTANTIATE_NUMBERS(unsigned char)
OSTREL_INSTANTIATE_NUMBERS(short)
OSTREL_INSTANTIATE_NUMBERS(unsigned short)
OSTREL_INSTANTIATE_NUMBERS(int)
OSTREL_INSTANTIATE_NUMBERS(unsigned int)
OSTREL_INSTANTIATE_NUMBERS(long)
OSTREL_INSTANTIATE_NUMBERS(float)
OSTREL_INSTANTIATE_NUMBERS(double)
OSTREL_INSTANTIATE_NUMBERS(long double)
OSTREL_INSTANTIATE_NUMBERS(bool)

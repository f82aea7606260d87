#include "foundation/Vector.h"

#include "foundation/ErrorThrowing.h"
#include "foundation/Exception.h"
#include "foundation/Matrix.h"
#include "foundation/Numbers.h"
#include "foundation/RandomGenerator.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>
#include <type_traits>

namespace {

// === Failures

// The operations that make no sense in integer arithmetic are refused per type.
template <class T>
constexpr bool isOneOf = std::is_same_v<T, unsigned char> || std::is_same_v<T, short> ||
                         std::is_same_v<T, unsigned short> || std::is_same_v<T, unsigned int>;
template <class T>
constexpr bool refusesNorm = isOneOf<T> || std::is_same_v<T, char> || std::is_same_v<T, int>;
template <class T> constexpr bool refusesDeviation = isOneOf<T> || std::is_same_v<T, int>;
template <class T> constexpr bool refusesMad = isOneOf<T>;

const char* const kDifferentSizes = "The two vectors have different sizes";
const char* const kEmpty = "This vector is empty.";
const char* const kMaskLength = "The mask is not the same length as this vector";

// === Arithmetic in the element type. bool gets the logical meaning of the integer result converted
// back to bool, written without integer arithmetic.

template <class T> inline T add(T a, T b) {
  if constexpr (std::is_same_v<T, bool>)
    return a || b;
  else
    return static_cast<T>(a + b);
}
template <class T> inline T sub(T a, T b) {
  if constexpr (std::is_same_v<T, bool>)
    return a != b;
  else
    return static_cast<T>(a - b);
}
template <class T> inline T mul(T a, T b) {
  if constexpr (std::is_same_v<T, bool>)
    return a && b;
  else
    return static_cast<T>(a * b);
}
template <class T> inline T divide(T a, T b) {
  if constexpr (std::is_same_v<T, bool>)
    return b ? a : a; // division by false is the caller's fault, as for the integers
  else
    return static_cast<T>(a / b);
}
template <class T> inline T negate(T a) {
  if constexpr (std::is_same_v<T, bool>)
    return a;
  else
    return static_cast<T>(-a);
}
template <class T> inline T absDiff(T a, T b) {
  return a > b ? sub(a, b) : sub(b, a);
}
template <class T> inline T absolute(T a) {
  if constexpr (std::is_signed_v<T>)
    return a < 0 ? negate(a) : a;
  else
    return a;
}
template <class T> inline T root(T a) {
  if constexpr (std::is_floating_point_v<T>)
    return std::sqrt(a);
  else
    return static_cast<T>(std::sqrt(static_cast<double>(a)));
}
template <class T> inline T half(T a, T b) {
  if constexpr (std::is_same_v<T, bool>)
    return a || b;
  else
    return static_cast<T>((a + b) * 0.5);
}

// Correlation with a kernel centred on each of size positions, cut at both ends: result[i] sums
// sample(i + j) * kernel[centre + j] over the j that stay inside.
template <class T, class Sample>
void correlate(int size, const T* kernel, int kernelSize, T* result, Sample sample) {
  const int centre = kernelSize / 2;
  for (int i = 0; i < size; ++i) {
    const int first = std::max(-centre, -i);
    const int last = std::min(kernelSize - 1 - centre, size - 1 - i);
    T s = static_cast<T>(0);
    for (int j = first; j <= last; ++j) s = add(s, mul(sample(i + j), kernel[centre + j]));
    result[i] = s;
  }
}

// A total shared among count elements; a bool total stays as it is.
template <class T> inline T perElement(T total, int count) {
  if constexpr (std::is_same_v<T, bool>)
    return total;
  else
    return static_cast<T>(total / count);
}

template <class T> int compareAscending(const void* a, const void* b) {
  const T& x = *static_cast<const T*>(a);
  const T& y = *static_cast<const T*>(b);
  return x < y ? -1 : (y < x ? 1 : 0);
}

} // namespace

// === Construction, storage, assignment

template <class T> Vector<T>::Vector(int n) {
  if (n > 0) {
    _data = new T[n];
    _size = n;
  }
}

template <class T> Vector<T>::Vector(int n, T* data) : _data(data), _size(n), _shallow(true) {}

template <class T> Vector<T>::Vector(const Vector& source) : Vector(source._size) {
  std::copy(source._data, source._data + _size, _data);
}

template <class T> Vector<T>::Vector(const std::vector<T>& source) : Vector(static_cast<int>(source.size())) {
  for (int i = 0; i < _size; ++i) _data[i] = source[i];
}

template <class T> Vector<T>::~Vector() {
  release();
}

template <class T> void Vector<T>::release() {
  if (!_shallow) delete[] _data;
  _data = nullptr;
  _size = 0;
  _shallow = false;
}

template <class T> void Vector<T>::setSize(int n, T* data) {
  if (data) {
    release();
    _size = n;
    _data = data;
    _shallow = true;
    return;
  }
  if (n == _size) return;
  if (_shallow)
    throwError<UsageError>(OSTREL_HERE, "This is a shallow vector, cannot be resized without data");
  T* fresh = n > 0 ? new T[n] : nullptr;
  release();
  _data = fresh;
  _size = fresh ? n : 0;
}

template <class T> Vector<T>& Vector<T>::operator=(const Vector& source) {
  if (this == &source) return *this;
  setSize(source._size);
  std::copy(source._data, source._data + _size, _data);
  return *this;
}

template <class T> void Vector<T>::swap(Vector& other) {
  if (!_shallow && !other._shallow) {
    std::swap(_size, other._size);
    std::swap(_data, other._data);
    return;
  }
  if (_size != other._size)
    throwError<UsageError>(OSTREL_HERE, "Vector size differ and at least one of them is shallow");
  std::swap_ranges(_data, _data + _size, other._data);
}

template <class T> void Vector<T>::append(const Vector& v) {
  if (_shallow) throwError<UsageError>(OSTREL_HERE, "This is a shallow vector (cannot be resized)");
  Vector joined(_size + v._size);
  std::copy(_data, _data + _size, joined._data);
  std::copy(v._data, v._data + v._size, joined._data + _size);
  swap(joined);
}

template <class T> void Vector<T>::prepend(const Vector& v) {
  if (_shallow) throwError<UsageError>(OSTREL_HERE, "This is a shallow vector (cannot be resized)");
  Vector joined(_size + v._size);
  std::copy(v._data, v._data + v._size, joined._data);
  std::copy(_data, _data + _size, joined._data + v._size);
  swap(joined);
}

template <class T> Vector<T> Vector<T>::copy(int first, int last) const {
  Vector part(last - first + 1);
  std::copy(_data + first, _data + first + part._size, part._data);
  return part;
}

template <class T> Vector<T> Vector<T>::copyFrom(int first) const {
  return copy(first, _size - 1);
}

template <class T> Vector<T> Vector<T>::copyUntil(int last) const {
  return copy(0, last);
}

template <class T> void Vector<T>::paste(int pos, const Vector& v) {
  if (pos + v._size > _size)
    throwError<SizeError>(OSTREL_HERE, "Vector to large to be pasted at specified position");
  std::copy(v._data, v._data + v._size, _data + pos);
}

namespace {

// The plain conversion of one element. A floating-point value goes to an integer type through a
// 64-bit integer: truncated toward zero, then wrapped into the narrower type without clamping, as
// the processor does for in-range values (a direct conversion of a value the target cannot hold
// is undefined). Values no 64-bit integer holds, and NaN, give 0.
template <class U, class T> inline U converted(T value) {
  if constexpr (std::is_floating_point_v<T> && std::is_integral_v<U>) {
    constexpr T limit = static_cast<T>(9223372036854775807.0);
    if (!(value > -limit && value < limit)) return static_cast<U>(0);
    return static_cast<U>(static_cast<long long>(value));
  } else {
    return static_cast<U>(value);
  }
}

} // namespace

template <class T> template <class U> Vector<U> Vector<T>::toType() const {
  Vector<U> result(_size);
  U* out = result.data();
  for (int i = 0; i < _size; ++i) out[i] = converted<U>(_data[i]);
  return result;
}

// === Filling and in-place transforms

template <class T> void Vector<T>::fill(T value) {
  std::fill(_data, _data + _size, value);
}

template <class T> void Vector<T>::setZeros() {
  fill(static_cast<T>(0));
}

template <class T> void Vector<T>::setOnes() {
  fill(static_cast<T>(1));
}

template <class T> void Vector<T>::setZeros(int n) {
  setSize(n);
  setZeros();
}

template <class T> void Vector<T>::setOnes(int n) {
  setSize(n);
  setOnes();
}

template <class T> void Vector<T>::setCanonical(int i) {
  setZeros();
  _data[i] = static_cast<T>(1);
}

template <class T> void Vector<T>::setSequence(T step) {
  for (int i = 0; i < _size; ++i) _data[i] = mul(static_cast<T>(i), step);
}

template <class T> void Vector<T>::setSequence(T start, T step) {
  for (int i = 0; i < _size; ++i) _data[i] = add(start, mul(static_cast<T>(i), step));
}

template <class T> void Vector<T>::apply(T (*f)(T)) {
  for (int i = 0; i < _size; ++i) _data[i] = f(_data[i]);
}

template <class T> void Vector<T>::sort() {
  if (_size > 1) std::qsort(_data, static_cast<std::size_t>(_size), sizeof(T), compareAscending<T>);
}

template <class T> void Vector<T>::reverse() {
  std::reverse(_data, _data + _size);
}

template <class T> void Vector<T>::circShift() {
  if (_size > 1) std::rotate(_data, _data + _size - 1, _data + _size);
}

template <class T> void Vector<T>::shuffle(RandomGenerator& random) {
  for (int round = 0; round < _size; ++round) {
    const int i = static_cast<int>(random.uniformL(_size));
    const int j = static_cast<int>(random.uniformL(_size));
    std::swap(_data[i], _data[j]);
  }
}

template <class T> void Vector<T>::shuffle(const Vector<int>& permutation) {
  if (permutation.getSize() != _size)
    throwError<SizeError>(OSTREL_HERE, "Permutation size differs from number of elements");
  const Vector old(*this);
  for (int i = 0; i < _size; ++i) _data[i] = old._data[permutation[i]];
}

template <class T> void Vector<T>::unshuffle(const Vector<int>& permutation) {
  if (permutation.getSize() != _size)
    throwError<SizeError>(OSTREL_HERE, "Permutation size differs from number of elements");
  const Vector old(*this);
  for (int i = 0; i < _size; ++i) _data[permutation[i]] = old._data[i];
}

template <class T> void Vector<T>::normalize() {
  if constexpr (refusesNorm<T>) throwNotAvailableFor<T>(OSTREL_HERE);
  const T length = norm();
  if (length > 0)
    for (int i = 0; i < _size; ++i) _data[i] = divide(_data[i], length);
}

// === Element-wise arithmetic

#define OSTREL_REQUIRE_SAME_SIZE(v)                                                                          \
  if ((v)._size != _size) throwError<SizeError>(OSTREL_HERE, kDifferentSizes)

template <class T> Vector<T> Vector<T>::operator-() const {
  Vector result(_size);
  for (int i = 0; i < _size; ++i) result._data[i] = negate(_data[i]);
  return result;
}

template <class T> Vector<T> Vector<T>::operator+(const Vector& v) const {
  OSTREL_REQUIRE_SAME_SIZE(v);
  Vector result(_size);
  for (int i = 0; i < _size; ++i) result._data[i] = add(_data[i], v._data[i]);
  return result;
}

template <class T> Vector<T> Vector<T>::operator-(const Vector& v) const {
  OSTREL_REQUIRE_SAME_SIZE(v);
  Vector result(_size);
  for (int i = 0; i < _size; ++i) result._data[i] = sub(_data[i], v._data[i]);
  return result;
}

template <class T> Vector<T> Vector<T>::operator/(const Vector& v) const {
  OSTREL_REQUIRE_SAME_SIZE(v);
  Vector result(_size);
  for (int i = 0; i < _size; ++i) result._data[i] = divide(_data[i], v._data[i]);
  return result;
}

template <class T> Vector<T> Vector<T>::pointwiseProduct(const Vector& v) const {
  OSTREL_REQUIRE_SAME_SIZE(v);
  Vector result(_size);
  for (int i = 0; i < _size; ++i) result._data[i] = mul(_data[i], v._data[i]);
  return result;
}

template <class T> void Vector<T>::operator+=(const Vector& v) {
  OSTREL_REQUIRE_SAME_SIZE(v);
  for (int i = 0; i < _size; ++i) _data[i] = add(_data[i], v._data[i]);
}

template <class T> void Vector<T>::operator-=(const Vector& v) {
  OSTREL_REQUIRE_SAME_SIZE(v);
  for (int i = 0; i < _size; ++i) _data[i] = sub(_data[i], v._data[i]);
}

template <class T> void Vector<T>::operator/=(const Vector& v) {
  OSTREL_REQUIRE_SAME_SIZE(v);
  for (int i = 0; i < _size; ++i) _data[i] = divide(_data[i], v._data[i]);
}

template <class T> Vector<T> Vector<T>::operator+(T value) const {
  Vector result(*this);
  result += value;
  return result;
}

template <class T> Vector<T> Vector<T>::operator-(T value) const {
  Vector result(*this);
  result -= value;
  return result;
}

template <class T> Vector<T> Vector<T>::operator*(T value) const {
  Vector result(*this);
  result *= value;
  return result;
}

template <class T> Vector<T> Vector<T>::operator/(T value) const {
  Vector result(*this);
  result /= value;
  return result;
}

template <class T> void Vector<T>::operator+=(T value) {
  for (int i = 0; i < _size; ++i) _data[i] = add(_data[i], value);
}

template <class T> void Vector<T>::operator-=(T value) {
  for (int i = 0; i < _size; ++i) _data[i] = sub(_data[i], value);
}

template <class T> void Vector<T>::operator*=(T value) {
  for (int i = 0; i < _size; ++i) _data[i] = mul(_data[i], value);
}

template <class T> void Vector<T>::operator/=(T value) {
  for (int i = 0; i < _size; ++i) _data[i] = divide(_data[i], value);
}

template <class T> bool Vector<T>::operator==(const Vector& v) const {
  if (v._size != _size) return false;
  for (int i = 0; i < _size; ++i)
    if (!(_data[i] == v._data[i])) return false;
  return true;
}

template <class T> bool Vector<T>::operator!=(const Vector& v) const {
  return !(*this == v);
}

// === Products, norms, distances

template <class T> T Vector<T>::scalarProduct(const Vector& v) const {
  OSTREL_REQUIRE_SAME_SIZE(v);
  T s = static_cast<T>(0);
  for (int i = 0; i < _size; ++i) s = add(s, mul(_data[i], v._data[i]));
  return s;
}

template <class T> T Vector<T>::snorm() const {
  return scalarProduct(*this);
}

template <class T> T Vector<T>::norm() const {
  if constexpr (refusesNorm<T>) throwNotAvailableFor<T>(OSTREL_HERE);
  return root(snorm());
}

template <class T> Vector<T> Vector<T>::vectorProduct(const Vector& v) const {
  if (_size != 3 || v._size != 3)
    throwError<SizeError>(OSTREL_HERE, "At least one vector have a size different from 3");
  const T* a = _data;
  const T* b = v._data;
  Vector result(3);
  result._data[0] = sub(mul(a[1], b[2]), mul(a[2], b[1]));
  result._data[1] = sub(mul(a[2], b[0]), mul(a[0], b[2]));
  result._data[2] = sub(mul(a[0], b[1]), mul(a[1], b[0]));
  return result;
}

template <class T> Matrix<T> Vector<T>::outerProduct(const Vector& v) const {
  Matrix<T> product(_size, v._size);
  for (int i = 0; i < _size; ++i)
    for (int j = 0; j < v._size; ++j) product(i, j) = mul(_data[i], v._data[j]);
  return product;
}

template <class T> T Vector<T>::sdistance(const Vector& v) const {
  OSTREL_REQUIRE_SAME_SIZE(v);
  T s = static_cast<T>(0);
  for (int i = 0; i < _size; ++i) {
    const T d = sub(_data[i], v._data[i]);
    s = add(s, mul(d, d));
  }
  return s;
}

template <class T> T Vector<T>::distance(const Vector& v) const {
  if constexpr (refusesDeviation<T>) throwNotAvailableFor<T>(OSTREL_HERE);
  return root(sdistance(v));
}

template <class T> T Vector<T>::manhattanDistance(const Vector& v) const {
  OSTREL_REQUIRE_SAME_SIZE(v);
  T s = static_cast<T>(0);
  for (int i = 0; i < _size; ++i) s = add(s, absDiff(_data[i], v._data[i]));
  return s;
}

template <class T> T Vector<T>::angle(const Vector& v) const {
  const T product = scalarProduct(v);
  if constexpr (std::is_floating_point_v<T>) {
    return std::acos(product / (std::sqrt(snorm()) * std::sqrt(v.snorm())));
  } else {
    const double lengths =
        std::sqrt(static_cast<double>(snorm())) * std::sqrt(static_cast<double>(v.snorm()));
    return static_cast<T>(std::acos(static_cast<double>(product) / lengths));
  }
}

template <class T> int Vector<T>::closestAxis() const {
  int axis = 0;
  for (int i = 1; i < _size; ++i)
    if (absolute(_data[i]) > absolute(_data[axis])) axis = i;
  return axis;
}

// Householder vector v (v[0] = 1) and beta with (I - beta v v') x = |x| e1, after Golub and Van Loan.
template <class T> void Vector<T>::householderVector(Vector& v, T& beta) const {
  v = *this;
  beta = static_cast<T>(0);
  if (_size == 0) return;
  T sigma = static_cast<T>(0);
  for (int i = 1; i < _size; ++i) sigma = add(sigma, mul(_data[i], _data[i]));
  v._data[0] = static_cast<T>(1);
  if (sigma == static_cast<T>(0)) return;
  const T x0 = _data[0];
  const T mu = root(add(mul(x0, x0), sigma));
  const T v0 = x0 <= static_cast<T>(0) ? sub(x0, mu) : divide(negate(sigma), add(x0, mu));
  beta = divide(mul(static_cast<T>(2), mul(v0, v0)), add(sigma, mul(v0, v0)));
  for (int i = 1; i < _size; ++i) v._data[i] = divide(v._data[i], v0);
}

template <class T> void Vector<T>::householderVector(T& beta) {
  if constexpr (refusesDeviation<T>) throwNotAvailableFor<T>(OSTREL_HERE);
  Vector v;
  householderVector(v, beta);
  *this = v;
}

template <class T> T Vector<T>::epsilon() {
  if constexpr (std::is_same_v<T, float>)
    return 1e-6f;
  else if constexpr (std::is_same_v<T, double>)
    return 1e-15;
  else if constexpr (std::is_same_v<T, long double>)
    return 1e-18L;
  else
    return static_cast<T>(0);
}

// === Statistics

#define OSTREL_REQUIRE_ELEMENTS()                                                                            \
  if (_size == 0) throwError<SizeError>(OSTREL_HERE, kEmpty)

template <class T> T Vector<T>::min() const {
  OSTREL_REQUIRE_ELEMENTS();
  return _data[minPos()];
}

template <class T> T Vector<T>::max() const {
  OSTREL_REQUIRE_ELEMENTS();
  return _data[maxPos()];
}

template <class T> Vector<T> Vector<T>::range() const {
  OSTREL_REQUIRE_ELEMENTS();
  Vector result(2);
  result._data[0] = min();
  result._data[1] = max();
  return result;
}

template <class T> int Vector<T>::minPos() const {
  OSTREL_REQUIRE_ELEMENTS();
  int position = 0;
  for (int i = 1; i < _size; ++i)
    if (_data[i] < _data[position]) position = i;
  return position;
}

template <class T> int Vector<T>::maxPos() const {
  OSTREL_REQUIRE_ELEMENTS();
  int position = 0;
  for (int i = 1; i < _size; ++i)
    if (_data[i] > _data[position]) position = i;
  return position;
}

template <class T> int Vector<T>::find(const T& value) const {
  for (int i = 0; i < _size; ++i)
    if (_data[i] == value) return i;
  return -1;
}

template <class T> T Vector<T>::sum() const {
  OSTREL_REQUIRE_ELEMENTS();
  T s = _data[0];
  for (int i = 1; i < _size; ++i) s = add(s, _data[i]);
  return s;
}

template <class T> T Vector<T>::prod() const {
  OSTREL_REQUIRE_ELEMENTS();
  T p = _data[0];
  for (int i = 1; i < _size; ++i) p = mul(p, _data[i]);
  return p;
}

template <class T> Vector<T> Vector<T>::csum() const {
  Vector result(_size);
  for (int i = 0; i < _size; ++i) result._data[i] = i == 0 ? _data[0] : add(result._data[i - 1], _data[i]);
  return result;
}

template <class T> Vector<T> Vector<T>::cprod() const {
  Vector result(_size);
  for (int i = 0; i < _size; ++i) result._data[i] = i == 0 ? _data[0] : mul(result._data[i - 1], _data[i]);
  return result;
}

template <class T> T Vector<T>::average() const {
  return perElement(sum(), _size);
}

template <class T> T Vector<T>::mean() const {
  if constexpr (refusesNorm<T>) throwNotAvailableFor<T>(OSTREL_HERE);
  OSTREL_REQUIRE_ELEMENTS();
  if constexpr (std::is_same_v<T, bool>) {
    // The share of true elements, rounded to the nearest truth value (a half rounds up).
    const auto trues = std::count(_data, _data + _size, true);
    return 2 * trues >= _size;
  } else {
    return average();
  }
}

template <class T> T Vector<T>::median() const {
  OSTREL_REQUIRE_ELEMENTS();
  if (_size == 1) return _data[0];
  if (_size == 2) return half(_data[0], _data[1]);
  Vector sorted(*this);
  sorted.sort();
  const int middle = _size / 2;
  return _size % 2 == 1 ? sorted._data[middle] : half(sorted._data[middle - 1], sorted._data[middle]);
}

template <class T> T Vector<T>::sse() const {
  if constexpr (refusesDeviation<T>) throwNotAvailableFor<T>(OSTREL_HERE);
  OSTREL_REQUIRE_ELEMENTS();
  const T m = average();
  T s = static_cast<T>(0);
  for (int i = 0; i < _size; ++i) {
    const T d = sub(_data[i], m);
    s = add(s, mul(d, d));
  }
  return s;
}

template <class T> T Vector<T>::var() const {
  if constexpr (refusesDeviation<T>) throwNotAvailableFor<T>(OSTREL_HERE);
  OSTREL_REQUIRE_ELEMENTS();
  return perElement(sse(), _size);
}

template <class T> T Vector<T>::std() const {
  if constexpr (refusesDeviation<T>) throwNotAvailableFor<T>(OSTREL_HERE);
  return root(var());
}

template <class T> T Vector<T>::mad() const {
  if constexpr (refusesMad<T>) throwNotAvailableFor<T>(OSTREL_HERE);
  const T m = median();
  Vector deviations(_size);
  for (int i = 0; i < _size; ++i) deviations._data[i] = absDiff(_data[i], m);
  return deviations.median();
}

template <class T> T Vector<T>::sem(bool unbiased) const {
  if constexpr (refusesDeviation<T>) throwNotAvailableFor<T>(OSTREL_HERE);
  OSTREL_REQUIRE_ELEMENTS();
  if (unbiased) {
    if (_size == 1) throwError<SizeError>(OSTREL_HERE, "This vector contains a single value.");
    const double n = _size;
    return static_cast<T>(std::sqrt(static_cast<double>(sse())) / (std::sqrt(n - 1.0) * std::sqrt(n)));
  }
  return perElement(root(sse()), _size);
}

template <class T> T Vector<T>::percentile(float p) const {
  if (!isIncreasing()) throwError<UsageError>(OSTREL_HERE, "This vector is not sorted in increasing order");
  const double position = static_cast<double>(_size - 1) * static_cast<double>(p) / 100.0;
  return _data[static_cast<int>(std::floor(position + 0.5))];
}

template <class T> bool Vector<T>::isIncreasing() const {
  OSTREL_REQUIRE_ELEMENTS();
  for (int i = 0; i + 1 < _size; ++i)
    if (_data[i] > _data[i + 1]) return false;
  return true;
}

template <class T> bool Vector<T>::isDecreasing() const {
  OSTREL_REQUIRE_ELEMENTS();
  for (int i = 0; i + 1 < _size; ++i)
    if (_data[i] < _data[i + 1]) return false;
  return true;
}

template <class T> bool Vector<T>::isConstant() const {
  for (int i = 1; i < _size; ++i)
    if (!(_data[i] == _data[0])) return false;
  return true;
}

template <class T> bool Vector<T>::isSymmetrical() const {
  if (_size < 2) return true;
  for (int i = 0; i <= _size - 1 - i; ++i)
    if (!(_data[i] == _data[_size - 1 - i])) return false;
  return true;
}

template <class T> bool Vector<T>::isAntiSymmetrical() const {
  if (_size < 2) return false;
  for (int i = 0; i < _size / 2; ++i)
    if (!(_data[i] == negate(_data[_size - 1 - i]))) return false;
  return true;
}

template <class T> Vector<T> Vector<T>::diff(int k) const {
  if (_size <= k) throwError<SizeError>(OSTREL_HERE, "This vector does not contain enough elements");
  Vector result(_size);
  for (int i = 0; i < _size - k; ++i) result._data[i] = sub(_data[i + k], _data[i]);
  for (int i = std::max(_size - k, 0); i < _size; ++i) result._data[i] = static_cast<T>(0);
  return result;
}

namespace {

// Bin of x among bins bins of lower edges origin + i * width, by bisection; the edges are computed
// in the element type. Below the origin: bin 0; at or beyond the last edge: the last bin.
template <class T> int binOf(T x, T origin, T width, int bins) {
  int lo = 0;
  int hi = bins;
  while (hi > lo + 1) {
    const int mid = (lo + hi) / 2;
    if (add(origin, mul(static_cast<T>(mid), width)) > x)
      hi = mid;
    else
      lo = mid;
  }
  return lo;
}

} // namespace

template <class T> Vector<unsigned int> Vector<T>::histogram(T origin, T width, int bins) const {
  Vector<unsigned int> counts(bins);
  counts.setZeros();
  if (bins < 1) return counts;
  for (int i = 0; i < _size; ++i) ++counts[binOf(_data[i], origin, width, bins)];
  return counts;
}

template <class T>
Vector<unsigned int> Vector<T>::histogram(T origin, T width, int bins, const Vector& mask) const {
  if (mask._size != _size) throwError<SizeError>(OSTREL_HERE, kMaskLength);
  Vector<unsigned int> counts(bins);
  counts.setZeros();
  if (bins < 1) return counts;
  for (int i = 0; i < _size; ++i)
    if (mask._data[i] != static_cast<T>(0)) ++counts[binOf(_data[i], origin, width, bins)];
  return counts;
}

template <class T> Numbers<T> Vector<T>::numbers() const {
  Numbers<T> summary;
  const T minimum = min();
  summary.setCount(static_cast<unsigned int>(_size));
  summary.setMinimum(minimum);
  summary.setMaximum(max());
  summary.setMedian(median());
  summary.setSum(sum());
  summary.setMean(average());
  return summary;
}

template <class T> Vector<T> Vector<T>::corr(const Vector& kernel) const {
  Vector result(_size);
  correlate(_size, kernel._data, kernel._size, result._data, [this](int n) { return _data[n]; });
  return result;
}

template <class T> Vector<T> Vector<T>::conv(const Vector& kernel) const {
  Vector reversed(kernel);
  reversed.reverse();
  return corr(reversed);
}

template <class T> Vector<T> Vector<T>::corr(const Vector& kernel, const Vector& mask) const {
  if (mask._size != _size) throwError<SizeError>(OSTREL_HERE, kMaskLength);
  Vector result(_size);
  correlate(_size, kernel._data, kernel._size, result._data,
            [&](int n) { return mul(_data[n], mask._data[n]); });
  return result;
}

template <class T> Vector<T> Vector<T>::conv(const Vector& kernel, const Vector& mask) const {
  Vector reversed(kernel);
  reversed.reverse();
  return corr(reversed, mask);
}

// === Instantiations

template class Vector<char>;
template class Vector<unsigned char>;
template class Vector<short>;
template class Vector<unsigned short>;
template class Vector<int>;
template class Vector<unsigned int>;
template class Vector<long>;
template class Vector<float>;
template class Vector<double>;
template class Vector<long double>;
template class Vector<bool>;

template Vector<float> Vector<unsigned int>::toType<float>() const;
template Vector<float> Vector<int>::toType<float>() const;
template Vector<unsigned char> Vector<float>::toType<unsigned char>() const;
template Vector<int> Vector<float>::toType<int>() const;
template Vector<float> Vector<float>::toType<float>() const;
template Vector<double> Vector<float>::toType<double>() const;
template Vector<long double> Vector<float>::toType<long double>() const;
template Vector<float> Vector<double>::toType<float>() const;
template Vector<float> Vector<long double>::toType<float>() const;

// Text columns of data sets use the storage operations only.
template Vector<std::string>::Vector(int);
template Vector<std::string>::Vector(int, std::string*);
template Vector<std::string>::Vector(const Vector&);
template Vector<std::string>::Vector(const std::vector<std::string>&);
template Vector<std::string>::~Vector();
template void Vector<std::string>::setSize(int, std::string*);
template Vector<std::string>& Vector<std::string>::operator=(const Vector&);
template void Vector<std::string>::swap(Vector&);
template void Vector<std::string>::append(const Vector&);
template void Vector<std::string>::prepend(const Vector&);
template Vector<std::string> Vector<std::string>::copy(int, int) const;
template Vector<std::string> Vector<std::string>::copyFrom(int) const;
template Vector<std::string> Vector<std::string>::copyUntil(int) const;
template void Vector<std::string>::paste(int, const Vector&);
template void Vector<std::string>::fill(std::string);
template void Vector<std::string>::reverse();
template int Vector<std::string>::find(const std::string&) const;
template bool Vector<std::string>::operator==(const Vector&) const;
template bool Vector<std::string>::operator!=(const Vector&) const;
template void Vector<std::string>::shuffle(const Vector<int>&);
template void Vector<std::string>::unshuffle(const Vector<int>&);

#pragma once

#include <vector>

template <class T> class Numbers;
template <class T> class Matrix;
class RandomGenerator;

// The numeric array of the whole system: points, directions, colours, value lists, histograms.
// Either owns its elements or is a shallow view over somebody else's array (a vertex store, an
// image row, a data set column); a shallow vector reads and writes the foreign elements in place
// and refuses every operation that would reallocate it (UsageError).
//
// Instantiated for char, unsigned char, short, unsigned short, int, unsigned int, float, double,
// long double and bool, and for the columns of data sets also for long (fully) and std::string
// (storage operations, find and comparison only).
// Index arguments are never checked; failures are Exception subclasses and leave the vector as it was.
template <class T> class Vector {
public:
  // === Construction, storage, assignment
  Vector() = default;
  explicit Vector(int n);       // n uninitialised elements (none when n < 1)
  Vector(int n, T* data);       // shallow view of n elements at data, nothing copied
  Vector(const Vector& source); // always an owning deep copy, also of a shallow source
  Vector(const std::vector<T>& source);
  ~Vector();

  int getSize() const { return _size; }
  bool isShallow() const { return _shallow; }
  T* data() { return _data; }
  const T* data() const { return _data; }
  T& operator[](int i) { return _data[i]; }
  const T& operator[](int i) const { return _data[i]; }

  // With data: become a shallow view of n elements at data (own storage is freed).
  // Without: same size keeps the contents; another size reallocates (uninitialised), refused when shallow.
  void setSize(int n, T* data = nullptr);
  Vector& operator=(const Vector& source); // resizes like setSize, so a shallow target keeps its size
  void swap(Vector& other);                // constant time when both own their storage
  void append(const Vector& v);
  void prepend(const Vector& v);
  Vector copy(int first, int last) const; // elements first..last inclusive
  Vector copyFrom(int first) const;
  Vector copyUntil(int last) const;
  void paste(int pos, const Vector& v); // writes v over this from pos on, in place
  template <class U> Vector<U> toType() const;

  // === Filling and in-place transforms
  void fill(T value);
  void setZeros();
  void setOnes();
  void setZeros(int n);
  void setOnes(int n);
  void setCanonical(int i);
  void setSequence(T step);
  void setSequence(T start, T step);
  void apply(T (*f)(T));
  void sort(); // ascending
  void reverse();
  void circShift();                               // the last element becomes the first
  void shuffle(RandomGenerator& random);          // n exchanges of two uniformly drawn positions
  void shuffle(const Vector<int>& permutation);   // element i becomes old element permutation[i]
  void unshuffle(const Vector<int>& permutation); // old element i goes to permutation[i]
  void normalize();                               // a zero vector stays as it is

  // === Element-wise arithmetic (vector operands must have this vector's size)
  Vector operator-() const;
  Vector operator+(const Vector& v) const;
  Vector operator-(const Vector& v) const;
  Vector operator/(const Vector& v) const;
  Vector pointwiseProduct(const Vector& v) const;
  void operator+=(const Vector& v);
  void operator-=(const Vector& v);
  void operator/=(const Vector& v);
  Vector operator+(T value) const;
  Vector operator-(T value) const;
  Vector operator*(T value) const;
  Vector operator/(T value) const;
  void operator+=(T value);
  void operator-=(T value);
  void operator*=(T value);
  void operator/=(T value);
  bool operator==(const Vector& v) const; // NaN never equals anything
  bool operator!=(const Vector& v) const;

  // === Products, norms, distances
  T scalarProduct(const Vector& v) const;
  T snorm() const;
  T norm() const;
  Vector vectorProduct(const Vector& v) const;   // both of size 3
  Matrix<T> outerProduct(const Vector& v) const; // n x m, entry (i, j) = a[i] b[j]
  T sdistance(const Vector& v) const;
  T distance(const Vector& v) const;
  T manhattanDistance(const Vector& v) const;
  T angle(const Vector& v) const;  // radians, the cosine is not clamped
  int closestAxis() const;         // index of the largest absolute value, the first on ties
  void householderVector(T& beta); // overwrites this vector with its Householder vector (first component 1)
  void householderVector(Vector& v, T& beta) const; // the same, written into v
  static T epsilon();                               // 1e-6 float, 1e-15 double, 1e-18 long double, else 0

  // === Statistics (SizeError "This vector is empty." where an empty vector has no answer)
  T min() const;
  T max() const;
  Vector range() const; // (min, max)
  int minPos() const;
  int maxPos() const;
  int find(const T& value) const; // -1 when absent
  T sum() const;                  // accumulated in T
  T prod() const;
  Vector csum() const;
  Vector cprod() const;
  T mean() const;
  T median() const; // sorts a private copy
  T sse() const;    // sum of squared deviations from the mean
  T var() const;    // population variance
  T std() const;
  T mad() const; // median absolute deviation from the median
  T sem(bool unbiased) const;
  T percentile(float p) const; // p in percent; the vector must be sorted increasingly
  bool isIncreasing() const;
  bool isDecreasing() const;
  bool isConstant() const;
  bool isSymmetrical() const;
  bool isAntiSymmetrical() const;
  Vector diff(int k) const; // x[i+k] - x[i], the last k elements 0
  Vector<unsigned int> histogram(T origin, T width, int bins) const;
  Vector<unsigned int> histogram(T origin, T width, int bins, const Vector& mask) const; // mask != 0 counted
  Numbers<T> numbers() const;              // count, minimum, maximum, median, sum, mean (no stddev)
  Vector corr(const Vector& kernel) const; // kernel centred at kernel.size / 2
  Vector conv(const Vector& kernel) const;
  Vector corr(const Vector& kernel, const Vector& mask) const; // each term weighted by mask[i + j]
  Vector conv(const Vector& kernel, const Vector& mask) const;

private:
  T average() const; // sum / size without the type check of mean()
  void release();

  // In this order a vector takes 16 bytes: a vertex store holds one per vertex.
  T* _data = nullptr;
  int _size = 0;
  bool _shallow = false;
};

using Vectorb = Vector<bool>;
using Vectorc = Vector<char>;
using Vectoruc = Vector<unsigned char>;
using Vectors = Vector<short>;
using Vectorus = Vector<unsigned short>;
using Vectori = Vector<int>;
using Vectorui = Vector<unsigned int>;
using Vectorf = Vector<float>;
using Vectord = Vector<double>;
using Vectorld = Vector<long double>;

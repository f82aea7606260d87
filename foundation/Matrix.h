#pragma once

#include "foundation/Vector.h"

// Dense matrix stored as a list of row vectors. With owner set, the elements live in one block,
// row after row, and each row is a shallow view of its slice; otherwise each row owns its elements.
// Instantiated for the ten element types of Vector.
template <class T> class Matrix {
public:
  // === Construction
  Matrix() = default;
  Matrix(int rows, int columns, bool owner = false); // per-row storage whatever owner says; uninitialised
  Matrix(const Matrix& source);                      // deep copy in the same storage mode
  Matrix(const Vector<T>& v, bool row);              // one row (row true) or one column holding v
  Matrix& operator=(const Matrix& source);
  virtual ~Matrix();

  // Nothing happens when the sizes are already these (owner is then left as it is); otherwise the
  // old storage is released and new, uninitialised storage is made in the given mode.
  virtual void setSize(int rows, int columns, bool owner = false);
  void setSize(const Vector<int>& sizes); // (rows, columns)

  // === Access (unchecked)
  int getSize1() const { return _size1; }
  int getSize2() const { return _size2; }
  bool isOwner() const { return _owner; }
  Vector<T>& operator[](int i) { return _rows[i]; }
  const Vector<T>& operator[](int i) const { return _rows[i]; }
  T& operator()(int i, int j) { return _rows[i][j]; }
  const T& operator()(int i, int j) const { return _rows[i][j]; }

  void fill(T value);

  // === Arithmetic
  Matrix operator*(const Matrix& m) const; // SizeError when the columns differ from m's rows

private:
  void release();

  int _size1 = 0;
  int _size2 = 0;
  Vector<T>* _rows = nullptr;
  bool _owner = false;
};

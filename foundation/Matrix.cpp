#include "foundation/Matrix.h"

#include "foundation/ErrorThrowing.h"
#include "foundation/Exception.h"

#include <algorithm>
#include <string>
#include <type_traits>

template <class T> Matrix<T>::Matrix(int rows, int columns, bool) {
  setSize(rows, columns, false);
}

template <class T> Matrix<T>::Matrix(const Matrix& source) {
  *this = source;
}

template <class T> Matrix<T>::Matrix(const Vector<T>& v, bool row) {
  if (row) {
    setSize(1, v.getSize(), false);
    _rows[0] = v;
  } else {
    setSize(v.getSize(), 1, false);
    for (int i = 0; i < _size1; ++i) _rows[i][0] = v[i];
  }
}

template <class T> Matrix<T>& Matrix<T>::operator=(const Matrix& source) {
  if (this == &source) return *this;
  release();
  setSize(source._size1, source._size2, source._owner);
  for (int i = 0; i < _size1; ++i) _rows[i] = source._rows[i];
  return *this;
}

template <class T> Matrix<T>::~Matrix() {
  release();
}

template <class T> void Matrix<T>::release() {
  // The block of an owning matrix starts at its first row.
  T* block = _owner && _size1 > 0 ? _rows[0].data() : nullptr;
  delete[] _rows;
  delete[] block;
  _rows = nullptr;
  _size1 = 0;
  _size2 = 0;
  _owner = false;
}

template <class T> void Matrix<T>::setSize(int rows, int columns, bool owner) {
  if (rows == _size1 && columns == _size2 && _rows) return;
  release();
  if (rows < 1) return;
  columns = std::max(columns, 0);
  _rows = new Vector<T>[rows];
  _size1 = rows;
  _size2 = columns;
  _owner = owner;
  if (owner) {
    T* block =
        new T[static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns) + (columns == 0 ? 1 : 0)];
    for (int i = 0; i < rows; ++i) _rows[i].setSize(columns, block + static_cast<std::size_t>(i) * columns);
  } else {
    for (int i = 0; i < rows; ++i) _rows[i].setSize(columns);
  }
}

template <class T> void Matrix<T>::setSize(const Vector<int>& sizes) {
  setSize(sizes[0], sizes[1]);
}

template <class T> void Matrix<T>::fill(T value) {
  for (int i = 0; i < _size1; ++i) _rows[i].fill(value);
}

template <class T> Matrix<T> Matrix<T>::operator*(const Matrix& m) const {
  if (_size2 != m._size1)
    throwError<SizeError>(OSTREL_HERE, "The dimensions of the two matrices are not compatible");
  Matrix product;
  product.setSize(_size1, m._size2, _owner);
  for (int i = 0; i < _size1; ++i) {
    for (int j = 0; j < m._size2; ++j) {
      T s = static_cast<T>(0);
      for (int k = 0; k < _size2; ++k) {
        if constexpr (std::is_same_v<T, bool>)
          s = s || (_rows[i][k] && m._rows[k][j]);
        else
          s = static_cast<T>(s + _rows[i][k] * m._rows[k][j]);
      }
      product._rows[i][j] = s;
    }
  }
  return product;
}

template class Matrix<char>;
template class Matrix<unsigned char>;
template class Matrix<short>;
template class Matrix<unsigned short>;
template class Matrix<int>;
template class Matrix<unsigned int>;
template class Matrix<long>;
template class Matrix<float>;
template class Matrix<double>;
template class Matrix<long double>;
template class Matrix<bool>;

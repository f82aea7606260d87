#include "geometry/Edge.h"

template <class T> Edge<T>::Edge() {
  this->setOpen(true);
}

template <class T> Edge<T>::Edge(int space) : Curve<T>(space, 2, 2, 0, true) {}

template <class T> Edge<T>::Edge(const Vertices<T>& list, int i, int j) {
  this->setOpen(true);
  set(list, i, j);
}

template <class T> void Edge<T>::set(const Vertices<T>& list, int i, int j) {
  if (list.getServer() != this->getServer()) this->setServer(*const_cast<VertexServer<T>*>(list.getServer()));
  this->setSize(2, false);
  this->setIndex(0, list.getIndex(i));
  this->setIndex(1, list.getIndex(j));
}

template class Edge<int>;
template class Edge<float>;
template class Edge<double>;
template class Edge<long double>;

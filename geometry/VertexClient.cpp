#include "geometry/VertexClient.h"

#include <ostream>
#include <utility>

template <class T>
VertexClient<T>::VertexClient(int space, int size, int capacity, int growth)
    : _server(new VertexServer<T>(space, size, capacity, growth)) {
  _server->ref();
}

template <class T> VertexClient<T>::VertexClient(const VertexClient& other) : _server(other._server) {
  if (_server) _server->ref();
}

template <class T>
VertexClient<T>::VertexClient(VertexClient&& other) noexcept
    : _server(std::exchange(other._server, nullptr)) {}

template <class T> VertexClient<T>& VertexClient<T>::operator=(const VertexClient& other) {
  assign(other);
  return *this;
}

template <class T> void VertexClient<T>::assign(const VertexClient& other) {
  if (&other == this || other._server == _server) return;
  holdServer(other._server);
}

template <class T> VertexClient<T>::~VertexClient() {
  if (_server) _server->deref();
}

template <class T> void VertexClient<T>::holdServer(VertexServer<T>* server) {
  if (server == _server) return;
  if (server) server->ref(); // first, so that releasing the old one cannot free the new one
  if (_server) _server->deref();
  _server = server;
}

template <class T> void VertexClient<T>::setServer(VertexServer<T>& server) {
  holdServer(&server);
}

template <class T> void VertexClient<T>::detach() {
  if (!_server || _server->getRefs() < 2) return;
  VertexServer<T>* copy = new VertexServer<T>(*_server);
  holdServer(copy);
}

template <class T> void VertexClient<T>::print(const std::string& title, std::ostream& os) const {
  if (!title.empty()) os << title << "\n";
  if (!_server)
    os << " Server: (nil)\n";
  else
    _server->print(" Server:", os);
}

template class VertexClient<int>;
template class VertexClient<float>;
template class VertexClient<double>;
template class VertexClient<long double>;

#pragma once

#include "geometry/VertexServer.h"

#include <iosfwd>
#include <string>

// A holder of one shared VertexServer (the base of every shape). Copies share the server; a
// client that must change coordinates privately calls detach() first (copy on write on demand).
template <class T> class VertexClient {
public:
  VertexClient() = default;
  // Creates a new server with these arguments and holds it.
  VertexClient(int space, int size, int capacity, int growth);
  virtual void assign(const VertexClient& other); // releases the old server, shares other's
  virtual ~VertexClient();                        // releases the server
  // When others share the server, replaces it by a private deep copy.
  virtual void detach();

  // Shares the given server, releasing the current one.
  void setServer(VertexServer<T>& server);
  VertexServer<T>* getServer() { return _server; }
  const VertexServer<T>* getServer() const { return _server; }

  void print(const std::string& title, std::ostream& os) const;

protected:
  VertexClient(const VertexClient& other);            // shares the source's server
  VertexClient(VertexClient&& other) noexcept;        // takes the source's server
  VertexClient& operator=(const VertexClient& other); // calls assign
  void holdServer(VertexServer<T>* server);           // releases the current server and references this one
  VertexServer<T>* _server = nullptr;
};

#pragma once

#include "foundation/Exception.h"

#include <string>
#include <type_traits>

// Throws an exception of class E with its where and what texts (and the file name of file errors).
template <class E> [[noreturn]] void raise(const std::string& where, const std::string& what) {
  E e;
  e.setWhere(where);
  e.setWhat(what);
  throw e;
}

template <class E>
[[noreturn]] void raiseFileError(const std::string& where, const std::string& what,
                                 const std::string& filename) {
  static_assert(std::is_base_of_v<FileError, E>, "file errors only");
  E e;
  e.setWhere(where);
  e.setWhat(what);
  e.setFilename(filename);
  throw e;
}

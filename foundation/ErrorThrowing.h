#pragma once

#include "foundation/Exception.h"

#include <string>

// Throws an exception of class E that says where it was raised and what went wrong.
template <class E> [[noreturn]] void throwError(const std::string& where, const std::string& what) {
  E error;
  error.setWhere(where);
  error.setWhat(what);
  throw error;
}

// The same for a file error, which also names the file.
template <class E>
[[noreturn]] void throwFileError(const std::string& where, const std::string& what,
                                 const std::string& filename) {
  E error;
  error.setWhere(where);
  error.setWhat(what);
  error.setFilename(filename);
  throw error;
}

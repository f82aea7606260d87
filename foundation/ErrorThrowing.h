#pragma once

#include "foundation/Exception.h"
#include "foundation/TypeName.h"

#include <string>
#include <type_traits>

// Where an error is raised: the signature of the function written around it, as the compiler spells
// it ("void Shape<T>::save(const string&, bool) const [with T = float]"), never typed by hand.
#define OSTREL_HERE __PRETTY_FUNCTION__

// The one way the libraries raise their errors: throwError<ValueError>(OSTREL_HERE, what) throws an
// exception of class E that says where it was raised and what went wrong.
template <class E> [[noreturn]] void throwError(const std::string& where, const std::string& what) {
  static_assert(std::is_base_of_v<Exception, E>, "the libraries' exceptions only");
  E error;
  error.setWhere(where);
  error.setWhat(what);
  throw error;
}

// The same for a file error, which also names the file.
template <class E>
[[noreturn]] void throwFileError(const std::string& where, const std::string& what,
                                 const std::string& filename) {
  static_assert(std::is_base_of_v<FileError, E>, "file errors only");
  E error;
  error.setWhere(where);
  error.setWhat(what);
  error.setFilename(filename);
  throw error;
}

// A TypeError "Method not available for type 'int'" for an operation the element type T cannot do.
template <class T> [[noreturn]] void throwNotAvailableFor(const std::string& where) {
  throwError<TypeError>(where, std::string("Method not available for type '") + TypeName<T>::value + "'");
}

// Refuses integer element types with the error above; does nothing for floating-point ones.
template <class T> void refuseIntegers(const std::string& where) {
  if constexpr (std::is_integral_v<T>) throwNotAvailableFor<T>(where);
}

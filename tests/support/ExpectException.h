#pragma once

#include "foundation/Exception.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <typeinfo>
#include <vector>

// Runs action and checks that it raises exactly the exception class E (not merely a subclass of
// Exception) with the given what text, raised in a function whose signature (as the compiler writes
// it) holds `function`.
template <class E, class Action>
void expectException(Action&& action, const std::string& function, const std::string& what) {
  try {
    action();
    ADD_FAILURE() << "no exception, expected \"" << what << "\"";
  } catch (const Exception& error) {
    EXPECT_EQ(typeid(error), typeid(E)) << "raised " << typeid(error).name() << ": " << error.getWhat();
    EXPECT_NE(error.getWhere().find(function), std::string::npos) << error.getWhere();
    EXPECT_EQ(error.getWhat(), what);
  }
}

// Runs action and returns the exception of class E it raises, for tests that look at more than its
// where and what (its file name, say); records a failure and returns a default E when nothing is raised.
template <class E, class Action> E expectThrow(Action action) {
  try {
    action();
  } catch (const E& error) {
    return error;
  }
  ADD_FAILURE() << "no exception";
  return E();
}

// The what text of the FileFormatError that action raises, after checking that it names the file path.
template <class Action> std::string formatErrorNaming(const std::string& path, Action action) {
  const FileFormatError error = expectThrow<FileFormatError>(action);
  EXPECT_EQ(error.getFilename(), path);
  return error.getWhat();
}

// Each call raises E; a failing call is named by its position in the list.
template <class E> void expectEach(const std::vector<std::function<void()>>& calls) {
  for (std::size_t i = 0; i < calls.size(); ++i) EXPECT_THROW(calls[i](), E) << "call " << i;
}

#pragma once

#include "foundation/Exception.h"

#include <gtest/gtest.h>

#include <string>
#include <typeinfo>

// Runs action and checks that it raises exactly the exception class E (not merely a subclass of
// Exception) with the given where and what texts.
template <class E, class Action>
void expectException(Action&& action, const std::string& where, const std::string& what) {
  try {
    action();
    ADD_FAILURE() << "no exception, expected \"" << what << "\"";
  } catch (const Exception& error) {
    EXPECT_EQ(typeid(error), typeid(E)) << "raised " << typeid(error).name() << ": " << error.getWhat();
    EXPECT_EQ(error.getWhere(), where);
    EXPECT_EQ(error.getWhat(), what);
  }
}

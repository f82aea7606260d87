#include "foundation/DataSet.h"

#include "tests/support/ExpectException.h"
#include "tests/support/VectorPrinting.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

DataSet sample() {
  DataSet d;
  std::istringstream in("id\tx\tname\n1\t0.5\ta\n2\t1.5\tb\n1\t2.5\tc\n");
  in >> d;
  return d;
}

} // namespace

// Typed access by column name.
TEST(DataSetAccess, UnknownNamesFail) {
  const DataSet d = sample();
  expectException<NameError>([&] { d.getValues<float>("nope"); },
                             "const Vector<T>& DataSet::getValues(const string &) const",
                             "Variable name not found");
}

TEST(DataSetAccess, AnotherTypeThanTheColumnsIsRefused) {
  const DataSet d = sample();
  EXPECT_THROW(d.getValues<float>("id"), TypeError);
  EXPECT_THROW(d.getValues<double>("x"), TypeError);
  EXPECT_THROW(d.getValue<int>("name", 0), TypeError);
  EXPECT_EQ(d.getValues<float>("x")[2], 2.5f);
}

TEST(DataSetAccess, RowsOutsideAColumnAreRefused) {
  const DataSet d = sample();
  EXPECT_THROW(d.getValue<int>("id", 3), SizeError);
  EXPECT_THROW(d.getValue<int>("id", -1), SizeError);
}

TEST(DataSetAccess, SetValueAddsColumnsAndRows) {
  DataSet d = sample();
  d.setValue<double>("weight", 4, 0.25);
  EXPECT_EQ(d.numRows(), 5);
  EXPECT_EQ(d.getValues<double>("weight").getSize(), 5);
  EXPECT_EQ(d.getValue<double>("weight", 4), 0.25);
  EXPECT_EQ(d.getValues<int>("id").getSize(), 5); // the other columns grow with unset cells
  EXPECT_EQ(d.getValue<std::string>("name", 4), "");
  d.setValues<long>("count", 7L);
  EXPECT_EQ(d.getValues<long>("count"), Vector<long>(std::vector<long>{7, 7, 7, 7, 7}));
  EXPECT_EQ(d.columnType(4), "%ld");
}

TEST(DataSetAccess, CopiesAreIndependentAndSwapExchanges) {
  DataSet d = sample();
  DataSet copy(d);
  copy.setValue<int>("id", 0, 99);
  EXPECT_EQ(d.getValue<int>("id", 0), 1);
  DataSet other;
  other.swap(copy);
  EXPECT_EQ(other.getValue<int>("id", 0), 99);
  EXPECT_EQ(copy.numRows(), 0);
  copy.assign(d);
  EXPECT_EQ(copy.getValues<std::string>("name"), d.getValues<std::string>("name"));
  d.clear();
  EXPECT_EQ(d.size(), Vector<int>(std::vector<int>{0, 0}));
}

TEST(DataSetAccess, AppendStacksRowsByName) {
  DataSet d = sample();
  DataSet more;
  more.setValues("x", Vector<float>(std::vector<float>{9}));
  more.setValues("extra", Vector<int>(std::vector<int>{5}));
  d.append(more);
  EXPECT_EQ(d.numRows(), 4);
  EXPECT_EQ(d.getValues<float>("x"), Vector<float>(std::vector<float>{0.5f, 1.5f, 2.5f, 9}));
  EXPECT_EQ(d.getValues<int>("extra"), Vector<int>(std::vector<int>{0, 0, 0, 5}));
  EXPECT_EQ(d.getValue<int>("id", 3), 0);
}

TEST(DataSetAccess, CropKeepsTheMatchingRows) {
  DataSet d = sample();
  d.crop<int>("id", 1);
  EXPECT_EQ(d.numRows(), 2);
  EXPECT_EQ(d.getValues<std::string>("name"), Vector<std::string>(std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(d.getValues<float>("x"), Vector<float>(std::vector<float>{0.5f, 2.5f}));
}

// Text helpers.
TEST(DataSetText, RemoveQuotesNeedsTwoCharactersAndBothQuotes) {
  const auto unquoted = [](std::string s) {
    DataSet::removeQuotes(s);
    return s;
  };
  EXPECT_EQ(unquoted("\"ab\""), "ab");
  EXPECT_EQ(unquoted("\"\""), "");
  EXPECT_EQ(unquoted("\""), "\"");
  EXPECT_EQ(unquoted("\"ab"), "\"ab");
  EXPECT_EQ(unquoted("\"a\"b\""), "a\"b");
}

TEST(DataSetText, IsTypeNeedsTheWholeText) {
  int i = 0;
  float f = 0;
  EXPECT_TRUE(DataSet::isType<int>("-42", i));
  EXPECT_EQ(i, -42);
  EXPECT_FALSE(DataSet::isType<int>("4.2", i));
  EXPECT_FALSE(DataSet::isType<int>("", i));
  EXPECT_FALSE(DataSet::isType<int>("7\r", i));
  EXPECT_TRUE(DataSet::isType<float>("4.25", f));
  EXPECT_EQ(f, 4.25f);
  EXPECT_TRUE(DataSet::isType<float>("1e3", f));
  EXPECT_FALSE(DataSet::isType<float>("1.5x", f));
}

#include "foundation/DataSet.h"

#include "tests/support/ExpectException.h"
#include "tests/support/TestFiles.h"
#include "tests/support/VectorPrinting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

DataSet readText(const std::string& text, char separator = '\t') {
  DataSet dataSet;
  dataSet.setFieldSeparator(separator);
  std::istringstream in(text);
  in >> dataSet;
  return dataSet;
}

std::string writeText(const DataSet& dataSet) {
  std::ostringstream out;
  out << dataSet;
  return out.str();
}

template <class T> Vector<T> vectorOf(std::vector<T> values) {
  return Vector<T>(values);
}

const char* const sample = "id\tx\tname\n1\t0.5\ta\n2\t1.5\tb\n1\t2.5\tc\n";

} // namespace

TEST(DataSetAccess, SetValueAddsColumnsAndRowsAppendStacksByNameCropKeepsMatches) {
  DataSet d = readText(sample);
  d.setValue<double>("weight", 4, 0.25);
  EXPECT_EQ(d.size(), vectorOf<int>({5, 4}));
  EXPECT_EQ(d.getValues<std::string>("name"), vectorOf<std::string>({"a", "b", "c", "", ""}));
  d.setValues<long>("count", 7L);
  EXPECT_EQ(d.getValues<long>("count"), vectorOf<long>({7, 7, 7, 7, 7}));
  DataSet more;
  more.setValues("x", vectorOf<float>({9}));
  more.setValues("extra", vectorOf<int>({5}));
  d.append(more);
  EXPECT_EQ(d.getValues<float>("x"), vectorOf<float>({0.5f, 1.5f, 2.5f, 0, 0, 9}));
  EXPECT_EQ(d.columnTypes(), "%d%f%s%lf%ld%d");
  DataSet copy(d);
  copy.crop<int>("id", 1);
  EXPECT_EQ(copy.getValues<std::string>("name"), vectorOf<std::string>({"a", "c"}));
  EXPECT_EQ(d.numRows(), 6); // copies are independent
}

// The .df text format: header, typed columns, exact splitting.
TEST(DataSetFile, FirstDataRowDecidesTheColumnTypesNamesLoseSurroundingQuotesOnlyAndLaterRowsReadAsStreams) {
  const DataSet typed = readText("n\tx\tname\n3\t3.0\t\"a b\"\n3.5\t2\tc\n");
  EXPECT_EQ(typed.columnTypes(), "%d%f%s");
  EXPECT_EQ(typed.getValues<int>("n"), vectorOf<int>({3, 3}));
  EXPECT_EQ(typed.getValues<float>("x"), vectorOf<float>({3, 2}));
  EXPECT_EQ(typed.getValues<std::string>("name"), vectorOf<std::string>({"a b", "c"}));
  EXPECT_EQ(readText("\"a b\"\t\"\t\"x\t\"\"\t\"a\"b\"\n1\t2\t3\t4\t5\n").variableNames(),
            (std::vector<std::string>{"a b", "\"", "\"x", "", "a\"b"}));
  // The first row keeps the values of the type test; later rows read like stream extraction.
  const std::vector<std::string> pieces = {"x",   "+5",   "12abc",  "-3.9",        " 7",  "1e",
                                           "1e5", "0x1A", "inf",    "nan",         "-.5", ".",
                                           "",    "1e99", "-1e-50", "99999999999", "3."};
  std::string text = "i\tf\tnan\tinf\thex\tbig\n0\t0.5\t nan\t-inf\t0x10\t1e40\n";
  for (const std::string& piece : pieces) text += piece + "\t" + piece + "\n";
  const DataSet d = readText(text);
  EXPECT_EQ(d.columnTypes(), "%d%f%f%f%f%f");
  EXPECT_TRUE(std::isnan(d.getValue<float>("nan", 0)));
  EXPECT_EQ(d.getValue<float>("inf", 0), -INFINITY);
  EXPECT_EQ(d.getValue<float>("hex", 0), 16.0f); // stream extraction would stop at the x
  EXPECT_EQ(d.getValue<float>("big", 0), INFINITY);
  for (std::size_t k = 0; k < pieces.size(); ++k) {
    std::istringstream asInt(pieces[k]), asFloat(pieces[k]);
    int i = 0;
    float f = 0;
    asInt >> i;
    asFloat >> f;
    EXPECT_EQ(d.getValue<int>("i", static_cast<int>(k) + 1), i) << pieces[k];
    EXPECT_EQ(d.getValue<float>("f", static_cast<int>(k) + 1), f) << pieces[k];
  }
}

TEST(DataSetFile, FloatsAreWrittenExactlyLikePrintfWithShowPoint) {
  std::mt19937 engine(17);
  std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
  std::uniform_int_distribution<int> exponent(-12, 12);
  std::vector<double> values = {0.0,        -0.0,         1.0,         100000.0, 999999.5,  1e6,
                                0.0001,     1e-5,         123456789.0, 0.5,      9.9999951, 99999.95,
                                0.00999999, -9.999996e-5, 1e100,       3e-300};
  for (int i = 0; i < 2000; ++i) values.push_back(mantissa(engine) * std::pow(10.0, exponent(engine)));
  DataSet d;
  d.setValues("d", Vector<double>(values));
  std::string expected = "d\n";
  char line[64];
  for (double value : values) expected += std::string(line, std::snprintf(line, sizeof line, "%#g\n", value));
  EXPECT_EQ(writeText(d), expected);
}

TEST(DataSetFile, WrittenFilesReadBackEqualAndErrorsNameTheirFile) {
  TemporaryDirectory directory;
  const std::string path = directory.file("table.df");
  const DataSet original = readText("id\tvalue\tlabel\n-40\t-2.125\t\"a b\"\n7\t1e-07\tc\r\n3\t0.1\n");
  original.save(path, false);
  const DataSet copy(path, '\t');
  EXPECT_EQ(copy.columnTypes(), "%d%f%s");
  EXPECT_EQ(copy.getValues<int>("id"), original.getValues<int>("id"));
  EXPECT_EQ(copy.getValues<float>("value"), original.getValues<float>("value"));
  EXPECT_EQ(copy.getValues<std::string>("label"), vectorOf<std::string>({"a b", "c\r", ""}));
  EXPECT_EQ(readFile(path), writeText(copy));
  writeFile(path, "r;g;b\n255;0;12\n");
  EXPECT_EQ(DataSet(path, ';').getValues<int>("b"), vectorOf<int>({12})); // the given separator
  // Load and save report their file with their errors.
  DataSet d;
  EXPECT_THROW(d.load("/nonexistent/file.df"), FileReadError);
  writeFile(path, "old\n");
  d.setValues("a", vectorOf<long>({5000000000L}));
  EXPECT_EQ(expectThrow<FileWriteError>([&] { d.save(path, false); }).getFilename(), path);
  EXPECT_EQ(readFile(path), "old\n");
  d.save(path, true);
  EXPECT_EQ(readFile(path), "a\n5000000000\n");
  writeFile(path, std::string(1 << 20, ',') + "\n");
  d.setFieldSeparator(',');
  EXPECT_EQ(expectThrow<FileFormatError>([&] { d.load(path); }).getFilename(), path);
}

// Hostile input: bounded memory and no crash.
TEST(DataSetFile, RefusesTooManyVariablesOrMissingCellsForTheSizeOfTheData) {
  std::string header, full = "1";
  for (int c = 0; c < 1000; ++c) header += "c" + std::to_string(c) + "\t", full += "\t1";
  header += "last\n";
  // Short last lines are valid and cost no cells: a column ends with its last value.
  DataSet shortEnd;
  std::istringstream shortLines(header + full + "\n" + std::string(3000, '\n'));
  shortLines >> shortEnd;
  EXPECT_EQ(shortEnd.size(), vectorOf<int>({3001, 1001}));
  EXPECT_EQ(shortEnd.getValues<int>("last").getSize(), 1);
  EXPECT_EQ(shortEnd.getValue<int>("last", 3000), 0);
  // A long line after many short ones would fill every gap.
  const std::string manyMissing = header + std::string(3000, '\n') + full + "\n";
  for (const auto& [text, what] : {std::pair(manyMissing, "Too many missing cells for the size of the data"),
                                   std::pair(std::string(1 << 20, '\t') + "\n1\n", "Too many variables")}) {
    DataSet d;
    std::istringstream in(text);
    expectException<FileFormatError>([&] { in >> d; }, "operator>>(std::istream&, DataSet&)", what);
    EXPECT_EQ(d.size(), vectorOf<int>({0, 0}));
  }
}

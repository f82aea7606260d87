#include "foundation/DataSet.h"

#include "foundation/ErrorThrowing.h"
#include "foundation/Exception.h"
#include "foundation/FileInfo.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <istream>
#include <ostream>
#include <sstream>
#include <type_traits>

namespace {

// === Element types of the columns

template <class T> struct Type;
template <> struct Type<std::string> {
  static constexpr const char* name = "std::string";
  static constexpr const char* code = "%s";
};
template <> struct Type<int> {
  static constexpr const char* name = "int";
  static constexpr const char* code = "%d";
};
template <> struct Type<long> {
  static constexpr const char* name = "long";
  static constexpr const char* code = "%ld";
};
template <> struct Type<float> {
  static constexpr const char* name = "float";
  static constexpr const char* code = "%f";
};
template <> struct Type<double> {
  static constexpr const char* name = "double";
  static constexpr const char* code = "%lf";
};
template <> struct Type<long double> {
  static constexpr const char* name = "long double";
  static constexpr const char* code = "type error";
};

template <class T> struct Tag { using type = T; };

// Calls f(Tag<T>()) for the element type named type; does nothing for an untyped column.
template <class F> void withType(const std::string& type, F&& f) {
  if (type == Type<std::string>::name)
    f(Tag<std::string>());
  else if (type == Type<int>::name)
    f(Tag<int>());
  else if (type == Type<long>::name)
    f(Tag<long>());
  else if (type == Type<float>::name)
    f(Tag<float>());
  else if (type == Type<double>::name)
    f(Tag<double>());
  else if (type == Type<long double>::name)
    f(Tag<long double>());
}

// Grows (or shrinks) a column to n values, keeping the first ones; new cells are unset (T()).
template <class T> void resizeColumn(Vector<T>& column, int n) {
  const int old = column.getSize();
  if (old == n) return;
  Vector<T> resized(n);
  for (int i = 0; i < std::min(old, n); ++i) resized[i] = column[i];
  for (int i = old; i < n; ++i) resized[i] = T();
  column.swap(resized);
}

// === Reading numbers the way stream extraction does, fast for plain decimal text

bool isBlank(char c) {
  return std::isspace(static_cast<unsigned char>(c)) != 0;
}

template <class T> T readSlowly(const char* text) {
  std::istringstream in(text);
  T value = 0;
  in >> value;
  return value;
}

int readInt(const char* text, const char* end) {
  const char* p = text;
  while (p < end && isBlank(*p)) ++p;
  long value = 0;
  const std::errc error = std::from_chars(p, end, value).ec;
  if (error == std::errc()) return static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
  if (error == std::errc::invalid_argument && !(p < end && *p == '+')) return 0;
  return readSlowly<int>(text); // a plus sign or a value out of range
}

float readFloat(const char* text, const char* end) {
  const char* p = text;
  while (p < end && isBlank(*p)) ++p;
  const char* digits = p < end && (*p == '-' || *p == '+') ? p + 1 : p;
  if (digits == end || !(std::isdigit(static_cast<unsigned char>(*digits)) || *digits == '.')) return 0;
  float value = 0;
  const auto [stop, error] = std::from_chars(p, end, value, std::chars_format::general);
  // Signs, hexadecimal prefixes, incomplete exponents and out-of-range values are rare: the stream decides.
  const bool unusual =
      *p == '+' || (digits + 1 < end && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'));
  if (error == std::errc() && !unusual && (stop == end || (*stop != 'e' && *stop != 'E'))) return value;
  if (error == std::errc::invalid_argument && !unusual) return 0;
  return readSlowly<float>(text);
}

// === Reading state: columns grow in standard vectors and become Vectors at the end.

struct ColumnReader {
  enum class Kind { Unset, Int, Float, Text } kind = Kind::Unset;
  std::vector<int> ints;
  std::vector<float> floats;
  std::vector<std::string> texts;

  std::size_t size() const {
    return kind == Kind::Int ? ints.size() : kind == Kind::Float ? floats.size() : texts.size();
  }
};

const std::size_t kSpareCells = 1u << 20;
// More variables than any real table has: a header this long is junk, not a data set.
const std::size_t kMaxColumns = 1u << 20;

} // namespace

// === Construction

template <class T> DataSet::Column DataSet::newColumn() {
  return Column(new Vector<T>(), [](void* values) { delete static_cast<Vector<T>*>(values); });
}

DataSet::DataSet(const std::string& fileName, const char& separator) : _fieldSeparator(separator) {
  load(fileName);
}

DataSet::DataSet(const DataSet& other) {
  *this = other;
}

DataSet& DataSet::operator=(const DataSet& other) {
  if (this == &other) return *this;
  clear();
  _numRows = other._numRows;
  _variableNames = other._variableNames;
  _columnTypes = other._columnTypes;
  _fieldSeparator = other._fieldSeparator;
  for (std::size_t c = 0; c < other._columns.size(); ++c) {
    _columns.emplace_back(nullptr, nullptr);
    withType(_columnTypes[c], [&](auto tag) {
      using T = typename decltype(tag)::type;
      _columns[c] = newColumn<T>();
      *static_cast<Vector<T>*>(_columns[c].get()) = *static_cast<const Vector<T>*>(other._columns[c].get());
    });
  }
  return *this;
}

DataSet::~DataSet() {
  clear();
}

void DataSet::swap(DataSet& other) {
  std::swap(_numRows, other._numRows);
  _variableNames.swap(other._variableNames);
  _columnTypes.swap(other._columnTypes);
  _columns.swap(other._columns);
  std::swap(_fieldSeparator, other._fieldSeparator);
}

void DataSet::clear() {
  _columns.clear();
  _columnTypes.clear();
  _variableNames.clear();
  _numRows = 0;
}

// === Text format

void DataSet::removeQuotes(std::string& text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
}

template <> bool DataSet::isType<int>(const std::string& text, int& value) {
  const char* start = text.c_str();
  char* end = nullptr;
  const long read = std::strtol(start, &end, 10);
  if (end == start || *end != '\0') return false;
  value = static_cast<int>(std::clamp<long>(read, INT_MIN, INT_MAX));
  return true;
}

template <> bool DataSet::isType<float>(const std::string& text, float& value) {
  const char* start = text.c_str();
  char* end = nullptr;
  const float read = std::strtof(start, &end);
  if (end == start || *end != '\0') return false;
  value = read;
  return true;
}

std::istream& operator>>(std::istream& in, DataSet& dataSet) {
  dataSet.clear();
  std::string line;
  if (!std::getline(in, line)) return in;
  const char separator = dataSet._fieldSeparator;

  // Header: one variable per piece.
  if (static_cast<std::size_t>(std::count(line.begin(), line.end(), separator)) >= kMaxColumns)
    throwError<FileFormatError>(OSTREL_HERE, "Too many variables");
  std::size_t start = 0;
  while (true) {
    const std::size_t stop = std::min(line.find(separator, start), line.size());
    std::string name = line.substr(start, stop - start);
    DataSet::removeQuotes(name);
    dataSet.addColumn(name);
    if (stop == line.size()) break;
    start = stop + 1;
  }

  const std::size_t numColumns = dataSet._variableNames.size();
  std::vector<ColumnReader> readers(numColumns);
  std::size_t bytes = line.size() + 1;
  std::size_t cells = 0;
  int numRows = 0;
  const auto refuse = [&] {
    dataSet.clear();
    throwError<FileFormatError>(OSTREL_HERE, "Too many missing cells for the size of the data");
  };

  for (int row = 0; std::getline(in, line); ++row) {
    bytes += line.size() + 1;
    char* text = line.data();
    const std::size_t length = line.size();
    std::size_t begin = 0;
    for (std::size_t k = 0; k < numColumns; ++k) {
      const char* found = static_cast<const char*>(std::memchr(text + begin, separator, length - begin));
      const std::size_t stop = found ? static_cast<std::size_t>(found - text) : length;
      text[stop] = '\0'; // pieces are read as C strings; the last one already ends the line
      const char* piece = text + begin;
      const char* pieceEnd = text + stop;
      ColumnReader& reader = readers[k];

      // The first piece a column receives fixes its type and is stored as the type test read it
      // (strtof also takes "nan", "inf" and hexadecimal numbers, which stream extraction does not).
      bool typeTested = false;
      int firstInt = 0;
      float firstFloat = 0;
      if (reader.kind == ColumnReader::Kind::Unset) {
        const std::string first(piece, pieceEnd);
        reader.kind = DataSet::isType(first, firstInt)     ? ColumnReader::Kind::Int
                      : DataSet::isType(first, firstFloat) ? ColumnReader::Kind::Float
                                                           : ColumnReader::Kind::Text;
        typeTested = true;
      }
      const std::size_t old = reader.size();
      const bool grows = old <= static_cast<std::size_t>(row);
      if (grows) {
        cells += static_cast<std::size_t>(row) + 1 - old;
        if (cells > bytes + kSpareCells) refuse();
        numRows = std::max(numRows, row + 1);
      }
      switch (reader.kind) {
      case ColumnReader::Kind::Int:
        if (grows) reader.ints.resize(row + 1);
        reader.ints[row] = typeTested ? firstInt : readInt(piece, pieceEnd);
        break;
      case ColumnReader::Kind::Float:
        if (grows) reader.floats.resize(row + 1);
        reader.floats[row] = typeTested ? firstFloat : readFloat(piece, pieceEnd);
        break;
      default:
        if (grows) reader.texts.resize(row + 1);
        reader.texts[row].assign(piece, pieceEnd);
        DataSet::removeQuotes(reader.texts[row]);
        break;
      }
      if (!found) break;
      begin = stop + 1;
    }
  }

  // A column keeps the cells up to its last one in the file: short last lines leave it shorter than
  // the data set, so that memory follows the file's size. Columns are filled by position, as two of
  // them may carry the same name.
  dataSet._numRows = numRows;
  for (std::size_t k = 0; k < numColumns; ++k) {
    ColumnReader& reader = readers[k];
    const int column = static_cast<int>(k);
    switch (reader.kind) {
    case ColumnReader::Kind::Int:
      dataSet.typedColumn<int>(column, OSTREL_HERE) =
          Vector<int>(static_cast<int>(reader.ints.size()), reader.ints.data());
      break;
    case ColumnReader::Kind::Float:
      dataSet.typedColumn<float>(column, OSTREL_HERE) =
          Vector<float>(static_cast<int>(reader.floats.size()), reader.floats.data());
      break;
    case ColumnReader::Kind::Text:
      dataSet.typedColumn<std::string>(column, OSTREL_HERE) = Vector<std::string>(reader.texts);
      break;
    default:
      break;
    }
  }
  return in;
}

namespace {

// Appends value in the stream's default format with the decimal point always shown (printf's "%#g"):
// six significant digits, trailing zeros kept, so that 1 is written 1.00000.
void appendShowPoint(std::string& line, double value) {
  char buffer[64];
  const char* digits = buffer;
  const char* end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6).ptr;
  if (!std::isfinite(value)) {
    line.append(digits, end);
    return;
  }
  const char* exponent = std::find(digits, end, 'e');
  int significant = 0;
  int nonZero = 0;
  bool leading = true;
  bool point = false;
  for (const char* p = digits; p < exponent; ++p) {
    if (*p == '.') point = true;
    if (!std::isdigit(static_cast<unsigned char>(*p))) continue;
    if (leading && *p == '0') continue;
    leading = false;
    ++significant;
    if (*p != '0') ++nonZero;
  }
  // A power of ten may come from rounding up into the next decade, where the C library's own
  // formatting (which the stream uses) has its particular output: let it write those.
  if (nonZero == 1 && significant >= 1 &&
      *std::find_if(digits, exponent, [](char c) { return c >= '1' && c <= '9'; }) == '1') {
    char text[64];
    const int length = std::snprintf(text, sizeof text, "%#g", value);
    line.append(text, static_cast<std::size_t>(length));
    return;
  }
  if (significant == 0) significant = 1; // zero itself counts as one digit
  line.append(digits, exponent);
  if (!point) line += '.';
  line.append(static_cast<std::size_t>(std::max(6 - significant, 0)), '0');
  line.append(exponent, end);
}

// Appends the text of one value to a line.
template <class T> void writeCell(std::string& line, const T& value) {
  if constexpr (std::is_same_v<T, std::string>) {
    line += value;
  } else if constexpr (std::is_same_v<T, long double>) {
    // Long double columns are not written.
  } else if constexpr (std::is_integral_v<T>) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    line.append(buffer, result.ptr);
  } else {
    appendShowPoint(line, static_cast<double>(value));
  }
}

} // namespace

std::ostream& operator<<(std::ostream& out, const DataSet& dataSet) {
  const char separator = dataSet._fieldSeparator;
  const std::size_t numColumns = dataSet._variableNames.size();
  std::string line;
  for (std::size_t c = 0; c < numColumns; ++c) {
    if (c > 0) line += separator;
    line += dataSet._variableNames[c];
  }
  line += '\n';
  out << line;

  // One writer per column, chosen once by the column's type.
  std::vector<std::function<void(std::string&, int)>> writers(numColumns, [](std::string&, int) {});
  for (std::size_t c = 0; c < numColumns; ++c) {
    withType(dataSet._columnTypes[c], [&](auto tag) {
      using T = typename decltype(tag)::type;
      const Vector<T>* column = static_cast<const Vector<T>*>(dataSet._columns[c].get());
      writers[c] = [column](std::string& text, int row) {
        if (row < column->getSize()) writeCell(text, (*column)[row]);
      };
    });
  }
  for (int row = 0; row < dataSet._numRows; ++row) {
    line.clear();
    for (std::size_t c = 0; c < numColumns; ++c) {
      if (c > 0) line += separator;
      writers[c](line, row);
    }
    line += '\n';
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
  }
  return out;
}

// === Files

void DataSet::load(const std::string& fileName) {
  if (!FileInfo::fileExists(fileName)) throwError<FileReadError>(OSTREL_HERE, "The file does not exist");
  std::ifstream in(fileName, std::ios::binary);
  if (!in.is_open()) {
    clear();
    return;
  }
  try {
    in >> *this;
  } catch (FileError& error) {
    error.setFilename(fileName);
    error.addWhere(OSTREL_HERE);
    throw;
  }
}

void DataSet::save(const std::string& fileName, bool overwrite) const {
  const char* const where = OSTREL_HERE;
  if (!overwrite && FileInfo::fileExists(fileName))
    throwFileError<FileWriteError>(where, "File exists", fileName);
  std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
  if (out.is_open()) out << *this;
  if (!out.is_open() || !out.flush())
    throwFileError<FileWriteError>(where, "The file cannot be written", fileName);
}

// === Shape and names

Vector<int> DataSet::size() const {
  Vector<int> sizes(2);
  sizes[0] = _numRows;
  sizes[1] = static_cast<int>(_variableNames.size());
  return sizes;
}

std::string DataSet::columnType(int column) const {
  std::string code = "type error";
  if (column < 0 || column >= static_cast<int>(_columnTypes.size())) return code;
  withType(_columnTypes[column], [&](auto tag) { code = Type<typename decltype(tag)::type>::code; });
  return code;
}

std::string DataSet::columnTypes() const {
  std::string codes;
  for (int c = 0; c < static_cast<int>(_columnTypes.size()); ++c) codes += columnType(c);
  return codes;
}

int DataSet::findColumn(const std::string& name) const {
  const auto found = std::find(_variableNames.begin(), _variableNames.end(), name);
  return found == _variableNames.end() ? -1 : static_cast<int>(found - _variableNames.begin());
}

int DataSet::existingColumn(const std::string& name, const char* where) const {
  const int column = findColumn(name);
  if (column < 0) throwError<NameError>(where, "Variable name not found");
  return column;
}

int DataSet::addColumn(const std::string& name) {
  _variableNames.push_back(name);
  _columnTypes.emplace_back();
  _columns.emplace_back(nullptr, nullptr);
  return static_cast<int>(_variableNames.size()) - 1;
}

int DataSet::findOrAddColumn(const std::string& name) {
  const int column = findColumn(name);
  return column < 0 ? addColumn(name) : column;
}

void DataSet::padColumns() {
  for (std::size_t c = 0; c < _columns.size(); ++c) {
    withType(_columnTypes[c], [&](auto tag) {
      using T = typename decltype(tag)::type;
      Vector<T>& column = *static_cast<Vector<T>*>(_columns[c].get());
      if (column.getSize() < _numRows) resizeColumn(column, _numRows);
    });
  }
}

// === Typed access

template <class T> Vector<T>& DataSet::typedColumn(int column, const char* where) const {
  if (_columnTypes[column].empty()) {
    _columns[column] = newColumn<T>();
    resizeColumn(*static_cast<Vector<T>*>(_columns[column].get()), _numRows);
    _columnTypes[column] = Type<T>::name;
  } else if (_columnTypes[column] != Type<T>::name) {
    throwError<TypeError>(where, "Variable '" + _variableNames[column] + "' holds values of type " +
                                     _columnTypes[column] + ", not " + Type<T>::name);
  }
  return *static_cast<Vector<T>*>(_columns[column].get());
}

template <class T> const Vector<T>& DataSet::getValues(const std::string& name) const {
  const char* const where = OSTREL_HERE;
  const int column = existingColumn(name, where);
  return typedColumn<T>(column, where);
}

template <class T> T DataSet::getValue(const std::string& name, int row) const {
  const char* const where = OSTREL_HERE;
  const int column = existingColumn(name, where);
  const Vector<T>& values = typedColumn<T>(column, where);
  if (row < 0 || row >= _numRows) throwError<SizeError>(where, "Row index out of range");
  return row < values.getSize() ? values[row] : T(); // beyond the cells of a short column: missing
}

template <class T> void DataSet::setValue(const std::string& name, int row, const T& value) {
  const char* const where = OSTREL_HERE;
  if (row < 0) throwError<SizeError>(where, "Row index out of range");
  const int column = findOrAddColumn(name);
  Vector<T>& values = typedColumn<T>(column, where);
  if (row >= _numRows) {
    _numRows = row + 1;
    padColumns();
  }
  if (row >= values.getSize()) resizeColumn(values, _numRows); // a column shorter than the data set
  values[row] = value;
}

template <class T> void DataSet::setValues(const std::string& name, const T& value) {
  const int column = findOrAddColumn(name);
  Vector<T>& values = typedColumn<T>(column, OSTREL_HERE);
  if (values.getSize() < _numRows) resizeColumn(values, _numRows);
  values.fill(value);
}

template <class T> void DataSet::setValues(const std::string& name, const Vector<T>& values) {
  const int column = findOrAddColumn(name);
  Vector<T>& target = typedColumn<T>(column, OSTREL_HERE);
  target = values;
  _numRows = std::max(_numRows, values.getSize());
  padColumns();
}

void DataSet::append(const DataSet& other) {
  const int first = _numRows;
  _numRows += other._numRows;
  padColumns();
  for (std::size_t c = 0; c < other._variableNames.size(); ++c) {
    const int column = findOrAddColumn(other._variableNames[c]);
    withType(other._columnTypes[c], [&](auto tag) {
      using T = typename decltype(tag)::type;
      Vector<T>& target = typedColumn<T>(column, OSTREL_HERE);
      const Vector<T>& source = *static_cast<const Vector<T>*>(other._columns[c].get());
      for (int row = 0; row < source.getSize(); ++row) target[first + row] = source[row];
    });
  }
}

template <class T> void DataSet::crop(const std::string& name, const T& value) {
  const char* const where = OSTREL_HERE;
  const int column = existingColumn(name, where);
  const Vector<T>& key = typedColumn<T>(column, where);
  std::vector<int> kept;
  for (int row = 0; row < key.getSize(); ++row)
    if (key[row] == value) kept.push_back(row);
  for (std::size_t c = 0; c < _columns.size(); ++c) {
    withType(_columnTypes[c], [&](auto tag) {
      using U = typename decltype(tag)::type;
      Vector<U>& values = *static_cast<Vector<U>*>(_columns[c].get());
      Vector<U> selected(static_cast<int>(kept.size()));
      for (std::size_t i = 0; i < kept.size(); ++i)
        selected[static_cast<int>(i)] = kept[i] < values.getSize() ? values[kept[i]] : U();
      values.swap(selected);
    });
  }
  _numRows = static_cast<int>(kept.size());
}

#define OSTREL_INSTANTIATE_ACCESS(T)                                                                         \
  template const Vector<T>& DataSet::getValues<T>(const std::string&) const;                                 \
  template T DataSet::getValue<T>(const std::string&, int) const;                                            \
  template void DataSet::setValue<T>(const std::string&, int, const T&);                                     \
  template void DataSet::setValues<T>(const std::string&, const T&);                                         \
  template void DataSet::setValues<T>(const std::string&, const Vector<T>&);

OSTREL_INSTANTIATE_ACCESS(std::string)
OSTREL_INSTANTIATE_ACCESS(int)
OSTREL_INSTANTIATE_ACCESS(long)
OSTREL_INSTANTIATE_ACCESS(float)
OSTREL_INSTANTIATE_ACCESS(double)
OSTREL_INSTANTIATE_ACCESS(long double)

template void DataSet::crop<std::string>(const std::string&, const std::string&);
template void DataSet::crop<int>(const std::string&, const int&);
template void DataSet::crop<long>(const std::string&, const long&);
template void DataSet::crop<float>(const std::string&, const float&);
template void DataSet::crop<double>(const std::string&, const double&);

#pragma once

#include "foundation/Vector.h"

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

// A small table of named columns, each typed as text (std::string), int, long, float, double or
// long double, read from and written to delimited text (".df" files).
//
// Reading: the first line names the columns; every further line is a row split exactly at the
// separator (no trimming, a carriage return stays in the last piece). The first value a column
// receives decides its type: a whole base-10 integer makes it int, a whole floating-point number
// float, anything else text (with surrounding double quotes removed). Later numbers are read like
// stream extraction (a piece that is not a number gives 0). Cells missing from short lines before a
// column's last cell are unset (0 or empty); a column ends with its last cell in the file, so that
// short last lines cost no memory, and reads as unset beyond it. Input whose missing cells within
// columns would far outnumber its bytes is refused with a FileFormatError rather than filling memory.
//
// Typed access must use the column's own type; another type raises a TypeError.
class DataSet {
public:
  // === Construction
  DataSet() = default;
  DataSet(const std::string& fileName, const char& separator); // sets the separator, then loads
  DataSet(const DataSet& other);
  DataSet& operator=(const DataSet& other);
  ~DataSet();
  void assign(const DataSet& other) { *this = other; }
  void swap(DataSet& other);
  void clear(); // no rows, no columns

  // === Files
  void load(const std::string& fileName);                       // FileReadError when missing
  void save(const std::string& fileName, bool overwrite) const; // FileWriteError when it exists
  friend std::istream& operator>>(std::istream& in, DataSet& dataSet);
  friend std::ostream& operator<<(std::ostream& out, const DataSet& dataSet);

  // === Shape and names
  Vector<int> size() const; // (numRows, number of columns)
  int numRows() const { return _numRows; }
  const std::vector<std::string>& variableNames() const { return _variableNames; }
  std::string columnType(int column) const; // "%s", "%d", "%ld", "%f", "%lf" or "type error"
  std::string columnTypes() const;          // all codes joined without separators
  void setFieldSeparator(const char& separator) { _fieldSeparator = separator; }
  char getFieldSeparator() const { return _fieldSeparator; }

  // === Typed access, T in {std::string, int, long, float, double, long double}
  // NameError "Variable name not found" for an unknown name; a named column without values yet
  // takes the type T.
  // The column's values; a column read from a file whose last lines are short holds fewer than numRows.
  template <class T> const Vector<T>& getValues(const std::string& name) const;
  // Unset (0 or empty) beyond a short column's values; SizeError outside 0 to numRows - 1.
  template <class T> T getValue(const std::string& name, int row) const;
  // Adds the column when the name is new; grows the column (and numRows) to hold row.
  template <class T> void setValue(const std::string& name, int row, const T& value);
  template <class T> void setValues(const std::string& name, const T& value); // every one of numRows rows
  template <class T> void setValues(const std::string& name, const Vector<T>& values);

  // Rows of other below these; columns matched by name (new names become new columns), with the
  // cells a data set does not have left unset.
  void append(const DataSet& other);
  // Keeps the rows whose value in the named column equals value.
  template <class T> void crop(const std::string& name, const T& value);

  // === Text helpers
  static void removeQuotes(std::string& text); // drops a double quote at both ends (2+ characters)
  template <class T> static bool isType(const std::string& text, T& value); // the whole text reads as T

private:
  int findColumn(const std::string& name) const;                        // -1 when there is no such column
  int existingColumn(const std::string& name, const char* where) const; // NameError when missing
  int addColumn(const std::string& name);
  int findOrAddColumn(const std::string& name);
  template <class T> Vector<T>& typedColumn(int column, const char* where) const;
  void padColumns();

  int _numRows = 0;
  std::vector<std::string> _variableNames;
  mutable std::vector<std::string> _columnTypes; // element type names; "" until a column has values
  // A column's values: a Vector<T> of the type _columnTypes names, deleted as that type; null until
  // the column has values. Owned, so that a constructor that throws frees them.
  using Column = std::unique_ptr<void, void (*)(void*)>;
  template <class T> static Column newColumn(); // an empty Vector<T>
  mutable std::vector<Column> _columns;
  char _fieldSeparator = '\t';
};

template <> bool DataSet::isType<int>(const std::string& text, int& value);
template <> bool DataSet::isType<float>(const std::string& text, float& value);

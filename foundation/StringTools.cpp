#include "foundation/StringTools.h"

#include <iomanip>
#include <sstream>

std::string StringTools::toString(int value) {
  return std::to_string(value);
}

std::string StringTools::toString(int value, int width, char fill) {
  std::ostringstream out;
  out << std::setw(width) << std::setfill(fill) << value;
  return out.str();
}

std::vector<std::string> StringTools::tokenize(const std::string& text, const std::string& separators) {
  std::vector<std::string> tokens;
  std::size_t start = text.find_first_not_of(separators);
  while (start != std::string::npos) {
    const std::size_t stop = text.find_first_of(separators, start);
    tokens.push_back(text.substr(start, stop == std::string::npos ? std::string::npos : stop - start));
    start = stop == std::string::npos ? stop : text.find_first_not_of(separators, stop);
  }
  return tokens;
}

#include "foundation/StringTools.h"

#include <algorithm>
#include <cctype>
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

std::string StringTools::lowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
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

#pragma once

#include <string>
#include <vector>

// Number-to-text conversion and splitting of texts.
class StringTools {
public:
  static std::string toString(int value);                       // decimal
  static std::string toString(int value, int width, char fill); // right-aligned in width, padded with fill
  // The non-empty pieces of text between any of the separator characters.
  static std::vector<std::string> tokenize(const std::string& text, const std::string& separators);
};

#pragma once

#include <string>
#include <vector>

// Number-to-text conversion, case folding and splitting of texts.
class StringTools {
public:
  static std::string toString(int value);                       // decimal
  static std::string toString(int value, int width, char fill); // right-aligned in width, padded with fill
  static std::string lowerCase(std::string text);               // ASCII letters folded to lower case
  // The non-empty pieces of text between any of the separator characters.
  static std::vector<std::string> tokenize(const std::string& text, const std::string& separators);
};

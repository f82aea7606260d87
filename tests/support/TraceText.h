#pragma once

#include <string>

// Trace output without its ANSI colour sequences ("\033[...m"), so that tests can look for the plain
// "ENTER> name [n]" and "EVAL> expression = value" lines.
inline std::string withoutColours(const std::string& text) {
  std::string plain;
  plain.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\033' && i + 1 < text.size() && text[i + 1] == '[') {
      const std::size_t end = text.find('m', i);
      if (end == std::string::npos) break;
      i = end;
      continue;
    }
    plain += text[i];
  }
  return plain;
}

#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

// Physical unit of pixel and voxel sizes: a power of ten of the metre, identified by its decimal
// exponent, the scale (-6 micrometre, -3 millimetre, 0 metre). Any scale can be stored; scales
// without an SI prefix (-1, 1, 2, ...) are named with "???" in place of the prefix.
class LengthUnit {
public:
  LengthUnit(); // the metre

  bool operator==(const LengthUnit& other) const { return _scale == other._scale; }
  bool operator!=(const LengthUnit& other) const { return _scale != other._scale; }

  void setScale(int scale) { _scale = scale; }
  int getScale() const { return _scale; }

  std::string prefixName() const;   // "micro"; "" for the metre; "???" without a prefix
  std::string prefixSymbol() const; // "µ" (UTF-8) for micro
  std::string name() const;         // prefixName() + "meter"
  std::string symbol() const;       // prefixSymbol() + "m"

  static std::string baseName() { return "meter"; }
  static std::string baseSymbol() { return "m"; }
  static std::vector<int> availableScales(); // the 18 prefixed exponents, ascending
  static std::vector<std::string> availableNames();
  static std::vector<std::string> availableSymbols();

private:
  static void initialize(); // fills the prefix table once

  // Scale -> (prefix name, prefix symbol); a function-local static so that units built during
  // static initialisation elsewhere find it constructed.
  static std::map<int, std::pair<std::string, std::string>>& prefixes();

  static bool _initializationNeeded;

  int _scale = 0;
};

#include "foundation/LengthUnit.h"

bool LengthUnit::_initializationNeeded = true;

std::map<int, std::pair<std::string, std::string>>& LengthUnit::prefixes() {
  static std::map<int, std::pair<std::string, std::string>> table;
  return table;
}

namespace {

const char* const kUnknownPrefix = "???";

} // namespace

void LengthUnit::initialize() {
  if (!_initializationNeeded) return;
  prefixes() = {
      {-24, {"yocto", "y"}}, {-21, {"zepto", "z"}}, {-18, {"atto", "a"}},        {-15, {"femto", "f"}},
      {-12, {"pico", "p"}},  {-9, {"nano", "n"}},   {-6, {"micro", "\xC2\xB5"}}, {-3, {"milli", "m"}},
      {-2, {"centi", "c"}},  {0, {"", ""}},         {3, {"kilo", "k"}},          {6, {"mega", "M"}},
      {9, {"giga", "G"}},    {12, {"tera", "T"}},   {15, {"peta", "P"}},         {18, {"exa", "E"}},
      {21, {"zetta", "Z"}},  {24, {"yotta", "Y"}},
  };
  _initializationNeeded = false;
}

LengthUnit::LengthUnit() {
  initialize();
}

std::string LengthUnit::prefixName() const {
  const auto entry = prefixes().find(_scale);
  return entry == prefixes().end() ? kUnknownPrefix : entry->second.first;
}

std::string LengthUnit::prefixSymbol() const {
  const auto entry = prefixes().find(_scale);
  return entry == prefixes().end() ? kUnknownPrefix : entry->second.second;
}

std::string LengthUnit::name() const {
  return prefixName() + baseName();
}

std::string LengthUnit::symbol() const {
  return prefixSymbol() + baseSymbol();
}

std::vector<int> LengthUnit::availableScales() {
  initialize();
  std::vector<int> scales;
  for (const auto& entry : prefixes()) scales.push_back(entry.first);
  return scales;
}

std::vector<std::string> LengthUnit::availableNames() {
  initialize();
  std::vector<std::string> names;
  for (const auto& entry : prefixes()) names.push_back(entry.second.first + baseName());
  return names;
}

std::vector<std::string> LengthUnit::availableSymbols() {
  initialize();
  std::vector<std::string> symbols;
  for (const auto& entry : prefixes()) symbols.push_back(entry.second.second + baseSymbol());
  return symbols;
}

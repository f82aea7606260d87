#include "geometry/MeshFileSizeCheck.h"

#include "foundation/ErrorThrowing.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

namespace {

[[noreturn]] void refuse(const std::string& path,
                         const std::string& why = "The file is shorter than its declared contents") {
  throwFileError<FileFormatError>("void checkMeshFileSizes(const string&)", why, path);
}

std::string lowerCase(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
  return s;
}

// Bytes of a PLY scalar type, 0 for an unknown one.
int scalarBytes(const std::string& type) {
  static const std::pair<const char*, int> sizes[] = {
      {"char", 1},   {"uchar", 1},   {"int8", 1},   {"uint8", 1},  {"short", 2}, {"ushort", 2},
      {"int16", 2},  {"uint16", 2},  {"int", 4},    {"uint", 4},   {"float", 4}, {"int32", 4},
      {"uint32", 4}, {"float32", 4}, {"double", 8}, {"float64", 8}};
  for (const auto& [name, bytes] : sizes)
    if (type == name) return bytes;
  return 0;
}

struct PlyProperty {
  int bytes = 0;      // of a scalar, or of each list item
  int countBytes = 0; // of a list's count, 0 for a scalar
};

struct PlyElement {
  std::uint64_t count = 0;
  std::vector<PlyProperty> properties;
};

// The fewest bytes that the declared records take, counting lists as empty.
std::uint64_t leastBodyBytes(const std::vector<PlyElement>& elements, bool ascii) {
  std::uint64_t total = 0;
  for (const PlyElement& element : elements) {
    std::uint64_t record = 0;
    for (const PlyProperty& p : element.properties)
      record += ascii ? 2 : p.countBytes > 0 ? p.countBytes : p.bytes;
    if (record > 0 && element.count > (std::uint64_t(1) << 62) / record) return std::uint64_t(1) << 62;
    total += element.count * record;
  }
  return total;
}

// Whether a list of the body could make the library allocate more than the file holds: its count
// is text, or binary of more than one byte (a one-byte count asks for at most 255 items).
bool hasLongLists(const std::vector<PlyElement>& elements, bool ascii) {
  for (const PlyElement& element : elements)
    for (const PlyProperty& p : element.properties)
      if (p.countBytes > (ascii ? 0 : 1)) return true;
  return false;
}

// Walks the records of a binary body, checking every list against the bytes left.
bool binaryBodyFits(const std::vector<PlyElement>& elements, const char* begin, const char* end,
                    bool bigEndian) {
  const char* at = begin;
  for (const PlyElement& element : elements) {
    bool lists = false;
    std::uint64_t recordBytes = 0;
    for (const PlyProperty& p : element.properties) lists |= p.countBytes > 0, recordBytes += p.bytes;
    if (!lists) {
      if (recordBytes > 0 && element.count > std::uint64_t(end - at) / recordBytes) return false;
      at += element.count * recordBytes;
      continue;
    }
    for (std::uint64_t r = 0; r < element.count; ++r) {
      for (const PlyProperty& p : element.properties) {
        if (p.countBytes == 0) {
          if (end - at < p.bytes) return false;
          at += p.bytes;
          continue;
        }
        if (end - at < p.countBytes) return false;
        std::uint64_t count = 0;
        for (int b = 0; b < p.countBytes; ++b) {
          const int shift = 8 * (bigEndian ? p.countBytes - 1 - b : b);
          count |= std::uint64_t(static_cast<unsigned char>(at[b])) << shift;
        }
        at += p.countBytes;
        if (count > std::uint64_t(end - at) / p.bytes) return false;
        at += count * p.bytes;
      }
    }
  }
  return true;
}

// The same for a text body: every value takes at least two characters (itself and a separator).
bool asciiBodyFits(const std::vector<PlyElement>& elements, const char* begin, const char* end) {
  const char* at = begin;
  auto skipToken = [&]() {
    while (at < end && std::isspace(static_cast<unsigned char>(*at))) ++at;
    const char* start = at;
    while (at < end && !std::isspace(static_cast<unsigned char>(*at))) ++at;
    return start;
  };
  for (const PlyElement& element : elements) {
    bool lists = false;
    for (const PlyProperty& p : element.properties) lists |= p.countBytes > 0;
    const std::uint64_t values = element.properties.size();
    if (element.count > std::uint64_t(end - at + 1) / 2 / std::max<std::uint64_t>(values, 1)) return false;
    if (!lists) {
      for (std::uint64_t k = 0; k < element.count * values; ++k) skipToken();
      continue;
    }
    for (std::uint64_t r = 0; r < element.count; ++r) {
      for (const PlyProperty& p : element.properties) {
        const char* token = skipToken();
        if (token == at) return false;
        if (p.countBytes == 0) continue;
        const long long count = std::strtoll(std::string(token, at).c_str(), nullptr, 10);
        if (count < 0 || std::uint64_t(count) > std::uint64_t(end - at + 1) / 2) return false;
        for (long long k = 0; k < count; ++k) skipToken();
      }
    }
  }
  return true;
}

bool isCount(const std::string& word) {
  return !word.empty() && word.size() <= 18 &&
         std::all_of(word.begin(), word.end(), [](unsigned char c) { return std::isdigit(c); });
}

// Parses a PLY header line by line as the format defines it. The library reads a header it does
// not understand in ways that can crash, so anything else (an unknown keyword or type, a property
// before any element, a floating-point list count, a missing format or end) is refused.
bool parsePlyHeader(const std::string& header, std::string& format, std::vector<PlyElement>& elements) {
  std::istringstream lines(header);
  std::string line;
  std::getline(lines, line);
  if (line != "ply" && line != "ply\r") return false;
  while (std::getline(lines, line)) {
    std::istringstream stream(line);
    std::vector<std::string> w{std::istream_iterator<std::string>(stream), {}};
    if (w.empty() || w[0] == "comment" || w[0] == "obj_info") continue;
    if (w[0] == "end_header" && w.size() == 1) return !format.empty();
    if (w[0] == "format" && w.size() == 3 && format.empty() && elements.empty()) {
      if (w[1] != "ascii" && w[1] != "binary_little_endian" && w[1] != "binary_big_endian") return false;
      if (w[2] != "1.0" && w[2] != "1") return false;
      format = w[1];
    } else if (w[0] == "element" && w.size() == 3 && isCount(w[2])) {
      elements.push_back({std::strtoull(w[2].c_str(), nullptr, 10), {}});
    } else if (w[0] == "property" && !elements.empty() && w.size() == 5 && w[1] == "list") {
      const PlyProperty property{scalarBytes(w[3]), scalarBytes(w[2])};
      const bool integralCount = w[2].find("float") == std::string::npos && w[2] != "double";
      if (property.countBytes == 0 || property.bytes == 0 || !integralCount) return false;
      elements.back().properties.push_back(property);
    } else if (w[0] == "property" && !elements.empty() && w.size() == 3 && scalarBytes(w[1]) > 0) {
      elements.back().properties.push_back({scalarBytes(w[1]), 0});
    } else {
      return false;
    }
  }
  return false;
}

// Reads the header from the file's start; reads and walks the body only when it has long lists.
void checkPly(std::ifstream& file, std::uint64_t fileSize, const std::string& path) {
  std::string start(static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, 1 << 16)), '\0');
  file.read(start.data(), static_cast<std::streamsize>(start.size()));
  const std::size_t headerEnd = start.find("\nend_header");
  const std::size_t lineEnd = start.find('\n', headerEnd + 1);
  std::string format;
  std::vector<PlyElement> elements;
  if (headerEnd == std::string::npos || !parsePlyHeader(start.substr(0, lineEnd), format, elements))
    refuse(path, "The file's PLY header is malformed");
  const std::uint64_t bodyStart = lineEnd == std::string::npos ? fileSize : lineEnd + 1;
  const bool ascii = format == "ascii";
  if (leastBodyBytes(elements, ascii) > fileSize - bodyStart) refuse(path);
  if (!hasLongLists(elements, ascii)) return;
  std::string body(static_cast<std::size_t>(fileSize - bodyStart), '\0');
  file.clear();
  file.seekg(static_cast<std::streamoff>(bodyStart));
  file.read(body.data(), static_cast<std::streamsize>(body.size()));
  const char* begin = body.data();
  const char* end = begin + file.gcount();
  const bool fits = ascii ? asciiBodyFits(elements, begin, end)
                          : binaryBodyFits(elements, begin, end, format == "binary_big_endian");
  if (!fits) refuse(path);
}

// The lines of an OFF file that carry data: comments and blank lines are left out.
class OffLines {
public:
  explicit OffLines(std::ifstream& file) : _file(file) {}
  // The next data line's words; false at the end of the file.
  bool next(std::vector<std::string>& words) {
    words.clear();
    while (words.empty() && std::getline(_file, _line)) {
      const char* at = _line.c_str();
      while (*at != '\0' && *at != '#') {
        while (std::isspace(static_cast<unsigned char>(*at))) ++at;
        const char* start = at;
        while (*at != '\0' && *at != '#' && !std::isspace(static_cast<unsigned char>(*at))) ++at;
        if (at > start) words.emplace_back(start, at);
      }
    }
    return !words.empty();
  }

private:
  std::ifstream& _file;
  std::string _line; // reused from line to line
};

bool isNumber(const std::string& word) {
  char* end = nullptr;
  std::strtod(word.c_str(), &end);
  return end != word.c_str() && *end == '\0';
}

// The library trusts an OFF file's counts and indices and crashes on some that do not hold, so the
// whole file is walked first: the counts must fit the file's size, every vertex line must start with
// three numbers, and every face line must give 1 to 9 corners (the most the library reads), each
// the index of a declared vertex.
void checkOff(std::ifstream& file, std::uint64_t fileSize, const std::string& path) {
  const std::string malformed = "The file's OFF data is malformed";
  OffLines lines(file);
  std::vector<std::string> words;
  if (!lines.next(words)) refuse(path, malformed);
  words.erase(words.begin()); // the keyword, checked by the caller
  if (words.empty() && !lines.next(words)) refuse(path, malformed);
  if (words.size() < 2 || !isCount(words[0]) || !isCount(words[1])) refuse(path, malformed);
  const std::uint64_t vertices = std::strtoull(words[0].c_str(), nullptr, 10);
  const std::uint64_t faces = std::strtoull(words[1].c_str(), nullptr, 10);
  // A vertex takes at least six characters ("0 0 0" and a line end), a face at least two.
  if (vertices > fileSize / 6 || faces > fileSize / 2 || vertices * 6 + faces * 2 > fileSize) refuse(path);
  for (std::uint64_t v = 0; v < vertices; ++v)
    if (!lines.next(words) || words.size() < 3 || !std::all_of(words.begin(), words.begin() + 3, isNumber))
      refuse(path, malformed);
  for (std::uint64_t f = 0; f < faces; ++f) {
    if (!lines.next(words) || !isCount(words[0])) refuse(path, malformed);
    const std::uint64_t corners = std::strtoull(words[0].c_str(), nullptr, 10);
    if (corners < 1 || corners > 9 || words.size() < corners + 1) refuse(path, malformed);
    for (std::uint64_t c = 1; c <= corners; ++c)
      if (!isCount(words[c]) || std::strtoull(words[c].c_str(), nullptr, 10) >= vertices)
        refuse(path, malformed);
  }
}

} // namespace

void checkMeshFileSizes(const std::string& path) {
  std::ifstream file(path, std::ios_base::binary | std::ios_base::ate);
  const std::streamoff size = file.tellg();
  if (size <= 0) return;
  file.seekg(0);
  char start[8] = {};
  file.read(start, sizeof start);
  const std::string opening = lowerCase(std::string(start, static_cast<std::size_t>(file.gcount())));
  const std::string keyword = opening.substr(0, opening.find_first_of(" \t\r\n"));
  file.clear();
  file.seekg(0);
  if (keyword.rfind("ply", 0) == 0)
    checkPly(file, static_cast<std::uint64_t>(size), path);
  else if (keyword.size() >= 3 && keyword.compare(keyword.size() - 3, 3, "off") == 0)
    checkOff(file, static_cast<std::uint64_t>(size), path);
}

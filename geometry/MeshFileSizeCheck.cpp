#include "geometry/MeshFileSizeCheck.h"

#include "foundation/ErrorThrowing.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

[[noreturn]] void refuse(const std::string& path) {
  throwFileError<FileFormatError>("void checkMeshFileSizes(const string&)",
                                  "The file is shorter than its declared contents", path);
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

// Reads the header from the file's start; reads and walks the body only when it has long lists.
void checkPly(std::ifstream& file, std::uint64_t fileSize, const std::string& path) {
  std::string start(static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, 1 << 16)), '\0');
  file.read(start.data(), static_cast<std::streamsize>(start.size()));
  const std::size_t headerEnd = start.find("end_header");
  if (headerEnd == std::string::npos) return;
  std::istringstream header(start.substr(0, headerEnd));
  std::string line, format;
  std::vector<PlyElement> elements;
  while (std::getline(header, line)) {
    std::istringstream words(line);
    std::string keyword, a, b;
    words >> keyword;
    if (keyword == "format") {
      words >> format;
    } else if (keyword == "element") {
      PlyElement element;
      words >> a >> element.count;
      if (!words) return;
      elements.push_back(element);
    } else if (keyword == "property" && !elements.empty()) {
      words >> a;
      PlyProperty property;
      if (a == "list") {
        words >> a >> b;
        property.countBytes = scalarBytes(a);
        property.bytes = scalarBytes(b);
        if (property.countBytes == 0) return;
      } else {
        property.bytes = scalarBytes(a);
      }
      if (property.bytes == 0) return;
      elements.back().properties.push_back(property);
    }
  }
  const std::size_t lineEnd = start.find('\n', headerEnd);
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

// OFF: the vertex and face counts that follow the keyword; a vertex takes at least six characters
// ("0 0 0" and a line end), a face at least two.
void checkOff(std::ifstream& file, std::uint64_t fileSize, const std::string& path) {
  std::string start(static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, 4096)), '\0');
  file.read(start.data(), static_cast<std::streamsize>(start.size()));
  std::istringstream text(start);
  std::string word;
  std::vector<std::uint64_t> counts;
  while (counts.size() < 2 && text >> word) {
    if (word[0] == '#') {
      std::getline(text, word);
      continue;
    }
    if (std::isalpha(static_cast<unsigned char>(word[0]))) continue;
    counts.push_back(std::strtoull(word.c_str(), nullptr, 10));
  }
  if (counts.size() < 2) return;
  if (counts[0] > fileSize / 6 || counts[1] > fileSize / 2 || counts[0] * 6 + counts[1] * 2 > fileSize)
    refuse(path);
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

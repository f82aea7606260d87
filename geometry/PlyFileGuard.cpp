#include "geometry/MeshFileGuards.h"

#include "foundation/FileBytes.h"
#include "foundation/MemoryStream.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

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
  std::string name;
};

struct PlyElement {
  std::string name;
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
    } else if (w[0] == "element" && w.size() == 3 && isDecimalCount(w[2])) {
      elements.push_back({w[1], std::strtoull(w[2].c_str(), nullptr, 10), {}});
    } else if (w[0] == "property" && !elements.empty() && w.size() == 5 && w[1] == "list") {
      const PlyProperty property{scalarBytes(w[3]), scalarBytes(w[2]), w[4]};
      const bool integralCount = w[2].find("float") == std::string::npos && w[2] != "double";
      if (property.countBytes == 0 || property.bytes == 0 || !integralCount) return false;
      elements.back().properties.push_back(property);
    } else if (w[0] == "property" && !elements.empty() && w.size() == 3 && scalarBytes(w[1]) > 0) {
      elements.back().properties.push_back({scalarBytes(w[1]), 0, w[2]});
    } else {
      return false;
    }
  }
  return false;
}

// The library makes room for the vertices of the first vertex element and for the faces of the
// first face or strip element, and writes those of any later one past that room. It reaches a face's
// texture coordinates through the face's list of vertex indices, which must then be there.
bool plyElementsFitTheLibrary(const std::vector<PlyElement>& elements) {
  int vertexElements = 0, faceElements = 0;
  for (const PlyElement& element : elements) {
    vertexElements += element.name == "vertex";
    faceElements += element.name == "face" || element.name == "tristrips";
    const auto hasList = [&element](std::initializer_list<const char*> names) {
      return std::any_of(element.properties.begin(), element.properties.end(), [&](const PlyProperty& p) {
        return p.countBytes > 0 && std::find(names.begin(), names.end(), p.name) != names.end();
      });
    };
    if (element.name == "face" && hasList({"texcoord"}) && !hasList({"vertex_index", "vertex_indices"}))
      return false;
  }
  return vertexElements <= 1 && faceElements <= 1;
}

// Reads the header from the file's start; reads and walks the body only when it has long lists.
void checkPly(std::istream& file, std::uint64_t fileSize, const std::string& path) {
  std::string start(static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, 1 << 16)), '\0');
  file.read(start.data(), static_cast<std::streamsize>(start.size()));
  const std::size_t headerEnd = start.find("\nend_header");
  const std::size_t lineEnd = start.find('\n', headerEnd + 1);
  std::string format;
  std::vector<PlyElement> elements;
  if (headerEnd == std::string::npos || !parsePlyHeader(start.substr(0, lineEnd), format, elements))
    refuseMeshFile(path, "The file's PLY header is malformed");
  if (!plyElementsFitTheLibrary(elements))
    refuseMeshFile(path, "The file's PLY header repeats the vertex or face element, or gives faces texture "
                         "coordinates without vertex indices");
  const std::uint64_t bodyStart = lineEnd == std::string::npos ? fileSize : lineEnd + 1;
  const bool ascii = format == "ascii";
  if (leastBodyBytes(elements, ascii) > fileSize - bodyStart) refuseMeshFile(path);
  if (!hasLongLists(elements, ascii)) return;
  std::string body(static_cast<std::size_t>(fileSize - bodyStart), '\0');
  file.clear();
  file.seekg(static_cast<std::streamoff>(bodyStart));
  file.read(body.data(), static_cast<std::streamsize>(body.size()));
  const char* begin = body.data();
  const char* end = begin + file.gcount();
  const bool fits = ascii ? asciiBodyFits(elements, begin, end)
                          : binaryBodyFits(elements, begin, end, format == "binary_big_endian");
  if (!fits) refuseMeshFile(path);
}

} // namespace

void guardPlyFile(const FileBytes& file) {
  MemoryStream stream(file.bytes());
  checkPly(stream, file.bytes().size(), file.path());
}

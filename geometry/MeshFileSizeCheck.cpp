#include "geometry/MeshFileSizeCheck.h"

#include "foundation/ErrorThrowing.h"
#include "foundation/FileInfo.h"
#include "foundation/StringTools.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

[[noreturn]] void refuse(const std::string& path,
                         const std::string& why = "The file is shorter than its declared contents") {
  throwFileError<FileFormatError>("void checkMeshFileSizes(const string&)", why, path);
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
void checkPly(std::ifstream& file, std::uint64_t fileSize, const std::string& path) {
  std::string start(static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, 1 << 16)), '\0');
  file.read(start.data(), static_cast<std::streamsize>(start.size()));
  const std::size_t headerEnd = start.find("\nend_header");
  const std::size_t lineEnd = start.find('\n', headerEnd + 1);
  std::string format;
  std::vector<PlyElement> elements;
  if (headerEnd == std::string::npos || !parsePlyHeader(start.substr(0, lineEnd), format, elements))
    refuse(path, "The file's PLY header is malformed");
  if (!plyElementsFitTheLibrary(elements))
    refuse(path, "The file's PLY header repeats the vertex or face element, or gives faces texture "
                 "coordinates without vertex indices");
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
  // The keyword ("OFF", "COFF", "NOFF"...) may be missing, or glued to the counts that follow it.
  const std::size_t keywordEnd = StringTools::lowerCase(words[0]).find("off");
  if (keywordEnd != std::string::npos) {
    const std::string rest = words[0].substr(keywordEnd + 3);
    words.erase(words.begin());
    if (!rest.empty()) words.insert(words.begin(), rest);
  }
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

std::uint32_t littleEndian32(const unsigned char* bytes) {
  return std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
         std::uint32_t(bytes[3]) << 24;
}

// A whole number of the JSON that is at least 0, or -1.
double wholeNumber(const QJsonValue& value) {
  const double x = value.toDouble(-1);
  return x >= 0 && x == std::floor(x) ? x : -1;
}

// Bytes of one element of an accessor (components of the type times the bytes of one), 0 if unknown.
double elementBytes(const QJsonObject& accessor) {
  static const std::pair<const char*, int> components[] = {
      {"SCALAR", 1}, {"VEC2", 2}, {"VEC3", 3}, {"VEC4", 4}, {"MAT2", 4}, {"MAT3", 9}, {"MAT4", 16}};
  static const std::pair<int, int> bytes[] = {{5120, 1}, {5121, 1}, {5122, 2},
                                              {5123, 2}, {5125, 4}, {5126, 4}};
  int n = 0, b = 0;
  for (const auto& [type, k] : components)
    if (accessor.value("type").toString() == type) n = k;
  for (const auto& [type, k] : bytes)
    if (accessor.value("componentType").toInt() == type) b = k;
  return double(n) * b;
}

// The bytes behind each buffer, at most: the BIN chunk of a binary file, the characters of a data
// URI, or the file that the URI names beside the glTF file.
std::vector<double> bufferBytes(const QJsonArray& buffers, double binChunk, const std::string& path) {
  std::vector<double> held;
  for (const QJsonValue& buffer : buffers) {
    const QString uri = buffer.toObject().value("uri").toString();
    if (buffer.toObject().value("uri").isUndefined())
      held.push_back(held.empty() ? binChunk : 0);
    else if (uri.startsWith("data:"))
      held.push_back(uri.size() - uri.indexOf(',') - 1);
    else
      held.push_back(double(
          QFileInfo(QFileInfo(QString::fromStdString(path)).dir(), QUrl::fromPercentEncoding(uri.toUtf8()))
              .size()));
  }
  return held;
}

// The name of a member as written between its quotes, escapes resolved.
QString memberName(const QByteArray& written) {
  if (!written.contains('\\')) return QString::fromUtf8(written.mid(1, written.size() - 2));
  return QJsonDocument::fromJson("[" + written + "]").array().at(0).toString();
}

// Whether an object of the JSON text has two members of one name. The library reads the first of
// such twins and the JSON classes keep the last, so the check would not see what the library reads;
// and when the twins hold arrays or objects, Qt's parser loses the memory of the first. So the text
// is scanned before it is parsed: a string followed by a colon names a member of the innermost
// open object.
bool hasTwinMembers(const QByteArray& text) {
  std::vector<bool> openIsObject;
  std::vector<std::set<QString>> names; // of each open object
  for (int k = 0; k < text.size(); ++k) {
    const char c = text[k];
    if (c == '{' || c == '[') {
      openIsObject.push_back(c == '{');
      if (c == '{') names.emplace_back();
    } else if ((c == '}' || c == ']') && !openIsObject.empty()) {
      if (openIsObject.back()) names.pop_back();
      openIsObject.pop_back();
    } else if (c == '"') {
      const int start = k;
      for (++k; k < text.size() && text[k] != '"'; ++k)
        if (text[k] == '\\') ++k;
      int next = k + 1;
      while (next < text.size() && std::isspace(static_cast<unsigned char>(text[next]))) ++next;
      const bool isName = next < text.size() && text[next] == ':' && !names.empty() && openIsObject.back();
      if (isName && !names.back().insert(memberName(text.mid(start, k - start + 1))).second) return true;
    }
  }
  return false;
}

// The library checks the JSON's views against its buffers and its accessors against their views,
// but it makes room for an accessor without a view (all zeros but for its sparse values) as large
// as its count says. So every accessor must give a count, a type and a component type, and its
// elements must fit its view (or, without one, the file); every view must fit its buffer, and every
// buffer the bytes that hold it.
void checkGltfJson(const QByteArray& text, double binChunk, std::uint64_t fileSize, const std::string& path) {
  const QByteArray json(text.constData()); // up to the first zero byte, where the library stops
  const std::string malformed = "The file's glTF data is malformed";
  if (hasTwinMembers(json)) refuse(path, malformed);
  const QJsonDocument document = QJsonDocument::fromJson(json);
  const QJsonObject root = document.object();
  if (!document.isObject()) refuse(path, malformed);
  // The library's Draco decoding copies each point's values into room for four, whatever the number
  // of components the compressed data declares: a damaged file smashes its stack.
  if (root.value("extensionsUsed").toArray().contains(QJsonValue("KHR_draco_mesh_compression")))
    refuse(path, "The file's meshes are Draco-compressed, which is not read");
  const QJsonArray buffers = root.value("buffers").toArray();
  const QJsonArray views = root.value("bufferViews").toArray();
  const std::vector<double> held = bufferBytes(buffers, binChunk, path);
  for (int b = 0; b < buffers.size(); ++b)
    if (wholeNumber(buffers[b].toObject().value("byteLength")) > held[b]) refuse(path);
  for (const QJsonValue& view : views) {
    const int b = view.toObject().value("buffer").toInt(-1);
    const double end = std::max(0.0, wholeNumber(view.toObject().value("byteOffset"))) +
                       wholeNumber(view.toObject().value("byteLength"));
    if (b >= 0 && b < buffers.size() && end > wholeNumber(buffers[b].toObject().value("byteLength")))
      refuse(path);
  }
  // The bytes of a view from an offset on, -1 for a view that is not one.
  auto room = [&views](const QJsonObject& part) {
    const int view = part.value("bufferView").toInt(-1);
    if (view < 0 || view >= views.size()) return -1.0;
    return wholeNumber(views[view].toObject().value("byteLength")) -
           std::max(0.0, wholeNumber(part.value("byteOffset")));
  };
  for (const QJsonValue& value : root.value("accessors").toArray()) {
    const QJsonObject accessor = value.toObject();
    const double elements = wholeNumber(accessor.value("count")), bytes = elementBytes(accessor);
    if (elements < 0 || bytes == 0) refuse(path, malformed);
    const bool viewless = accessor.value("bufferView").isUndefined();
    if (elements * bytes > (viewless ? double(fileSize) : room(accessor))) refuse(path);
    if (accessor.value("sparse").isUndefined()) continue;
    // A sparse accessor's indices and values, each in a view of its own.
    const QJsonObject sparse = accessor.value("sparse").toObject();
    const QJsonObject indices = sparse.value("indices").toObject();
    const double changed = wholeNumber(sparse.value("count"));
    const int indexType = indices.value("componentType").toInt();
    const double indexBytes = indexType == 5121 ? 1 : indexType == 5123 ? 2 : indexType == 5125 ? 4 : 0;
    if (changed < 0 || changed > elements || indexBytes == 0) refuse(path, malformed);
    if (changed * indexBytes > room(indices) || changed * bytes > room(sparse.value("values").toObject()))
      refuse(path);
  }
}

// Reads a text glTF file whole and checks its JSON.
void checkGltf(std::ifstream& file, std::uint64_t fileSize, const std::string& path) {
  QByteArray text(static_cast<int>(std::min<std::uint64_t>(fileSize, INT_MAX)), '\0');
  file.seekg(0);
  file.read(text.data(), text.size());
  text.resize(static_cast<int>(file.gcount()));
  checkGltfJson(text, 0, fileSize, path);
}

// The library makes room for a binary glTF chunk as long as its header says, zero-filled, before it
// reads the chunk: a damaged length costs gigabytes and seconds. The header must be that of version
// 2, its total length the file's size, and every chunk (eight bytes of length and type, then the
// data) inside the file. The first chunk holds the JSON, the second (if it is one) the binary buffer.
void checkGlb(std::ifstream& file, std::uint64_t fileSize, const std::string& path) {
  unsigned char header[12] = {};
  file.read(reinterpret_cast<char*>(header), sizeof header);
  const std::string malformed = "The file's glTF binary header is malformed";
  if (file.gcount() != sizeof header || std::memcmp(header, "glTF", 4) != 0 ||
      littleEndian32(header + 4) != 2)
    refuse(path, malformed);
  if (littleEndian32(header + 8) > fileSize) refuse(path);
  if (littleEndian32(header + 8) < fileSize) refuse(path, malformed);
  std::vector<std::pair<std::uint64_t, std::uint32_t>> chunks; // where the data starts, its length
  std::uint64_t at = sizeof header;
  unsigned char chunk[8];
  while (fileSize - at >= sizeof chunk) {
    file.seekg(static_cast<std::streamoff>(at));
    file.read(reinterpret_cast<char*>(chunk), sizeof chunk);
    at += sizeof chunk;
    if (file.gcount() != sizeof chunk || littleEndian32(chunk) > fileSize - at) refuse(path);
    chunks.emplace_back(at, littleEndian32(chunk));
    at += littleEndian32(chunk);
  }
  if (chunks.empty()) refuse(path);
  QByteArray json(static_cast<int>(chunks[0].second), '\0');
  file.seekg(static_cast<std::streamoff>(chunks[0].first));
  file.read(json.data(), json.size());
  checkGltfJson(json, chunks.size() > 1 ? chunks[1].second : 0, fileSize, path);
}

} // namespace

// The suffix picks the library's reader (importMeshFile refuses a file that would leave the choice
// to the contents), so the suffix picks the check.
void checkMeshFileSizes(const std::string& path) {
  std::ifstream file(path, std::ios_base::binary | std::ios_base::ate);
  const std::streamoff size = file.tellg();
  if (size <= 0) return;
  file.seekg(0);
  const auto fileSize = static_cast<std::uint64_t>(size);
  const std::string suffix = StringTools::lowerCase(FileInfo::suffixName(path));
  if (suffix == "glb")
    checkGlb(file, fileSize, path);
  else if (suffix == "gltf")
    checkGltf(file, fileSize, path);
  else if (suffix == "ply")
    checkPly(file, fileSize, path);
  else if (suffix == "off")
    checkOff(file, fileSize, path);
}

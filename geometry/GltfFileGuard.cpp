#include "geometry/MeshFileGuards.h"

#include "foundation/FileBytes.h"
#include "foundation/MemoryStream.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

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
  if (hasTwinMembers(json)) refuseMeshFile(path, malformed);
  const QJsonDocument document = QJsonDocument::fromJson(json);
  const QJsonObject root = document.object();
  if (!document.isObject()) refuseMeshFile(path, malformed);
  // The library's Draco decoding copies each point's values into room for four, whatever the number
  // of components the compressed data declares: a damaged file smashes its stack.
  if (root.value("extensionsUsed").toArray().contains(QJsonValue("KHR_draco_mesh_compression")))
    refuseMeshFile(path, "The file's meshes are Draco-compressed, which is not read");
  const QJsonArray buffers = root.value("buffers").toArray();
  const QJsonArray views = root.value("bufferViews").toArray();
  const std::vector<double> held = bufferBytes(buffers, binChunk, path);
  for (int b = 0; b < buffers.size(); ++b)
    if (wholeNumber(buffers[b].toObject().value("byteLength")) > held[b]) refuseMeshFile(path);
  for (const QJsonValue& view : views) {
    const int b = view.toObject().value("buffer").toInt(-1);
    const double end = std::max(0.0, wholeNumber(view.toObject().value("byteOffset"))) +
                       wholeNumber(view.toObject().value("byteLength"));
    if (b >= 0 && b < buffers.size() && end > wholeNumber(buffers[b].toObject().value("byteLength")))
      refuseMeshFile(path);
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
    if (elements < 0 || bytes == 0) refuseMeshFile(path, malformed);
    const bool viewless = accessor.value("bufferView").isUndefined();
    if (elements * bytes > (viewless ? double(fileSize) : room(accessor))) refuseMeshFile(path);
    if (accessor.value("sparse").isUndefined()) continue;
    // A sparse accessor's indices and values, each in a view of its own.
    const QJsonObject sparse = accessor.value("sparse").toObject();
    const QJsonObject indices = sparse.value("indices").toObject();
    const double changed = wholeNumber(sparse.value("count"));
    const int indexType = indices.value("componentType").toInt();
    const double indexBytes = indexType == 5121 ? 1 : indexType == 5123 ? 2 : indexType == 5125 ? 4 : 0;
    if (changed < 0 || changed > elements || indexBytes == 0) refuseMeshFile(path, malformed);
    if (changed * indexBytes > room(indices) || changed * bytes > room(sparse.value("values").toObject()))
      refuseMeshFile(path);
  }
}

// Reads a text glTF file whole and checks its JSON.
void checkGltf(std::istream& file, std::uint64_t fileSize, const std::string& path) {
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
void checkGlb(std::istream& file, std::uint64_t fileSize, const std::string& path) {
  unsigned char header[12] = {};
  file.read(reinterpret_cast<char*>(header), sizeof header);
  const std::string malformed = "The file's glTF binary header is malformed";
  if (file.gcount() != sizeof header || std::memcmp(header, "glTF", 4) != 0 ||
      littleEndian32(header + 4) != 2)
    refuseMeshFile(path, malformed);
  if (littleEndian32(header + 8) > fileSize) refuseMeshFile(path);
  if (littleEndian32(header + 8) < fileSize) refuseMeshFile(path, malformed);
  std::vector<std::pair<std::uint64_t, std::uint32_t>> chunks; // where the data starts, its length
  std::uint64_t at = sizeof header;
  unsigned char chunk[8];
  while (fileSize - at >= sizeof chunk) {
    file.seekg(static_cast<std::streamoff>(at));
    file.read(reinterpret_cast<char*>(chunk), sizeof chunk);
    at += sizeof chunk;
    if (file.gcount() != sizeof chunk || littleEndian32(chunk) > fileSize - at) refuseMeshFile(path);
    chunks.emplace_back(at, littleEndian32(chunk));
    at += littleEndian32(chunk);
  }
  if (chunks.empty()) refuseMeshFile(path);
  QByteArray json(static_cast<int>(chunks[0].second), '\0');
  file.seekg(static_cast<std::streamoff>(chunks[0].first));
  file.read(json.data(), json.size());
  checkGltfJson(json, chunks.size() > 1 ? chunks[1].second : 0, fileSize, path);
}

} // namespace

void guardGltfFile(const FileBytes& file) {
  MemoryStream stream(file.bytes());
  checkGltf(stream, file.bytes().size(), file.path());
}

void guardGlbFile(const FileBytes& file) {
  MemoryStream stream(file.bytes());
  checkGlb(stream, file.bytes().size(), file.path());
}

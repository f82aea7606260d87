#include "geometry/MeshFileGuards.h"

#include "foundation/FileBytes.h"
#include "foundation/MemoryStream.h"
#include "foundation/StringTools.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The lines of an OFF file that carry data: comments and blank lines are left out.
class OffLines {
public:
  explicit OffLines(std::istream& file) : _file(file) {}
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
  std::istream& _file;
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
void checkOff(std::istream& file, std::uint64_t fileSize, const std::string& path) {
  const std::string malformed = "The file's OFF data is malformed";
  OffLines lines(file);
  std::vector<std::string> words;
  if (!lines.next(words)) refuseMeshFile(path, malformed);
  // The keyword ("OFF", "COFF", "NOFF"...) may be missing, or glued to the counts that follow it.
  const std::size_t keywordEnd = StringTools::lowerCase(words[0]).find("off");
  if (keywordEnd != std::string::npos) {
    const std::string rest = words[0].substr(keywordEnd + 3);
    words.erase(words.begin());
    if (!rest.empty()) words.insert(words.begin(), rest);
  }
  if (words.empty() && !lines.next(words)) refuseMeshFile(path, malformed);
  if (words.size() < 2 || !isDecimalCount(words[0]) || !isDecimalCount(words[1]))
    refuseMeshFile(path, malformed);
  const std::uint64_t vertices = std::strtoull(words[0].c_str(), nullptr, 10);
  const std::uint64_t faces = std::strtoull(words[1].c_str(), nullptr, 10);
  // A vertex takes at least six characters ("0 0 0" and a line end), a face at least two.
  if (vertices > fileSize / 6 || faces > fileSize / 2 || vertices * 6 + faces * 2 > fileSize)
    refuseMeshFile(path);
  for (std::uint64_t v = 0; v < vertices; ++v)
    if (!lines.next(words) || words.size() < 3 || !std::all_of(words.begin(), words.begin() + 3, isNumber))
      refuseMeshFile(path, malformed);
  for (std::uint64_t f = 0; f < faces; ++f) {
    if (!lines.next(words) || !isDecimalCount(words[0])) refuseMeshFile(path, malformed);
    const std::uint64_t corners = std::strtoull(words[0].c_str(), nullptr, 10);
    if (corners < 1 || corners > 9 || words.size() < corners + 1) refuseMeshFile(path, malformed);
    for (std::uint64_t c = 1; c <= corners; ++c)
      if (!isDecimalCount(words[c]) || std::strtoull(words[c].c_str(), nullptr, 10) >= vertices)
        refuseMeshFile(path, malformed);
  }
}

} // namespace

void guardOffFile(const FileBytes& file) {
  MemoryStream stream(file.bytes());
  checkOff(stream, file.bytes().size(), file.path());
}

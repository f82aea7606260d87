#pragma once

#include <string>
#include <vector>

// Path-name queries on "/"-separated paths. Every query exists as a member working on the held
// path and as a static function taking a path.
class FileInfo {
public:
  FileInfo() = default;
  explicit FileInfo(const std::string& path) : _path(path) {}

  void setPath(const std::string& path) { _path = path; }
  const std::string& getPath() const { return _path; }

  bool fileExists() const { return fileExists(_path); }
  std::string fileName() const { return fileName(_path); }
  std::string baseName() const { return baseName(_path); }
  std::string suffixName() const { return suffixName(_path); }
  std::string dirName() const { return dirName(_path); }
  bool isAbsolutePath() const { return isAbsolutePath(_path); }
  bool isRelativePath() const { return isRelativePath(_path); }
  std::string simplifyPath() const { return simplifyPath(_path); }
  std::string relativePath(const std::string& base) const { return relativePath(_path, base); }
  std::vector<std::string> tokenize() const { return tokenize(_path); }

  static bool fileExists(const std::string& path);        // it can be opened (and closed) for reading
  static std::string fileName(const std::string& path);   // after the last "/"; "" when it ends with "/"
  static std::string baseName(const std::string& path);   // fileName without its last "." and suffix
  static std::string suffixName(const std::string& path); // after the last "." of fileName; "" if none
  static std::string dirName(const std::string& path);    // up to and including the last "/"; "" if none
  static bool isAbsolutePath(const std::string& path);    // starts with "/"
  static bool isRelativePath(const std::string& path);

  // The non-empty components between slashes ("/a//b/" gives a, b).
  static std::vector<std::string> tokenize(const std::string& path);
  // Components joined by "/", with a leading "/" when absolute.
  static std::string detokenize(const std::vector<std::string>& tokens, bool absolute);
  // Drops empty and "." components and resolves "name/.."; ".." stays at the start of a relative
  // path and disappears at the root of an absolute one. An empty relative result is ".".
  static std::string simplifyPath(const std::string& path);
  // path expressed relative to the directory base (both simplified). When one is absolute and the
  // other is not, path is returned simplified.
  static std::string relativePath(const std::string& path, const std::string& base);

private:
  std::string _path;
};

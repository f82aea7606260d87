#include "foundation/FileInfo.h"

#include <fstream>

bool FileInfo::fileExists(const std::string& path) {
  std::ifstream file(path);
  if (!file.is_open()) return false;
  file.close();
  return !file.fail();
}

std::string FileInfo::fileName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FileInfo::baseName(const std::string& path) {
  const std::string name = fileName(path);
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string FileInfo::suffixName(const std::string& path) {
  const std::string name = fileName(path);
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::string FileInfo::dirName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool FileInfo::isAbsolutePath(const std::string& path) {
  return !path.empty() && path[0] == '/';
}

bool FileInfo::isRelativePath(const std::string& path) {
  return !isAbsolutePath(path);
}

std::vector<std::string> FileInfo::tokenize(const std::string& path) {
  std::vector<std::string> tokens;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    if (slash > start) tokens.push_back(path.substr(start, slash - start));
    start = slash + 1;
  }
  return tokens;
}

std::string FileInfo::detokenize(const std::vector<std::string>& tokens, bool absolute) {
  std::string path = absolute ? "/" : "";
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    if (i > 0) path += '/';
    path += tokens[i];
  }
  return path;
}

namespace {

std::vector<std::string> simplifiedTokens(const std::string& path) {
  const bool absolute = FileInfo::isAbsolutePath(path);
  std::vector<std::string> kept;
  for (const std::string& token : FileInfo::tokenize(path)) {
    if (token == ".") continue;
    if (token == "..") {
      if (!kept.empty() && kept.back() != "..")
        kept.pop_back();
      else if (!absolute)
        kept.push_back(token);
      continue;
    }
    kept.push_back(token);
  }
  return kept;
}

} // namespace

std::string FileInfo::simplifyPath(const std::string& path) {
  const bool absolute = isAbsolutePath(path);
  const std::string simplified = detokenize(simplifiedTokens(path), absolute);
  return simplified.empty() ? "." : simplified;
}

std::string FileInfo::relativePath(const std::string& path, const std::string& base) {
  if (isAbsolutePath(path) != isAbsolutePath(base)) return simplifyPath(path);
  const std::vector<std::string> target = simplifiedTokens(path);
  const std::vector<std::string> from = simplifiedTokens(base);
  std::size_t common = 0;
  while (common < target.size() && common < from.size() && target[common] == from[common] &&
         from[common] != "..")
    ++common;
  std::vector<std::string> tokens(from.size() - common, "..");
  tokens.insert(tokens.end(), target.begin() + static_cast<std::ptrdiff_t>(common), target.end());
  const std::string relative = detokenize(tokens, false);
  return relative.empty() ? "." : relative;
}

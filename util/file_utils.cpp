#include "util/file_utils.h"

#include <cctype>
#include <climits>

#include "util/mbcs.h"

namespace util {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/' || c == ':'; }

// Index just past the last separator of a path, stepping over double-byte
// characters; 0 when there is none.
size_t NameStart(const std::string& path) {
  size_t start = 0;
  for (size_t i = 0; i < path.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (IsLeadByte(c) && i + 1 < path.size()) {
      ++i;
      continue;
    }
    if (IsSeparator(path[i])) start = i + 1;
  }
  return start;
}

// Index of the extension's dot within the file name part; npos when none.
size_t ExtDot(const std::string& path) {
  size_t dot = std::string::npos;
  for (size_t i = NameStart(path); i < path.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (IsLeadByte(c) && i + 1 < path.size()) {
      ++i;
      continue;
    }
    if (path[i] == '.') dot = i;
  }
  return dot;
}

bool EndsWithBackslash(const std::string& s) {
  size_t last = LastCharIndex(s);
  return last != std::string::npos && last == s.size() - 1 && s[last] == '\\';
}

}  // namespace

std::string AddBackslash(const std::string& path) {
  if (path.empty() || EndsWithBackslash(path)) return path;
  return path + '\\';
}

std::string RemoveBackslash(const std::string& path) {
  return EndsWithBackslash(path) ? path.substr(0, path.size() - 1) : path;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  return EndsWithBackslash(folder) ? folder + name : folder + '\\' + name;
}

std::string ExtractFilePath(const std::string& path) { return path.substr(0, NameStart(path)); }

std::string ExtractFileName(const std::string& path) { return path.substr(NameStart(path)); }

std::string ExtractFileExt(const std::string& path) {
  size_t dot = ExtDot(path);
  return dot == std::string::npos ? std::string() : path.substr(dot);
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
  size_t dot = ExtDot(path);
  return (dot == std::string::npos ? path : path.substr(0, dot)) + ext;
}

std::string ExtractFileDir(const std::string& path) {
  std::string dir = ExtractFilePath(path);
  // Keep the backslash of a drive's root ("C:\") and of a bare "\".
  if (dir.size() > 1 && EndsWithBackslash(dir) && dir[dir.size() - 2] != ':') dir.pop_back();
  return dir;
}

std::string BaseNameWithoutExt(const std::string& path) { return ChangeFileExt(ExtractFileName(path), ""); }

std::string UpperCase(const std::string& s) {
  std::string out = s;
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string LowerCase(const std::string& s) {
  std::string out = s;
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string Trim(const std::string& s) {
  size_t begin = 0;
  size_t end = s.size();
  while (begin < end && static_cast<unsigned char>(s[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(s[end - 1]) <= ' ') --end;
  return s.substr(begin, end - begin);
}

std::string GetUniqueFileName(const std::string& folder, const std::string& path, const std::string& ext,
                              const std::function<bool(const std::string&)>& file_exists) {
  const std::string name = BaseNameWithoutExt(path);
  const std::string dir = folder.empty() ? std::string("\\") : AddBackslash(folder);
  std::string result = name;
  for (unsigned long n = 1; file_exists(dir + result + "." + ext); ++n) result = name + std::to_string(n);
  return result;
}

bool ParseDecimal(const std::string& text, int* value) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return false;
  long long v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    v = v * 10 + (text[i] - '0');
    if (v > static_cast<long long>(INT_MAX) + 1) return false;
  }
  if (negative) v = -v;
  if (v < INT_MIN || v > INT_MAX) return false;
  *value = static_cast<int>(v);
  return true;
}

bool MatchesFileMask(const std::string& name, const std::string& mask) {
  const auto same = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  };
  // Greedy with one point to come back to: the last '*' seen and where the
  // name stood then.
  size_t n = 0, m = 0, star = std::string::npos, resume = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || (mask[m] != '*' && same(mask[m], name[n])))) {
      ++n;
      ++m;
    } else if (m < mask.size() && mask[m] == '*') {
      star = m++;
      resume = n;
    } else if (star != std::string::npos) {
      m = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

}  // namespace util

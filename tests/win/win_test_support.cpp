#include "win/win_test_support.h"

#include <cstdio>

namespace testing_support {

std::string ToWindowsPath(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path;
  std::string out = "Z:";
  for (char c : path) out += (c == '/') ? '\\' : c;
  return out;
}

std::string FixtureDir() { return ToWindowsPath(TAMSEL_FIXTURE_DIR); }

std::string FixturePath(const std::string& name) { return FixtureDir() + "\\" + name; }

namespace {
void RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      std::string full = dir + "\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(full);
      } else {
        SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(full.c_str());
      }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryA(dir.c_str());
}
}  // namespace

TempDir::TempDir() {
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  static unsigned counter = 0;
  for (;;) {
    char name[MAX_PATH];
    std::snprintf(name, sizeof name, "%stamsel-test-%lu-%u", base, GetCurrentProcessId(), ++counter);
    if (CreateDirectoryA(name, nullptr)) {
      path_ = name;
      return;
    }
  }
}

std::vector<std::string> FixtureIndex(const std::string& folder) {
  std::vector<std::string> names;
  std::string line;
  for (unsigned char c : ReadFileBytes(FixturePath(folder + "\\index.txt"))) {
    if (c == '\n') {
      if (!line.empty()) names.push_back(line);
      line.clear();
    } else if (c != '\r') {
      line += static_cast<char>(c);
    }
  }
  return names;
}

TempDir::~TempDir() { RemoveTree(path_); }

std::vector<unsigned char> ReadFileBytes(const std::string& path) {
  std::vector<unsigned char> data;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return data;
  unsigned char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.insert(data.end(), buf, buf + n);
  std::fclose(f);
  return data;
}

bool WriteFileBytes(const std::string& path, const void* data, size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace testing_support

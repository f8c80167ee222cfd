// Helpers shared by the Win32 test programs that run under Wine.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

// The fixture folder made by the build, as a Windows path (Z:\...).
std::string FixtureDir();
std::string FixturePath(const std::string& name);
// The lines of a fixture folder's index.txt (the files the build made there).
std::vector<std::string> FixtureIndex(const std::string& folder);

// Turns a Unix path into the Windows path Wine maps it to (Z:\...);
// a path that is already a Windows path is returned unchanged.
std::string ToWindowsPath(const std::string& path);

// A fresh empty folder below the temporary folder, removed with its files
// when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

std::vector<unsigned char> ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const void* data, size_t size);
bool FileExists(const std::string& path);

}  // namespace testing_support

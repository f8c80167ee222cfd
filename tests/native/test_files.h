// File helpers for the native tests: scratch folders, whole-file reads, and
// a small tmpfs volume for writes that run out of space.
#pragma once

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <dirent.h>

namespace testing_files {

inline std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool WriteAll(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

inline bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

inline std::vector<std::string> ListDir(const std::string& dir) {
  std::vector<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      std::string n = e->d_name;
      if (n != "." && n != "..") names.push_back(n);
    }
    closedir(d);
  }
  return names;
}

// A fresh folder, removed with its files at the end.
class ScratchDir {
 public:
  ScratchDir() {
    char tmpl[] = "/tmp/tamsel-imaging-XXXXXX";
    path_ = mkdtemp(tmpl) ? tmpl : "";
  }
  ~ScratchDir() {
    if (!path_.empty()) std::system(("rm -rf '" + path_ + "'").c_str());
  }
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// A tmpfs of `kilobytes` mounted on a scratch folder (needs root); mounted()
// tells whether the machine allowed it, reason() why not.
class SmallVolume {
 public:
  explicit SmallVolume(int kilobytes) {
    if (dir_.path().empty()) {
      reason_ = "no scratch folder";
      return;
    }
    std::string options = "size=" + std::to_string(kilobytes) + "k";
    if (mount("tmpfs", dir_.path().c_str(), "tmpfs", 0, options.c_str()) != 0) {
      reason_ = std::string("mounting a tmpfs failed: ") + std::strerror(errno);
      return;
    }
    mounted_ = true;
  }
  ~SmallVolume() {
    if (mounted_) umount2(dir_.path().c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }
  bool RemountReadOnly() { return mount("tmpfs", dir_.path().c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0; }
  const std::string& reason() const { return reason_; }
  std::string file(const std::string& name) const { return dir_.file(name); }
  const std::string& path() const { return dir_.path(); }

  // Fills the volume until a write fails, leaving `leave` bytes or less free.
  void Fill(size_t leave = 0) {
    std::FILE* f = std::fopen(file("filler").c_str(), "wb");
    if (!f) return;
    std::vector<char> block(512, 'x');
    while (std::fwrite(block.data(), 1, block.size(), f) == block.size() && std::fflush(f) == 0) {
    }
    std::fclose(f);
    off_t size = Size(file("filler"));
    off_t give_back = static_cast<off_t>(leave);
    if (leave > 0) truncate(file("filler").c_str(), size > give_back ? size - give_back : 0);
  }

 private:
  static off_t Size(const std::string& p) {
    struct stat st;
    return stat(p.c_str(), &st) == 0 ? st.st_size : 0;
  }
  ScratchDir dir_;
  bool mounted_ = false;
  std::string reason_;
};

// Runs a command and returns its standard output; *status gets the exit code.
inline std::vector<uint8_t> RunCapture(const std::string& command, int* status) {
  std::vector<uint8_t> out;
  std::FILE* p = popen(command.c_str(), "r");
  if (!p) {
    *status = -1;
    return out;
  }
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.insert(out.end(), buf, buf + n);
  *status = pclose(p);
  return out;
}

inline bool ToolAvailable(const std::string& path) { return access(path.c_str(), X_OK) == 0; }

}  // namespace testing_files

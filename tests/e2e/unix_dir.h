// A fresh folder below /tmp for an end-to-end test, seen by Wine (its
// Windows path) and by Unix programs (its Unix path), removed afterwards.
#pragma once

#include <windows.h>

#include <string>

#include "win/win_test_support.h"
#include "win/window_driver.h"

namespace e2e {

// A fresh folder below /tmp, so that Unix programs see what Wine writes.
class UnixDir {
 public:
  UnixDir() {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    unix_ = "/tmp/tamsel-e2e-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(static_cast<unsigned long long>(now.QuadPart));
    win_ = testing_support::ToWindowsPath(unix_);
    CreateDirectoryA(win_.c_str(), nullptr);
  }
  ~UnixDir() { Run("rm -rf " + unix_); }
  std::string win(const std::string& name) const { return win_ + "\\" + name; }
  std::string unix(const std::string& name) const { return unix_ + "/" + name; }

  // Runs a Unix shell command and returns its output (stdout and stderr).
  std::string Run(const std::string& command) const { return testing_support::RunUnix(command); }

 private:
  std::string unix_;
  std::string win_;
};

}  // namespace e2e

// The Win32 side of the path helpers: what needs the file system, the
// environment or the system's version.
#pragma once

#include <string>

#include "util/file_utils.h"
#include "util/win_version.h"

namespace util {

bool FolderExists(const std::string& path);
bool FileExists(const std::string& path);

// The value of an environment variable of any length; empty when unset.
std::string GetEnvVar(const std::string& name);

// TMP, else TEMP, else the program's own folder; a full path with a
// trailing backslash.
std::string GetTempFolder();

// The process's current directory, as the system gives it (a trailing
// backslash only at a drive's root).
std::string CurrentDirectory();

// The full path the system makes of path (a relative one taken from the
// current directory, "." and ".." resolved); path itself when it cannot.
std::string FullPathName(const std::string& path);

// The folder of the running program, with a trailing backslash.
// The program's own file, whatever the length of its path.
std::string ProgramPath();
std::string ProgramFolder();

std::string GetUniqueFileName(const std::string& folder, const std::string& path, const std::string& ext);

WinVersion CurrentWindowsVersion();
std::string GetWindowsVersionName();
bool IsWindowsXPOrLater();

// Installs the system's double-byte lead-byte test for the path helpers.
void InstallLeadByteTest();

}  // namespace util

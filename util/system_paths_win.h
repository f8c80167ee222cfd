// The Win32 side of util/system_paths: whether this process is a 32-bit
// program redirected away from the real System32, and the paths that reach
// the files a 64-bit Explorer shows.
#pragma once

#include <string>

namespace util {

// The Windows folder (GetSystemWindowsDirectoryA), without a trailing
// backslash.
const std::string& WindowsFolder();

// Whether System32 paths of this process are redirected to SysWOW64 and
// the Sysnative alias reaches the real folder: a 32-bit program on 64-bit
// Windows. Asked once.
bool SystemFolderRedirected();

// The path by which this process reaches the file or folder the user names
// by path: a path inside System32 goes through Sysnative when the process
// is redirected; any other path, and every path on 32-bit Windows and in
// the 64-bit program, comes back as it is. A relative path is made full
// first only when it leads into System32.
std::string NativePath(const std::string& path);

}  // namespace util

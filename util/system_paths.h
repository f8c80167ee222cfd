// Where a 32-bit program on 64-bit Windows finds the system's files.
//
// Two facts of 64-bit Windows hide files from a 32-bit program that reads
// them by the path the user sees:
//
// - File-system redirection: a 32-bit process that names
//   %SystemRoot%\System32 is given %SystemRoot%\SysWOW64 instead. The
//   alias %SystemRoot%\Sysnative names the real System32 from such a
//   process (it exists only there).
// - Since Windows 10 1903 the system libraries keep their icons in
//   %SystemRoot%\SystemResources\<file name>.mun: the library itself holds
//   no icon groups, and the resource loader reads the .mun file instead.
//
// These functions only rewrite paths; whether the process is redirected and
// which files exist is for the caller (util/system_paths_win) to find out.
// The path the user gave stays the one shown, stored and named after.
#pragma once

#include <string>

namespace util {

// path with %SystemRoot%\System32 (windows_dir\System32, compared without
// regard to case, the folder itself or anything in it, also behind a
// "\\?\" prefix) replaced by windows_dir\Sysnative; any other path as it is.
// path must be a full path with backslashes.
std::string SystemToSysnative(const std::string& path, const std::string& windows_dir);

// The reverse: a path inside windows_dir\Sysnative named as inside
// System32, as the user knows it; any other path as it is.
std::string SysnativeToSystem(const std::string& path, const std::string& windows_dir);

// windows_dir\SystemResources\<path's file name>.mun: where 64-bit Windows
// keeps the icons of a system library that holds none itself. Empty for a
// path without a file name.
std::string MunFilePath(const std::string& path, const std::string& windows_dir);

}  // namespace util

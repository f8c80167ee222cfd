// Path and file-name helpers for ANSI byte-string paths.
//
// Every routine is double-byte aware through util/mbcs.h: a trail byte that
// happens to equal '\\' or '.' is never taken for a separator.
#pragma once

#include <functional>
#include <string>

namespace util {

// Path with a backslash appended when it is not empty and does not end in one.
std::string AddBackslash(const std::string& path);

// Path without its last character when that is a backslash; any other
// path (also a drive's root "C:\\", which becomes "C:") as it is otherwise.
std::string RemoveBackslash(const std::string& path);

// Folder and Name with exactly the one backslash between them that Folder lacks.
std::string JoinPath(const std::string& folder, const std::string& name);

// Parts of a path, in the manner of the classic run-time library: the folder
// part keeps its trailing separator ("C:\\a\\" for "C:\\a\\b.dll"), the
// extension keeps its dot (".dll"), and separators are '\\', '/' and ':'.
std::string ExtractFilePath(const std::string& path);
std::string ExtractFileName(const std::string& path);
std::string ExtractFileExt(const std::string& path);
std::string ChangeFileExt(const std::string& path, const std::string& ext);

// The folder part without its trailing backslash, except at a drive's root
// ("C:\\"), where the backslash stays.
std::string ExtractFileDir(const std::string& path);

// File name without folder and without extension.
std::string BaseNameWithoutExt(const std::string& path);

// ASCII case conversion and trimming of characters up to the blank, as the
// command line and the export code need them.
std::string UpperCase(const std::string& s);
std::string LowerCase(const std::string& s);
std::string Trim(const std::string& s);

// Whether a file name matches a search mask as the file system matches it:
// '*' any run of characters (dots too), '?' any one, letters in either case.
bool MatchesFileMask(const std::string& name, const std::string& mask);

// A decimal number with an optional sign and nothing around it that fits
// an int; false (value untouched) for anything else.
bool ParseDecimal(const std::string& text, int* value);

// A base name derived from `path` that names no existing file
// folder + name + "." + ext: the name itself, else name1, name2, ...
// An empty folder means the root of the current drive ("\\").
std::string GetUniqueFileName(const std::string& folder, const std::string& path, const std::string& ext,
                              const std::function<bool(const std::string&)>& file_exists);

}  // namespace util

// File names that the exports write: the per-icon names, the extensions
// chosen by export type, the HTML document beside its image folder and the
// dBase table beside its memo file.
//
// All names are ANSI byte strings; the path parts come from util/file_utils.h,
// which steps over double-byte characters.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "imaging/icon_group_png.h"

namespace app {

// The extension, without its dot, of a file of a picture type: "ico", "bmp",
// "jpg", "emf" or "png" for the types 0..4; null for any other code. Every
// name below that follows the export type takes its extension from here.
const char* PictureTypeExtension(int export_type);

// ".ico", ".bmp", ".jpg", ".emf" or ".png" for the types 0..4, ".jpg" for
// the HTML document's images (which the engine asks for by their own type
// when they are PNG), none for the dBase table; any other code counts as
// icon.
std::string PerIconExtension(int export_type);

// The document's extension: the given one lower-cased, else ".dbf" for the
// dBase table, ".htm" for the HTML document, else the per-icon extension.
std::string DocumentExtension(int export_type, const std::string& given);

// The PNG file of one image of an icon's whole group: the icon's own file
// name with the image's size and stored depth before the extension, and a
// count from 2 for a size and depth the group holds again:
// C:\out\ico_shell320003.png, 48, 48, 32 gives C:\out\ico_shell320003_48x48_32.png.
std::string GroupImagePngName(const std::string& icon_file_name, int width, int height, int bit_count, int repeat);
// The names of all of a group's images, in their stored order, each counted
// against the earlier images of the same size and depth.
std::vector<std::string> GroupImagePngNames(const std::string& icon_file_name,
                                            const std::vector<imaging::TGroupImagePng>& images);

// The icon's 1-based number in decimal, with leading zeros to at least 4 digits.
std::string IconNumberText(int number);

// folder (with a backslash added when needed) + "ico_" + base + number of
// icon `index` (0-based) + extension; C:\out, shell32, 2, ".ico" gives
// C:\out\ico_shell320003.ico.
std::string PerIconFileName(const std::string& folder, const std::string& base, int index,
                            const std::string& extension);

// The name a single icon or the composite picture is saved under: the given
// name, with "." and the type's extension appended when it has none (or
// only the "." when it ends in a bare dot).
std::string SingleIconFileName(const std::string& file_name, int export_type);
std::string CompositeImageFileName(const std::string& file_name, int export_type);

// The file OpenExported opens: F itself, or F + "." + hint when F does not
// exist, has no extension and that file does.
std::string OpenExportedFileName(const std::string& file_name, const std::string& hint,
                                 const std::function<bool(const std::string&)>& file_exists);

// HTML: the image folder is the document path without its extension,
// followed by "_files"; the document is written beside it with the document
// extension. The cells name the folder by its own name only.
std::string HtmlImageFolder(const std::string& document_path);
std::string HtmlDocumentPath(const std::string& image_folder, const std::string& document_extension);
std::string HtmlImageFolderName(const std::string& image_folder);

// dBase: the table is folder + the target's file name (with the document
// extension appended when it has none), the memo file the same name with
// the extension ".dbt".
struct TDBasePaths {
  std::string Table;
  std::string Memo;
};
TDBasePaths DBasePaths(const std::string& folder, const std::string& target, const std::string& document_extension);

// The 8-byte name in the memo file's first block: the first up to 8
// characters of the memo file's name without folder and extension, upper
// case. A double-byte character is never cut in half. May be empty.
std::string DBaseMemoName(const std::string& memo_path);

// The memo field's name: "ICON" when empty, else its first 10 bytes (never
// half a double-byte character); the letters stay as written.
std::string DBaseFieldName(const std::string& name);

// The folder an export to target writes into: the target's folder for the
// dBase table (no trailing backslash except at a drive's root), the target
// without its extension + "_files" for the HTML document, else the target
// (the folder of the per-icon files).
std::string ExportDestinationFolder(const std::string& target, int export_type);

}  // namespace app

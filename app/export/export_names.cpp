#include "app/export/export_names.h"

#include <cstdio>
#include <map>

#include "imaging/export_types.h"
#include "util/file_utils.h"
#include "util/mbcs.h"

namespace app {

namespace {

// Length of the character that starts at s[i]: 2 for a lead byte with its
// trail byte present, else 1.
size_t CharLength(const std::string& s, size_t i) {
  return util::IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

// The longest prefix of whole characters that fits in max_bytes.
std::string CutToBytes(const std::string& s, size_t max_bytes) {
  size_t end = 0;
  while (end < s.size()) {
    size_t next = end + CharLength(s, end);
    if (next > max_bytes) break;
    end = next;
  }
  return s.substr(0, end);
}

// ASCII letters upper-cased; trail bytes of double-byte characters, which
// may fall into 'a'..'z', are left alone.
std::string UpperCaseChars(const std::string& s) {
  std::string out = s;
  for (size_t i = 0; i < out.size();) {
    size_t len = CharLength(out, i);
    if (len == 1 && out[i] >= 'a' && out[i] <= 'z') out[i] = static_cast<char>(out[i] - 'a' + 'A');
    i += len;
  }
  return out;
}

// Appends "." and the type's extension to a name without one. A name whose
// extension is only the dot counts as one without: "x." gives "x..ext", a
// valid name that keeps every character the user gave.
std::string WithExtension(const std::string& file_name, const char* ext) {
  const std::string current = util::ExtractFileExt(file_name);
  if (current.empty() || current == ".") return file_name + "." + ext;
  return file_name;
}

}  // namespace

const char* PictureTypeExtension(int export_type) {
  // Indexed by the picture types, which are the codes 0..4 in order.
  static const char* const kExtensions[] = {"ico", "bmp", "jpg", "emf", "png"};
  static_assert(imaging::etIcon == 0 && imaging::etBitmap == 1 && imaging::etJPEG == 2 && imaging::etMetafile == 3 &&
                    imaging::etPNG == 4,
                "the table follows the picture types' codes");
  if (export_type < imaging::etIcon || export_type > imaging::etPNG) return nullptr;
  return kExtensions[export_type];
}

std::string PerIconExtension(int export_type) {
  if (export_type == imaging::etDBase) return "";
  // The HTML document's images are JPEG unless asked for by the PNG type.
  if (export_type == imaging::etHTML) export_type = imaging::etJPEG;
  const char* extension = PictureTypeExtension(export_type);
  return std::string(".") + (extension ? extension : "ico");
}

std::string DocumentExtension(int export_type, const std::string& given) {
  if (!given.empty()) return util::LowerCase(given);
  if (export_type == imaging::etDBase) return ".dbf";
  if (export_type == imaging::etHTML) return ".htm";
  return PerIconExtension(export_type);
}

std::string IconNumberText(int number) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%04d", number);
  return buffer;
}

std::string PerIconFileName(const std::string& folder, const std::string& base, int index,
                            const std::string& extension) {
  return util::AddBackslash(folder) + "ico_" + base + IconNumberText(index + 1) + extension;
}

std::string SingleIconFileName(const std::string& file_name, int export_type) {
  const char* extension = PictureTypeExtension(export_type);
  return WithExtension(file_name, extension ? extension : "ico");
}

std::string CompositeImageFileName(const std::string& file_name, int export_type) {
  // The composite picture is never an icon file: the icon type saves a bitmap.
  const char* extension = export_type == imaging::etIcon ? nullptr : PictureTypeExtension(export_type);
  return WithExtension(file_name, extension ? extension : "bmp");
}

std::string OpenExportedFileName(const std::string& file_name, const std::string& hint,
                                 const std::function<bool(const std::string&)>& file_exists) {
  if (file_exists(file_name) || hint.empty() || !util::ExtractFileExt(file_name).empty()) return file_name;
  const std::string hinted = file_name + "." + hint;
  return file_exists(hinted) ? hinted : file_name;
}

std::string HtmlImageFolder(const std::string& document_path) {
  return util::ChangeFileExt(document_path, "") + "_files";
}

std::string HtmlDocumentPath(const std::string& image_folder, const std::string& document_extension) {
  static const std::string kSuffix = "_files";
  std::string stem = image_folder;
  if (stem.size() >= kSuffix.size() && stem.compare(stem.size() - kSuffix.size(), kSuffix.size(), kSuffix) == 0)
    stem.resize(stem.size() - kSuffix.size());
  return stem + util::LowerCase(document_extension);
}

std::string HtmlImageFolderName(const std::string& image_folder) { return util::ExtractFileName(image_folder); }

TDBasePaths DBasePaths(const std::string& folder, const std::string& target, const std::string& document_extension) {
  const std::string prefix = util::AddBackslash(folder);
  const std::string name = util::ExtractFileName(target);
  TDBasePaths paths;
  paths.Table = prefix + name;
  if (util::ExtractFileExt(name).empty()) paths.Table += DocumentExtension(imaging::etDBase, document_extension);
  paths.Memo = prefix + util::ChangeFileExt(name, ".dbt");
  return paths;
}

std::string DBaseMemoName(const std::string& memo_path) {
  return UpperCaseChars(CutToBytes(util::BaseNameWithoutExt(memo_path), 8));
}

std::string DBaseFieldName(const std::string& name) {
  if (name.empty()) return "ICON";
  return CutToBytes(name, 10);
}

std::string ExportDestinationFolder(const std::string& target, int export_type) {
  if (export_type == imaging::etDBase) return util::ExtractFileDir(target);
  if (export_type == imaging::etHTML) return HtmlImageFolder(target);
  return target;
}

std::string GroupImagePngName(const std::string& icon_file_name, int width, int height, int bit_count, int repeat) {
  std::string suffix = "_" + std::to_string(width) + "x" + std::to_string(height) + "_" + std::to_string(bit_count);
  if (repeat > 1) suffix += "_" + std::to_string(repeat);
  return util::ChangeFileExt(icon_file_name, "") + suffix + ".png";
}

std::vector<std::string> GroupImagePngNames(const std::string& icon_file_name,
                                            const std::vector<imaging::TGroupImagePng>& images) {
  std::map<std::string, int> seen;
  std::vector<std::string> names;
  names.reserve(images.size());
  for (const imaging::TGroupImagePng& image : images) {
    const std::string size =
        std::to_string(image.width) + "x" + std::to_string(image.height) + "_" + std::to_string(image.bit_count);
    names.push_back(GroupImagePngName(icon_file_name, image.width, image.height, image.bit_count, ++seen[size]));
  }
  return names;
}

}  // namespace app

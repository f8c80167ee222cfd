#include "app/settings.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <utility>

#include "util/mbcs.h"

namespace app {

namespace {

// A value name that is a position: digits only, no sign, no blanks.
std::optional<long long> PositionName(const std::string& name) {
  if (name.empty() || name.size() > 9) return std::nullopt;
  long long n = 0;
  for (char c : name) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
  }
  return n;
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

int NextRunCount(const TStoredText& stored) {
  const int runs = ReadStoredInt(stored, 0);
  return runs == INT_MAX ? runs : runs + 1;
}

int ReadStoredInt(const TStoredText& text, int default_value) {
  if (!text || text->empty()) return default_value;
  const std::string& s = *text;
  size_t i = 0;
  bool negative = false;
  if (s[0] == '+' || s[0] == '-') {
    negative = s[0] == '-';
    i = 1;
  }
  if (i == s.size()) return default_value;
  // Accumulated as a magnitude in a wider type so that INT_MIN still fits.
  int64_t magnitude = 0;
  const int64_t limit = negative ? -static_cast<int64_t>(INT_MIN) : INT_MAX;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return default_value;
    magnitude = magnitude * 10 + (s[i] - '0');
    if (magnitude > limit) return default_value;
  }
  return static_cast<int>(negative ? -magnitude : magnitude);
}

bool ReadStoredBool(const TStoredText& text, bool default_value) {
  return ReadStoredInt(text, default_value ? 1 : 0) != 0;
}

std::string StoredText(int value) { return std::to_string(value); }
std::string StoredText(bool value) { return value ? "1" : "0"; }

TExportSettings ReadExportSettings(const TValueLookup& lookup) {
  TExportSettings defaults;
  TExportSettings s;
  s.OpenAfterSave = ReadStoredBool(lookup("OpenAfterSave"), defaults.OpenAfterSave);
  s.ExpIncludeNumbers = ReadStoredBool(lookup("ExpIncludeNumbers"), defaults.ExpIncludeNumbers);
  s.ExpDrawBorder = ReadStoredBool(lookup("ExpDrawBorder"), defaults.ExpDrawBorder);
  s.ExpGrayScale = ReadStoredBool(lookup("ExpGrayScale"), defaults.ExpGrayScale);
  s.ExpHTMLPNG = ReadStoredBool(lookup("ExpHTMLPNG"), defaults.ExpHTMLPNG);
  if (TStoredText name = lookup("ExpDBFFieldName")) s.ExpDBFFieldName = *name;
  // Taken as unsigned, a negative type is far above 3 as well.
  s.ExpDBFType = ReadStoredInt(lookup("ExpDBFType"), defaults.ExpDBFType);
  if (static_cast<unsigned>(s.ExpDBFType) > static_cast<unsigned>(kLastMemoType)) s.ExpDBFType = 0;
  return s;
}

std::vector<TNamedValue> ExportSettingsValues(const TExportSettings& s) {
  return {
      {"OpenAfterSave", StoredText(s.OpenAfterSave)}, {"ExpIncludeNumbers", StoredText(s.ExpIncludeNumbers)},
      {"ExpDrawBorder", StoredText(s.ExpDrawBorder)}, {"ExpGrayScale", StoredText(s.ExpGrayScale)},
      {"ExpHTMLPNG", StoredText(s.ExpHTMLPNG)},       {"ExpDBFFieldName", s.ExpDBFFieldName},
      {"ExpDBFType", StoredText(s.ExpDBFType)},
  };
}

int ClampFindPanelHeight(int stored, int client_height, int splitter_height, int status_bar_height) {
  if (stored < kFindPanelMinHeight) return kFindPanelMinHeight;
  return std::min(stored, client_height - kFindPanelMinHeight - splitter_height - status_bar_height);
}

int ClampFilePanelWidth(int stored, int pane_client_width, int splitter_width) {
  if (stored < kFilePanelMinWidth) return kFilePanelMinWidth;
  return std::min(stored, pane_client_width - kFilePanelMinWidth - splitter_width);
}

util::TRect ReadNormalRect(const TValueLookup& lookup, const util::TRect& current) {
  util::TRect r;
  r.left = ReadStoredInt(lookup("Left"), current.left);
  r.top = ReadStoredInt(lookup("Top"), current.top);
  r.right = ReadStoredInt(lookup("Right"), current.right);
  r.bottom = ReadStoredInt(lookup("Bottom"), current.bottom);
  // Compared in a wide type: stored corners far apart must not overflow.
  if (static_cast<int64_t>(r.right) <= r.left || static_cast<int64_t>(r.bottom) <= r.top) return current;
  return r;
}

bool FitsScreen(const util::TRect& rect, int screen_width, int screen_height) {
  const int64_t width = static_cast<int64_t>(rect.right) - rect.left;
  const int64_t height = static_cast<int64_t>(rect.bottom) - rect.top;
  return width > 0 && height > 0 && width <= screen_width && height <= screen_height;
}

std::vector<TNamedValue> NormalRectValues(const util::TRect& rect) {
  return {{"Left", StoredText(rect.left)},
          {"Top", StoredText(rect.top)},
          {"Right", StoredText(rect.right)},
          {"Bottom", StoredText(rect.bottom)}};
}

namespace {

// The path without a "\\?\" prefix, which lifts the length limit and
// names the same file ("\\?\UNC\server\share" is "\\server\share").
std::string WithoutLongPrefix(const std::string& path) {
  if (path.compare(0, 8, "\\\\?\\UNC\\") == 0) return "\\\\" + path.substr(8);
  if (path.compare(0, 4, "\\\\?\\") == 0) return path.substr(4);
  return path;
}

bool SameText(const std::string& a, const std::string& b);

}  // namespace

bool SamePathText(const std::string& a, const std::string& b) {
  return SameText(WithoutLongPrefix(a), WithoutLongPrefix(b));
}

bool IsDevicePath(const std::string& path) {
  if (path.compare(0, 4, "\\\\.\\") == 0) return true;
  // The name after the last separator, up to its first dot, without the
  // blanks Windows ignores there.
  size_t start = 0;
  for (size_t i = 0; i < path.size(); ++i) {
    if (util::IsLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
      ++i;
      continue;
    }
    if (path[i] == '\\' || path[i] == '/' || path[i] == ':') start = i + 1;
  }
  const size_t dot = path.find('.', start);
  std::string name = path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
  while (!name.empty() && name.back() == ' ') name.pop_back();
  for (char& c : name) c = AsciiUpper(c);
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
  for (const char* device : kDevices)
    if (name == device) return true;
  return name.size() == 4 && (name.compare(0, 3, "COM") == 0 || name.compare(0, 3, "LPT") == 0) && name[3] >= '1' &&
         name[3] <= '9';
}

namespace {

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (util::IsLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
      // A double-byte character has no case here; its trail byte may look
      // like an ASCII letter and must not be folded.
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

}  // namespace

void TRecentFiles::Load(const std::vector<TNamedValue>& values, const FileExists& exists) {
  // A store may hand its values back in any order (Wine sorts them by name
  // as text, so "10" comes before "2"); the position in the name decides.
  std::vector<std::pair<long long, const std::string*>> stored;
  for (const TNamedValue& v : values)
    if (std::optional<long long> position = PositionName(v.name)) stored.emplace_back(*position, &v.text);
  std::stable_sort(stored.begin(), stored.end(), [](const auto& x, const auto& y) { return x.first < y.first; });

  paths_.clear();
  checked_ = false;
  for (const auto& entry : stored) {
    if (paths_.size() == kMaxFiles) break;
    const std::string& path = *entry.second;
    if (path.empty() || IsDevicePath(path)) continue;
    bool repeated =
        std::any_of(paths_.begin(), paths_.end(), [&](const std::string& p) { return SamePathText(p, path); });
    if (!repeated && exists(path)) paths_.push_back(path);
  }
}

std::vector<TNamedValue> TRecentFiles::Values() const {
  std::vector<TNamedValue> values;
  for (size_t i = 0; i < paths_.size(); ++i) values.push_back({std::to_string(i), paths_[i]});
  return values;
}

void TRecentFiles::Opened(const std::string& path) {
  if (IsDevicePath(path)) {
    checked_ = false;
    return;
  }
  paths_.erase(
      std::remove_if(paths_.begin(), paths_.end(), [&](const std::string& p) { return SamePathText(p, path); }),
      paths_.end());
  paths_.insert(paths_.begin(), path);
  if (paths_.size() > kMaxFiles) paths_.resize(kMaxFiles);
  checked_ = true;
}

}  // namespace app

#include "app/export/export_file_win.h"

#include <windows.h>

#include <utility>

#include "gui/text.h"
#include "util/file_utils.h"
#include "util/handles_win.h"

namespace app {

namespace {

std::wstring Folded(const std::string& name) {
  std::wstring wide = gui::AnsiToWide(name);
  if (!wide.empty()) CharUpperBuffW(&wide[0], static_cast<DWORD>(wide.size()));
  return wide;
}

// Wine's name for a folder on the host, in the namespace Wine looks names
// up in exactly; empty on Windows or when Wine cannot tell.
std::wstring HostFolder(const std::string& folder) {
  using ToUnix = char*(CDECL*)(LPCWSTR);
  static const auto to_unix =
      reinterpret_cast<ToUnix>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
  if (!to_unix) return std::wstring();
  char* unix_name = to_unix(gui::AnsiToWide(folder.empty() ? "." : folder).c_str());
  if (!unix_name) return std::wstring();
  std::wstring host;
  const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, unix_name, -1, nullptr, 0);
  if (length > 1) {
    host.resize(static_cast<size_t>(length));
    MultiByteToWideChar(CP_UTF8, 0, unix_name, -1, &host[0], length);
    host.resize(static_cast<size_t>(length - 1));
  }
  HeapFree(GetProcessHeap(), 0, unix_name);
  if (host.empty() || host[0] != L'/') return std::wstring();
  for (wchar_t& c : host)
    if (c == L'/') c = L'\\';
  while (!host.empty() && host.back() == L'\\') host.pop_back();
  return L"\\\\?\\unix" + host;
}

}  // namespace

TExportFolder::TExportFolder(std::string folder) : folder_(std::move(folder)) {}

TExportFolder::~TExportFolder() {
  if (!work_folder_.empty()) RemoveDirectoryA(work_folder_.c_str());
}

void TExportFolder::ReadListing() {
  if (listed_) return;
  listed_ = true;
  host_folder_ = HostFolder(folder_);
  WIN32_FIND_DATAA found{};
  util::UniqueFindHandle find(FindFirstFileA((util::AddBackslash(folder_) + "*").c_str(), &found));
  if (!find) return;
  do {
    names_.insert(Folded(found.cFileName));
  } while (FindNextFileA(find.get(), &found));
}

bool TExportFolder::InFolder(const std::string& path) const {
  return util::ExtractFilePath(path) == util::AddBackslash(folder_);
}

bool TExportFolder::Exists(const std::string& path) {
  if (!InFolder(path)) return util::FileExistsAt(path);
  ReadListing();
  return names_.count(Folded(util::ExtractFileName(path))) != 0;
}

std::wstring TExportFolder::HostPath(const std::string& name) const {
  return host_folder_.empty() ? std::wstring() : host_folder_ + L"\\" + gui::AnsiToWide(name);
}

util::FileWriteResult TExportFolder::Write(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (Exists(path)) return Replace(path, bytes);
  bool exists = false;
  const util::FileWriteResult result = WriteNew(path, bytes, &exists);
  if (exists) return Replace(path, bytes);  // made by someone else meanwhile
  if (result == util::FileWriteResult::kOk && InFolder(path)) names_.insert(Folded(util::ExtractFileName(path)));
  return result;
}

util::FileWriteResult TExportFolder::WriteNew(const std::string& path, const std::vector<uint8_t>& bytes,
                                              bool* exists) {
  const std::wstring host = InFolder(path) ? HostPath(util::ExtractFileName(path)) : std::wstring();
  HANDLE file = host.empty() ? CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                           FILE_ATTRIBUTE_NORMAL, nullptr)
                             : CreateFileW(host.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    *exists = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
    return util::FileWriteResult::kCreateFailed;
  }
  if (util::WriteAndCloseFile(reinterpret_cast<intptr_t>(file), bytes.data(), bytes.size()))
    return util::FileWriteResult::kOk;
  if (host.empty())
    DeleteFileA(path.c_str());
  else
    DeleteFileW(host.c_str());
  return util::FileWriteResult::kWriteFailed;
}

util::FileWriteResult TExportFolder::Replace(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (work_folder_.empty()) {
    const std::string work =
        util::AddBackslash(util::ExtractFileDir(path)) + "~tamsel-" + std::to_string(GetCurrentProcessId()) + ".tmp";
    if (!CreateDirectoryA(work.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
      return util::WriteFileAtomically(path,
                                       [&](util::ByteSink& sink) { return sink.Write(bytes.data(), bytes.size()); });
    SetFileAttributesA(work.c_str(), FILE_ATTRIBUTE_HIDDEN);
    work_folder_ = work;
  }
  // One file at a time passes through the work folder, which therefore stays
  // small and cheap to create names in.
  const std::string temp = work_folder_ + "\\new.tmp";
  DeleteFileA(temp.c_str());
  util::AtomicFile file(path);
  if (!file.OpenAs(temp)) return util::FileWriteResult::kCreateFailed;
  file.Write(bytes.data(), bytes.size());
  return file.Commit();
}

const char* DescribeFileWriteResult(util::FileWriteResult result) {
  switch (result) {
    case util::FileWriteResult::kOk: return "ok";
    case util::FileWriteResult::kCreateFailed: return "the file could not be created";
    case util::FileWriteResult::kWriteFailed: return "the file could not be written";
    case util::FileWriteResult::kReplaceFailed: return "the file could not replace the existing one";
  }
  return "the file could not be written";
}

}  // namespace app

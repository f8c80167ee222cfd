#include "app/export_file_win.h"

#include <windows.h>

#include "gui/handles.h"

namespace app {

util::FileWriteResult WriteExportFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  gui::UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return util::FileWriteResult::kCreateFailed;
    return util::WriteFileAtomically(
        path, [&](util::ByteSink& sink) { return sink.Write(bytes.data(), bytes.size()); });
  }
  bool ok = true;
  const uint8_t* p = bytes.data();
  size_t left = bytes.size();
  while (ok && left > 0) {
    const DWORD chunk = left > 0x10000000u ? 0x10000000u : static_cast<DWORD>(left);
    DWORD done = 0;
    // A full volume has been seen to store part of a write and report success.
    ok = WriteFile(file.get(), p, chunk, &done, nullptr) && done > 0;
    p += done;
    left -= done;
  }
  ok = CloseHandle(file.release()) != FALSE && ok;
  if (!ok) {
    DeleteFileA(path.c_str());
    return util::FileWriteResult::kWriteFailed;
  }
  return util::FileWriteResult::kOk;
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

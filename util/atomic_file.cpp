#include "util/atomic_file.h"

#include <atomic>
#include <utility>

namespace util {

namespace os = atomic_file_detail;

namespace {
std::atomic<unsigned> g_temp_counter{0};
}

AtomicFile::AtomicFile(std::string target) : target_(std::move(target)) {}

AtomicFile::~AtomicFile() { Discard(); }

bool AtomicFile::Open() {
  Discard();
  failed_ = false;
  written_ = 0;
  return CreateFileBeside(target_, &temp_, &handle_);
}

bool AtomicFile::OpenAs(const std::string& temp_path) {
  Discard();
  failed_ = false;
  written_ = 0;
  if (os::CreateNew(temp_path, &handle_) != os::CreateStatus::kOk) return false;
  temp_ = temp_path;
  return true;
}

bool AtomicFile::Write(const void* data, size_t size) {
  if (handle_ == -1 || failed_) return false;
  if (size == 0) return true;
  if (!os::WriteAll(handle_, data, size)) {
    failed_ = true;
    return false;
  }
  written_ += size;
  return true;
}

FileWriteResult AtomicFile::Commit() {
  if (handle_ == -1) return FileWriteResult::kCreateFailed;
  intptr_t handle = std::exchange(handle_, -1);
  FileWriteResult result = FileWriteResult::kOk;
  if (failed_) {
    os::CloseQuietly(handle);
    result = FileWriteResult::kWriteFailed;
  } else if (!os::CloseChecked(handle)) {
    result = FileWriteResult::kWriteFailed;
  } else if (!os::Replace(temp_, target_)) {
    result = FileWriteResult::kReplaceFailed;
  }
  if (result != FileWriteResult::kOk) os::Remove(temp_);
  temp_.clear();
  return result;
}

void AtomicFile::Discard() {
  if (handle_ != -1) {
    os::CloseQuietly(std::exchange(handle_, -1));
  }
  if (!temp_.empty()) {
    os::Remove(temp_);
    temp_.clear();
  }
}

FileWriteResult WriteFileAtomically(const std::string& target, const std::function<bool(ByteSink&)>& produce,
                                    uint64_t* written) {
  if (written) *written = 0;
  AtomicFile file(target);
  if (!file.Open()) return FileWriteResult::kCreateFailed;
  if (!produce(file)) {
    file.Discard();
    return FileWriteResult::kWriteFailed;
  }
  uint64_t length = file.written();
  FileWriteResult result = file.Commit();
  if (result == FileWriteResult::kOk && written) *written = length;
  return result;
}

bool CreateFileBeside(const std::string& target, std::string* path, intptr_t* handle) {
  // The name extends the full target path, so it lies in the target's
  // folder without splitting the path (which would need care with
  // double-byte names). Process ids repeat across Wine sessions, so a name
  // that is taken is skipped rather than trusted to be free.
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate =
        target + ".~" + std::to_string(os::ProcessId()) + "-" + std::to_string(g_temp_counter.fetch_add(1)) + ".tmp";
    switch (os::CreateNew(candidate, handle)) {
      case os::CreateStatus::kOk: *path = std::move(candidate); return true;
      case os::CreateStatus::kExists: continue;
      case os::CreateStatus::kFailed: return false;
    }
  }
  return false;
}

TargetState InspectTarget(const std::string& path) { return os::Inspect(path); }

FileWriteResult ReplaceFilesTogether(const std::vector<FileReplacement>& files, std::string* failed) {
  for (const FileReplacement& file : files) {
    const TargetState state = os::Inspect(file.target);
    if (state == TargetState::kReadOnly || state == TargetState::kNotAFile) {
      if (failed) *failed = file.target;
      return FileWriteResult::kReplaceFailed;
    }
  }

  std::vector<std::string> aside(files.size());  // where each old target went
  size_t placed = 0;                             // finished files in their targets' places
  auto undo = [&](const std::string& target) {
    for (size_t i = placed; i-- > 0;) os::Replace(files[i].target, files[i].finished);
    for (size_t i = 0; i < files.size(); ++i) {
      if (!aside[i].empty()) os::Replace(aside[i], files[i].target);
    }
    if (failed) *failed = target;
    return FileWriteResult::kReplaceFailed;
  };

  for (size_t i = 0; i < files.size(); ++i) {
    if (!os::Exists(files[i].target)) continue;
    // The old file goes to a name reserved for it beside itself, which no
    // other writer can take in the meantime.
    std::string reserved;
    intptr_t handle = -1;
    if (!CreateFileBeside(files[i].target, &reserved, &handle)) return undo(files[i].target);
    os::CloseQuietly(handle);
    if (!os::Replace(files[i].target, reserved)) {
      os::Remove(reserved);
      return undo(files[i].target);
    }
    aside[i] = std::move(reserved);
  }
  for (; placed < files.size(); ++placed) {
    if (!os::Replace(files[placed].finished, files[placed].target)) return undo(files[placed].target);
  }
  for (const std::string& old : aside) {
    if (!old.empty()) os::Remove(old);
  }
  return FileWriteResult::kOk;
}

bool WriteToFile(intptr_t handle, const void* data, size_t size) { return os::WriteAll(handle, data, size); }

bool WriteAndCloseFile(intptr_t handle, const void* data, size_t size) {
  const bool written = os::WriteAll(handle, data, size);
  return os::CloseChecked(handle) && written;
}

bool FileExistsAt(const std::string& path) { return os::Exists(path); }
bool RemoveFileAt(const std::string& path) { return os::Remove(path); }

}  // namespace util

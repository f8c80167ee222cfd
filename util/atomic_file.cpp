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
  // The temporary name extends the full target path, so it lies in the
  // target's folder without splitting the path (which would need care with
  // double-byte names).
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = target_ + ".~" + std::to_string(os::ProcessId()) + "-" +
                            std::to_string(g_temp_counter.fetch_add(1)) + ".tmp";
    intptr_t handle = -1;
    switch (os::CreateNew(candidate, &handle)) {
      case os::CreateStatus::kOk:
        temp_ = std::move(candidate);
        handle_ = handle;
        return true;
      case os::CreateStatus::kExists:
        continue;
      case os::CreateStatus::kFailed:
        return false;
    }
  }
  return false;
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

FileWriteResult WriteFileAtomically(const std::string& target,
                                    const std::function<bool(ByteSink&)>& produce,
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

bool FileExistsAt(const std::string& path) { return os::Exists(path); }
bool RemoveFileAt(const std::string& path) { return os::Remove(path); }

}  // namespace util

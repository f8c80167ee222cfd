// Writing a file so that a failure never destroys what was there.
//
// On a full disk a write can store only part of its data while the call
// still looks successful, and closing the file can be the first call to
// fail. A file overwritten in place is then lost. AtomicFile therefore
// writes a temporary file beside the target (same folder, so the final step
// is a rename on one volume), checks every byte count and the close, and
// only then replaces the target in one step. Any failure removes the
// temporary file and leaves an existing target exactly as it was.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "util/byte_sink.h"

namespace util {

enum class FileWriteResult {
  kOk,
  kCreateFailed,  // the temporary file could not be made (bad folder, read-only place)
  kWriteFailed,   // a write or the close failed; nothing was changed
  kReplaceFailed, // the finished file could not take the target's place (the
                  // target is locked or read-only); the target is unchanged
};

class AtomicFile : public ByteSink {
 public:
  explicit AtomicFile(std::string target);
  ~AtomicFile() override;  // an uncommitted file is discarded
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Creates the temporary file; false when that is impossible.
  bool Open();
  // False once any write has failed or stored fewer bytes than asked.
  bool Write(const void* data, size_t size) override;
  // Closes the temporary file and moves it over the target. On any result
  // but kOk the temporary file is gone and the target untouched.
  FileWriteResult Commit();
  // Drops the temporary file without touching the target.
  void Discard();

  uint64_t written() const { return written_; }
  const std::string& target() const { return target_; }
  const std::string& temp_path() const { return temp_; }

 private:
  std::string target_;
  std::string temp_;
  intptr_t handle_ = -1;
  bool failed_ = false;
  uint64_t written_ = 0;
};

// Opens an AtomicFile for target, lets produce write into it and commits
// when produce returns true. *written (optional) receives the file length.
FileWriteResult WriteFileAtomically(const std::string& target,
                                    const std::function<bool(ByteSink&)>& produce,
                                    uint64_t* written = nullptr);

bool FileExistsAt(const std::string& path);
bool RemoveFileAt(const std::string& path);

namespace atomic_file_detail {
// The operating-system side, one implementation per platform.
enum class CreateStatus { kOk, kExists, kFailed };
CreateStatus CreateNew(const std::string& path, intptr_t* handle);
bool WriteAll(intptr_t handle, const void* data, size_t size);
bool CloseChecked(intptr_t handle);
void CloseQuietly(intptr_t handle);
bool Replace(const std::string& from, const std::string& to);
bool Remove(const std::string& path);
bool Exists(const std::string& path);
unsigned ProcessId();
}  // namespace atomic_file_detail

}  // namespace util

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
#include <vector>

#include "util/byte_sink.h"

namespace util {

enum class FileWriteResult {
  kOk,
  kCreateFailed,   // the temporary file could not be made (bad folder, read-only place)
  kWriteFailed,    // a write or the close failed; nothing was changed
  kReplaceFailed,  // the finished file could not take the target's place (the
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
  // Creates the temporary file under a name the caller keeps for it (such
  // as a file in a work folder of its own) rather than one beside the
  // target; false when a file of that name exists or none can be made.
  bool OpenAs(const std::string& temp_path);
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
FileWriteResult WriteFileAtomically(const std::string& target, const std::function<bool(ByteSink&)>& produce,
                                    uint64_t* written = nullptr);

// Creates a new, empty file beside target, under a name that no other
// writer, in this process or another, can be given at the same time. The
// handle is the platform's own (a HANDLE on Windows, a descriptor elsewhere),
// open for writing. False when no such file can be made.
bool CreateFileBeside(const std::string& target, std::string* path, intptr_t* handle);

// What stands in a target's place, as far as replacing it is concerned.
enum class TargetState {
  kAbsent,
  kFile,      // a file that may be replaced
  kReadOnly,  // a read-only file: never replaced
  kNotAFile,  // a folder (or anything else that is no plain file)
};
TargetState InspectTarget(const std::string& path);

// A finished file and the target whose place it takes.
struct FileReplacement {
  std::string finished;
  std::string target;
};

// Puts finished files in their targets' places as one step, for files that
// only make sense together: either every target takes its new file, or
// every target keeps exactly what it had. Existing targets are first moved
// aside and put back if a later step fails, so a failure between two
// replacements never leaves old and new files side by side. Read-only
// targets and folders are refused before anything moves. On any result but
// kOk, *failed (optional) names the target that could not be replaced and
// the finished files are still where they were.
FileWriteResult ReplaceFilesTogether(const std::vector<FileReplacement>& files, std::string* failed = nullptr);

// Writes all of data to an open file, given by the platform's handle (as
// CreateFileBeside makes it), however many calls that takes; false when a
// call fails or stores nothing.
bool WriteToFile(intptr_t handle, const void* data, size_t size);
// Writes all of data to an open file and closes it, on every path; false
// when a write or the close failed, and the file is then incomplete.
bool WriteAndCloseFile(intptr_t handle, const void* data, size_t size);

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
TargetState Inspect(const std::string& path);
unsigned ProcessId();
}  // namespace atomic_file_detail

}  // namespace util

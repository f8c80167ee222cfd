// The dBase export's Win32 side: the two files on disk and the picture each
// memo holds. The byte layout is the portable writer's (app/dbase_export.h).
//
// Both files are created when the first memo is added and stay open until
// the export ends; an export without a single memo makes no file at all. The
// new pair is built beside the targets, under names of its own, and takes
// their places only through util::ReplaceFilesTogether, so a table and a
// memo file of different exports never end up side by side. However the
// export ends (the last icon written, a write failure, an error elsewhere in
// the loop), the table gets the count of the records written and its
// end-of-file byte, and both files are closed: TDBaseExport's destructor
// sees to it. Then:
//   - a complete pair replaces whatever had the targets' names;
//   - an incomplete pair is dropped when a table or memo file of those names
//     existed, which stays byte for byte as it was;
//   - an incomplete pair where there were no such files still takes their
//     places, because the records it holds stay readable.
// A read-only target, or a folder with a target's name, ends the export
// before anything is written.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "app/export/dbase_export.h"
#include "app/export/export_engine_win.h"
#include "app/export/export_names.h"
#include "util/byte_sink.h"
#include "util/handles_win.h"

namespace app {

// A file written at its end and patched in place through one handle, made
// under a name of its own beside the file it is to become.
class TWinPatchableFile : public TPatchableSink {
 public:
  ~TWinPatchableFile() override { Discard(); }
  // Creates a new file beside target (util::CreateFileBeside); false when
  // impossible.
  bool CreateBeside(const std::string& target);
  bool Write(const void* data, size_t size) override;
  bool WriteAt(uint64_t offset, const void* data, size_t size) override;
  uint64_t Size() const override { return size_; }
  // Cuts off what a failed write left past the last complete one and
  // closes; false when that failed (a full volume shows here).
  bool Close();
  bool IsOpen() const { return static_cast<bool>(file_); }
  // The file's own name; empty when there is none to look after.
  const std::string& Path() const { return path_; }
  // Closes the file if needed and removes it.
  void Discard();
  // The file has taken its target's place and is no longer this object's.
  void Placed() { path_.clear(); }

 private:
  bool WriteHere(const void* data, size_t size);

  util::UniqueFile file_;
  std::string path_;
  uint64_t size_ = 0;
};

// The icon's picture as a memo holds it: memo type 0 an icon file (at the
// icon's own depth from 8 bits up, else 16 colours with its mask), 1 a
// bitmap, 2 a JPEG image, 3 an enhanced metafile, the last three of the
// picture on the work bitmap, 4 a PNG of the icon's own pixels with alpha
// (grey when asked). False when it could not be made or written.
bool WriteMemoPicture(util::ByteSink& sink, const TExportWork& work, int memo_type, bool gray_scale = false);

// The icon as a 16-colour icon file (the standard colours, with its mask),
// appended to the sink in one write. Returns the byte count or a negative
// imaging::IconResult.
int SaveIconAs16Colors(util::ByteSink& sink, HICON icon);

class TDBaseExport {
 public:
  TDBaseExport(TDBasePaths paths, std::string field_name);
  ~TDBaseExport();
  TDBaseExport(const TDBaseExport&) = delete;
  TDBaseExport& operator=(const TDBaseExport&) = delete;

  // Checks the targets, creates both new files and writes their headers;
  // does nothing a second time. Raises gui::Error.
  void Open();
  // Appends the memo of the icon on the work objects and its record;
  // creates the files first when needed. Raises gui::Error.
  void AddIcon(const TExportWork& work, int memo_type, bool gray_scale = false);
  // Writes the record count and the end-of-file byte, closes both files and
  // puts them in the targets' places. Raises gui::Error when that failed;
  // does nothing when no file was made, or a second time.
  void Finish();

  uint32_t RecordCount() const { return writer_ ? writer_->RecordCount() : 0; }
  const TDBasePaths& Paths() const { return paths_; }

 private:
  struct TProblem {
    std::string path;
    std::string reason;  // empty when all went well
  };
  // Completes and closes the new files, then puts them in place or drops
  // them as the design note says; `failed` tells that the export did not
  // end well. Returns the first problem.
  TProblem Complete(bool failed);

  TDBasePaths paths_;
  std::string field_name_;
  TWinPatchableFile table_;
  TWinPatchableFile memo_;
  std::unique_ptr<TDBaseWriter> writer_;
  bool opened_ = false;
  bool old_files_ = false;  // a table or memo file had a target's name
  bool finished_ = false;
};

}  // namespace app

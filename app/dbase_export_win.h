// The dBase export's Win32 side: the two files on disk and the picture each
// memo holds. The byte layout is the portable writer's (app/dbase_export.h).
//
// Both files are created when the first memo is added, replacing files of
// the same names, and stay open until the export ends. However it ends (the
// last icon written, a write failure, an error elsewhere in the loop), the
// table gets the count of the records written and its end-of-file byte, and
// both files are closed: TDBaseExport's destructor sees to it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "app/dbase_export.h"
#include "app/export_engine_win.h"
#include "app/export_names.h"
#include "gui/handles.h"
#include "util/byte_sink.h"

namespace app {

// A file written at its end and patched in place through one handle.
class TWinPatchableFile : public TPatchableSink {
 public:
  // Creates the file, replacing an existing one; false when impossible.
  bool Create(const std::string& path);
  bool Write(const void* data, size_t size) override;
  bool WriteAt(uint64_t offset, const void* data, size_t size) override;
  uint64_t Size() const override { return size_; }
  // Flushes and closes; false when that failed (a full volume shows here).
  bool Close();
  bool IsOpen() const { return static_cast<bool>(file_); }

 private:
  bool WriteHere(const void* data, size_t size);

  gui::UniqueFile file_;
  uint64_t size_ = 0;
};

// The icon's picture as a memo holds it: memo type 0 an icon file (at the
// icon's own depth from 8 bits up, else 16 colours with its mask), 1 a
// bitmap, 2 a JPEG image, 3 an enhanced metafile, the last three of the
// picture on the work bitmap. False when it could not be made or written.
bool WriteMemoPicture(util::ByteSink& sink, const TExportWork& work, int memo_type);

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

  // Creates both files and writes their headers. Raises gui::Error.
  void Open();
  // Appends the memo of the icon on the work objects and its record;
  // creates the files first when needed. Raises gui::Error.
  void AddIcon(const TExportWork& work, int memo_type);
  // Writes the record count and the end-of-file byte and closes both files.
  // Raises gui::Error when that failed; does nothing a second time.
  void Finish();

  uint32_t RecordCount() const { return writer_ ? writer_->RecordCount() : 0; }
  const TDBasePaths& Paths() const { return paths_; }

 private:
  // Completes and closes; returns the first problem, empty when none.
  std::string Complete();

  TDBasePaths paths_;
  std::string field_name_;
  TWinPatchableFile table_;
  TWinPatchableFile memo_;
  std::unique_ptr<TDBaseWriter> writer_;
  bool finished_ = false;
};

}  // namespace app

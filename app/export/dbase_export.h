// The dBase export's two files: a dBase IV table (.dbf) with one binary memo
// field and one record per icon, and its memo file (.dbt) in blocks of 1024
// bytes, each memo holding one picture.
//
// Layout (all numbers little-endian):
//   table  0  version 0x8B, date (year - 1900, month, day), record count,
//             header length 65, record length 11, language driver 0x1B at 29
//          32 field descriptor: name (<= 10 bytes, 0-terminated), "B",
//             offset 1, length 10, no decimals
//          64 0x0D, then 11-byte records, then the end-of-file byte 0x1A
//   record    0x20, then the memo's first block number in decimal digits
//             from byte 1 on, the rest 0 bytes
//   memo   block 0: next free block, the 8-byte upper-case name, block
//             length 1024; every memo starts on a block boundary with
//             FF FF 08 00 and its length (data + 8), then the data, then
//             zeros up to the next block boundary
//
// The writer appends and patches in place (the record count and the next
// free block are rewritten as it goes), so it needs sinks that can also
// write at an offset. It finishes the table with the count of the records
// written and the end-of-file byte on every path: also when a write or the
// picture of a memo fails, and from its destructor if nobody called Finish.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "imaging/pixels.h"
#include "util/byte_sink.h"

namespace app {

// A file that is written at its end and patched in place.
class TPatchableSink : public util::ByteSink {
 public:
  // Overwrites bytes that were written before; false when that failed or
  // the range goes past the end.
  virtual bool WriteAt(uint64_t offset, const void* data, size_t size) = 0;
  virtual uint64_t Size() const = 0;
};

// In memory; with a limit it stores only the first `limit` bytes and fails
// every write past them, as a full disk does.
class TMemoryFile : public TPatchableSink {
 public:
  TMemoryFile() = default;
  explicit TMemoryFile(size_t limit) : limit_(limit) {}
  bool Write(const void* data, size_t size) override;
  bool WriteAt(uint64_t offset, const void* data, size_t size) override;
  uint64_t Size() const override { return bytes_.size(); }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  size_t limit_ = SIZE_MAX;
  std::vector<uint8_t> bytes_;
};

struct TDBaseDate {
  int Year = 1900;  // full year; stored as year - 1900 in one byte
  int Month = 1;
  int Day = 1;
  static TDBaseDate Today();
};

constexpr uint32_t kDBaseBlockSize = 1024;
constexpr uint32_t kDBaseHeaderLength = 65;
constexpr uint32_t kDBaseRecordLength = 11;

class TDBaseWriter {
 public:
  // Writes the memo's picture into the memo file; false when it could not
  // be made or written.
  using TMemoData = std::function<bool(util::ByteSink&)>;

  TDBaseWriter(TPatchableSink& table, TPatchableSink& memo) : table_(table), memo_(memo) {}
  ~TDBaseWriter();
  TDBaseWriter(const TDBaseWriter&) = delete;
  TDBaseWriter& operator=(const TDBaseWriter&) = delete;

  // Writes the table's header and field descriptor and the memo file's
  // block 0. field_name is taken through DBaseFieldName (empty gives
  // "ICON", longer than 10 bytes is cut); memo_name is cut to 8 bytes.
  bool Begin(const TDBaseDate& date, const std::string& field_name, const std::string& memo_name);

  // Appends one memo and its record. On failure no record is added.
  bool AddMemo(const TMemoData& write_data);
  bool AddMemo(const void* data, size_t size);

  // Writes the record count and the end-of-file byte; once only.
  bool Finish();

  uint32_t RecordCount() const { return records_; }
  bool Failed() const { return !error_.empty(); }
  // Why the last failing call failed; empty while all went well.
  const std::string& Error() const { return error_; }

 private:
  bool Fail(const char* reason);

  TPatchableSink& table_;
  TPatchableSink& memo_;
  bool begun_ = false;
  bool finished_ = false;
  bool table_failed_ = false;
  bool memo_failed_ = false;
  uint32_t records_ = 0;
  std::string error_;
};

// A memo's icon in 16 colours: each pixel as the nearest of the standard
// colours, with the icon's mask. Returns the byte count or an IconResult.
int SaveIconImageAs16Colors(util::ByteSink& sink, const imaging::Image32& color, const imaging::MaskImage& mask);

}  // namespace app

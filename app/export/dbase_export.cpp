#include "app/export/dbase_export.h"

#include <cstring>
#include <ctime>

#include "app/export/export_names.h"
#include "imaging/color_depth.h"
#include "imaging/saveicons.h"

namespace app {

namespace {

#pragma pack(push, 1)
struct TDbfHeader {
  uint8_t version;
  uint8_t year;  // year - 1900
  uint8_t month;
  uint8_t day;
  uint8_t record_count[4];
  uint8_t header_length[2];
  uint8_t record_length[2];
  uint8_t reserved1[17];
  uint8_t language_driver;
  uint8_t reserved2[2];
};

struct TDbfFieldDescriptor {
  char name[11];  // 0-terminated
  char type;
  uint8_t offset[4];  // the field's position in the record
  uint8_t length;
  uint8_t decimals;
  uint8_t reserved[14];
};

struct TDbfRecord {
  char deletion_flag;
  char block[10];  // decimal digits, then 0 bytes
};

struct TDbtHeader {
  uint8_t next_free_block[4];
  uint8_t reserved1[4];
  char name[8];
  uint8_t reserved2[4];
  uint8_t block_length[2];
  uint8_t reserved3[1002];
};

struct TDbtMemoHeader {
  uint8_t mark[4];
  uint8_t length[4];  // data + 8
};
#pragma pack(pop)

static_assert(sizeof(TDbfHeader) == 32, "table header");
static_assert(sizeof(TDbfFieldDescriptor) == 32, "field descriptor");
static_assert(sizeof(TDbfHeader) + sizeof(TDbfFieldDescriptor) + 1 == kDBaseHeaderLength, "header length");
static_assert(sizeof(TDbfRecord) == kDBaseRecordLength, "record");
static_assert(sizeof(TDbtHeader) == kDBaseBlockSize, "memo block 0");
static_assert(sizeof(TDbtMemoHeader) == 8, "memo header");

constexpr uint8_t kVersion = 0x8B;  // dBase IV table with memo file
constexpr uint8_t kLanguageDriver = 0x1B;
constexpr uint8_t kHeaderTerminator = 0x0D;
constexpr uint8_t kEndOfFile = 0x1A;
constexpr uint8_t kMemoMark[4] = {0xFF, 0xFF, 0x08, 0x00};

uint8_t DateByte(int value, int low, int high) {
  return static_cast<uint8_t>(value < low ? low : value > high ? high : value);
}

bool WriteLE32At(TPatchableSink& sink, uint64_t offset, uint32_t value) {
  uint8_t bytes[4];
  util::PutLE32(bytes, value);
  return sink.WriteAt(offset, bytes, sizeof bytes);
}

bool WriteZeros(util::ByteSink& sink, uint64_t count) {
  static const uint8_t kZeros[kDBaseBlockSize] = {};
  while (count > 0) {
    const size_t chunk = count < sizeof kZeros ? static_cast<size_t>(count) : sizeof kZeros;
    if (!sink.Write(kZeros, chunk)) return false;
    count -= chunk;
  }
  return true;
}

}  // namespace

bool TMemoryFile::Write(const void* data, size_t size) {
  const uint8_t* p = static_cast<const uint8_t*>(data);
  const size_t room = limit_ > bytes_.size() ? limit_ - bytes_.size() : 0;
  const size_t taken = size < room ? size : room;
  bytes_.insert(bytes_.end(), p, p + taken);
  return taken == size;
}

bool TMemoryFile::WriteAt(uint64_t offset, const void* data, size_t size) {
  if (offset > bytes_.size() || size > bytes_.size() - offset) return false;
  if (size > 0) std::memcpy(bytes_.data() + offset, data, size);
  return true;
}

TDBaseDate TDBaseDate::Today() {
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  TDBaseDate date;
  if (local != nullptr) {
    date.Year = local->tm_year + 1900;
    date.Month = local->tm_mon + 1;
    date.Day = local->tm_mday;
  }
  return date;
}

TDBaseWriter::~TDBaseWriter() { Finish(); }

bool TDBaseWriter::Fail(const char* reason) {
  error_ = reason;
  return false;
}

bool TDBaseWriter::Begin(const TDBaseDate& date, const std::string& field_name, const std::string& memo_name) {
  if (begun_) return Fail("the dBase table was already started");
  begun_ = true;

  TDbfHeader header = {};
  header.version = kVersion;
  header.year = DateByte(date.Year - 1900, 0, 255);
  header.month = DateByte(date.Month, 1, 12);
  header.day = DateByte(date.Day, 1, 31);
  util::PutLE16(header.header_length, kDBaseHeaderLength);
  util::PutLE16(header.record_length, kDBaseRecordLength);
  header.language_driver = kLanguageDriver;

  TDbfFieldDescriptor field = {};
  const std::string name = DBaseFieldName(field_name);
  std::memcpy(field.name, name.data(), name.size() < 10 ? name.size() : 10);
  field.type = 'B';
  util::PutLE32(field.offset, 1);
  field.length = 10;

  if (!table_.Write(&header, sizeof header) || !table_.Write(&field, sizeof field) ||
      !table_.Write(&kHeaderTerminator, 1)) {
    table_failed_ = true;
    return Fail("the dBase table could not be written");
  }

  TDbtHeader block0 = {};
  util::PutLE32(block0.next_free_block, 1);
  std::memcpy(block0.name, memo_name.data(), memo_name.size() < 8 ? memo_name.size() : 8);
  util::PutLE16(block0.block_length, kDBaseBlockSize);
  if (!memo_.Write(&block0, sizeof block0)) {
    memo_failed_ = true;
    return Fail("the memo file could not be written");
  }
  return true;
}

bool TDBaseWriter::AddMemo(const void* data, size_t size) {
  return AddMemo([data, size](util::ByteSink& sink) { return sink.Write(data, size); });
}

bool TDBaseWriter::AddMemo(const TMemoData& write_data) {
  if (!begun_ || finished_) return Fail("the dBase table is not open");
  if (table_failed_) return Fail("the dBase table could not be written");
  if (memo_failed_) return Fail("the memo file could not be written");

  // Every memo starts on a block boundary; its first block goes into the record.
  const uint64_t start = memo_.Size();
  const uint64_t block = start / kDBaseBlockSize;
  if (start % kDBaseBlockSize != 0 || block > UINT32_MAX) {
    memo_failed_ = true;
    return Fail("the memo file is too large");
  }

  TDbtMemoHeader memo_header = {};
  std::memcpy(memo_header.mark, kMemoMark, sizeof kMemoMark);
  if (!memo_.Write(&memo_header, sizeof memo_header)) {
    memo_failed_ = true;
    return Fail("the memo file could not be written");
  }
  const uint64_t data_start = memo_.Size();
  if (!write_data(memo_)) {
    memo_failed_ = true;
    return Fail("the picture of a memo could not be made or written");
  }
  const uint64_t memo_length = memo_.Size() - data_start + sizeof memo_header;
  const uint64_t filler = (kDBaseBlockSize - memo_length % kDBaseBlockSize) % kDBaseBlockSize;
  if (memo_length > UINT32_MAX || (memo_.Size() + filler) / kDBaseBlockSize > UINT32_MAX) {
    memo_failed_ = true;
    return Fail("the memo file is too large");
  }
  if (!WriteLE32At(memo_, data_start - 4, static_cast<uint32_t>(memo_length)) || !WriteZeros(memo_, filler) ||
      !WriteLE32At(memo_, 0, static_cast<uint32_t>(memo_.Size() / kDBaseBlockSize))) {
    memo_failed_ = true;
    return Fail("the memo file could not be written");
  }

  TDbfRecord record = {};
  record.deletion_flag = ' ';
  const std::string digits = std::to_string(block);
  std::memcpy(record.block, digits.data(), digits.size());
  if (!table_.Write(&record, sizeof record)) {
    table_failed_ = true;
    return Fail("the dBase table could not be written");
  }
  ++records_;
  return true;
}

bool TDBaseWriter::Finish() {
  if (!begun_ || finished_) return !Failed();
  finished_ = true;
  // Completed also after a failure, so that the records already written
  // stay readable.
  bool ok = records_ == 0 || WriteLE32At(table_, 4, records_);
  ok = table_.Write(&kEndOfFile, 1) && ok;
  if (!ok) return Fail("the dBase table could not be completed");
  return !Failed();
}

namespace {

// Each pixel as the index of its nearest standard colour, two to a byte.
void Pack4BitRows(const imaging::Image32& color, std::vector<uint8_t>* rows) {
  const size_t stride = static_cast<size_t>(imaging::DibStride(color.width, 4));
  rows->assign(stride * static_cast<size_t>(color.height), 0);
  for (int row = 0; row < color.height; ++row) {
    uint8_t* out = rows->data() + static_cast<size_t>(row) * stride;
    const imaging::Pixel32* in = color.pixels.data() + static_cast<size_t>(row) * color.width;
    for (int x = 0; x < color.width; ++x) {
      const int index = imaging::NearestColorIndex(imaging::StandardColors(), in[x] & 0xFFFFFF);
      out[x / 2] |= static_cast<uint8_t>(x % 2 == 0 ? index << 4 : index);
    }
  }
}

}  // namespace

int SaveIconImageAs16Colors(util::ByteSink& sink, const imaging::Image32& color, const imaging::MaskImage& mask) {
  imaging::IconBits bits;
  bits.code = imaging::kDepth4;
  imaging::InitBitmapInfoHeader(&bits.header, color.width, color.height, imaging::kDepth4);
  bits.color_table.assign(imaging::StandardColors().begin(), imaging::StandardColors().end());
  Pack4BitRows(color, &bits.color_rows);
  if (!imaging::GetMaskBits(mask, &bits)) return imaging::kIconConversionFailed;
  util::MemorySink buffer;
  const int result = imaging::WriteIconToSink(bits, buffer);
  if (result < 0) return result;
  return sink.Write(buffer.bytes().data(), buffer.bytes().size()) ? result : imaging::kIconWriteFailed;
}

}  // namespace app

#include "app/export/dbase_export.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/export/export_names.h"

namespace app {
namespace {

using Bytes = std::vector<uint8_t>;

const TDBaseDate kDate{2026, 12, 7};

Bytes Picture(size_t size, uint8_t seed) {
  Bytes b(size);
  for (size_t i = 0; i < size; ++i) b[i] = static_cast<uint8_t>(seed + i * 7);
  return b;
}

uint32_t LE32(const Bytes& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// The table header and field descriptor as laid out by hand.
Bytes ExpectedTableHeader(uint32_t records, const std::string& field) {
  Bytes h(65, 0);
  h[0] = 0x8B;
  h[1] = 126;
  h[2] = 12;
  h[3] = 7;
  h[4] = static_cast<uint8_t>(records);
  h[8] = 65;
  h[10] = 11;
  h[29] = 0x1B;
  for (size_t i = 0; i < field.size(); ++i) h[32 + i] = static_cast<uint8_t>(field[i]);
  h[43] = 'B';
  h[44] = 1;
  h[48] = 10;
  h[64] = 0x0D;
  return h;
}

Bytes ExpectedRecord(const std::string& digits) {
  Bytes r(11, 0);
  r[0] = 0x20;
  for (size_t i = 0; i < digits.size(); ++i) r[1 + i] = static_cast<uint8_t>(digits[i]);
  return r;
}

Bytes ExpectedMemoBlock0(uint32_t next_free, const std::string& name) {
  Bytes b(1024, 0);
  b[0] = static_cast<uint8_t>(next_free);
  for (size_t i = 0; i < name.size(); ++i) b[8 + i] = static_cast<uint8_t>(name[i]);
  b[20] = 0x00;
  b[21] = 0x04;  // 1024
  return b;
}

void Append(Bytes& to, const Bytes& from) { to.insert(to.end(), from.begin(), from.end()); }

Bytes ExpectedMemo(const Bytes& data) {
  Bytes m = {0xFF, 0xFF, 0x08, 0x00, 0, 0, 0, 0};
  const uint32_t length = static_cast<uint32_t>(data.size() + 8);
  m[4] = static_cast<uint8_t>(length);
  m[5] = static_cast<uint8_t>(length >> 8);
  m[6] = static_cast<uint8_t>(length >> 16);
  Append(m, data);
  m.resize((m.size() + 1023) / 1024 * 1024, 0);
  return m;
}

struct Written {
  Bytes table, memo;
  bool ok;
};

Written Export(const std::vector<Bytes>& pictures, const std::string& field, const std::string& memo_name) {
  TMemoryFile table, memo;
  bool ok;
  {
    TDBaseWriter writer(table, memo);
    ok = writer.Begin(kDate, field, memo_name);
    for (const Bytes& p : pictures) ok = writer.AddMemo(p.data(), p.size()) && ok;
    ok = writer.Finish() && ok;
    EXPECT_EQ(writer.RecordCount(), pictures.size());
  }
  return {table.bytes(), memo.bytes(), ok};
}

TEST(DBaseExportTest, ExactLayouts) {
  struct Case {
    std::vector<size_t> sizes;
    std::vector<std::string> blocks;
    uint32_t next_free;
  } cases[] = {
      {{766}, {"1"}, 2},             // memo length 774, block 1, memo file 2048 bytes
      {{1016}, {"1"}, 2},            // exactly one block, no filler
      {{1017}, {"1"}, 3},            // one byte more takes two blocks
      {{766, 1017}, {"1", "2"}, 4},  // the second memo follows the first one's last block
      {{3000, 10, 0}, {"1", "4", "5"}, 6},
      {{}, {}, 1},  // no icon: a valid empty table
  };
  for (const Case& c : cases) {
    std::vector<Bytes> pictures;
    for (size_t i = 0; i < c.sizes.size(); ++i) pictures.push_back(Picture(c.sizes[i], static_cast<uint8_t>(i + 1)));
    Written w = Export(pictures, "ICON", DBaseMemoName("C:\\o\\my_icon_table.dbt"));
    ASSERT_TRUE(w.ok);

    Bytes table = ExpectedTableHeader(static_cast<uint32_t>(pictures.size()), "ICON");
    for (const std::string& b : c.blocks) Append(table, ExpectedRecord(b));
    table.push_back(0x1A);
    EXPECT_EQ(w.table, table) << c.sizes.size() << " icons";

    Bytes memo = ExpectedMemoBlock0(c.next_free, "MY_ICON_");
    for (const Bytes& p : pictures) Append(memo, ExpectedMemo(p));
    EXPECT_EQ(w.memo, memo) << c.sizes.size() << " icons";
  }
}

TEST(DBaseExportTest, OneIconOf766Bytes) {
  Written w = Export({Picture(766, 9)}, "", "ICONS");
  ASSERT_EQ(w.table.size(), 77u);
  EXPECT_EQ(LE32(w.table, 4), 1u);
  ASSERT_EQ(w.memo.size(), 2048u);
  EXPECT_EQ(LE32(w.memo, 0), 2u);
  EXPECT_EQ(LE32(w.memo, 1028), 774u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&w.table[32]), 5), std::string("ICON\0", 5));
}

TEST(DBaseExportTest, FieldNameRules) {
  struct Case {
    const char* given;
    const char* stored;
  } cases[] = {{"", "ICON"}, {"MyIcons", "MyIcons"}, {"ABCDEFGHIJ", "ABCDEFGHIJ"}, {"ABCDEFGHIJKLMNOP", "ABCDEFGHIJ"}};
  for (const Case& c : cases) {
    Written w = Export({Picture(5, 1)}, c.given, "");
    EXPECT_EQ(Bytes(w.table.begin(), w.table.begin() + 65), ExpectedTableHeader(1, c.stored)) << c.given;
    // An empty memo name (a target such as ".dbf") still gives a well-formed block 0.
    EXPECT_EQ(Bytes(w.memo.begin(), w.memo.begin() + 1024), ExpectedMemoBlock0(2, ""));
  }
}

// A memo file that fails at every possible byte: the table is still
// completed with the records written so far, each pointing at a whole memo.
TEST(DBaseExportTest, FailingMemoFileStillCompletesTable) {
  const std::vector<Bytes> pictures = {Picture(766, 1), Picture(1500, 2), Picture(20, 3)};
  const size_t full = 1024 + 1024 + 2048 + 1024;
  for (size_t limit = 0; limit < full; limit += 97) {
    TMemoryFile table, memo(limit);
    TDBaseWriter writer(table, memo);
    bool ok = writer.Begin(kDate, "ICON", "X");
    for (const Bytes& p : pictures) ok = ok && writer.AddMemo(p.data(), p.size());
    EXPECT_FALSE(ok) << limit;
    EXPECT_FALSE(writer.Finish()) << limit;
    EXPECT_FALSE(writer.Error().empty());
    const Bytes& t = table.bytes();
    const uint32_t records = writer.RecordCount();
    ASSERT_EQ(t.size(), 65 + 11 * records + 1) << limit;
    EXPECT_EQ(t.back(), 0x1A);
    EXPECT_EQ(LE32(t, 4), records);
    for (uint32_t r = 0; r < records; ++r) {
      const size_t block = std::strtoul(reinterpret_cast<const char*>(&t[65 + 11 * r + 1]), nullptr, 10);
      ASSERT_LE((block + 1) * 1024, memo.bytes().size());
      EXPECT_EQ(LE32(memo.bytes(), block * 1024), 0x0008FFFFu);
      EXPECT_EQ(LE32(memo.bytes(), block * 1024 + 4), pictures[r].size() + 8);
    }
  }
}

TEST(DBaseExportTest, FailuresOfTableAndPicture) {
  // The table fails while the second record is written: one record counted.
  {
    TMemoryFile table(65 + 11 + 5), memo;
    TDBaseWriter writer(table, memo);
    ASSERT_TRUE(writer.Begin(kDate, "ICON", "X"));
    EXPECT_TRUE(writer.AddMemo("ab", 2));
    EXPECT_FALSE(writer.AddMemo("cd", 2));
    EXPECT_FALSE(writer.AddMemo("ef", 2));  // stays failed
    EXPECT_EQ(writer.RecordCount(), 1u);
    EXPECT_FALSE(writer.Finish());
    EXPECT_EQ(LE32(table.bytes(), 4), 1u);
  }
  // The picture cannot be made: no record for it, and nothing after it.
  {
    TMemoryFile table, memo;
    TDBaseWriter writer(table, memo);
    ASSERT_TRUE(writer.Begin(kDate, "ICON", "X"));
    EXPECT_TRUE(writer.AddMemo("ab", 2));
    EXPECT_FALSE(writer.AddMemo([](util::ByteSink& sink) { return sink.Write("xyz", 3) && false; }));
    EXPECT_FALSE(writer.AddMemo("cd", 2));
    EXPECT_EQ(writer.RecordCount(), 1u);
    EXPECT_FALSE(writer.Finish());
    EXPECT_EQ(table.bytes().size(), 65u + 11u + 1u);
  }
  // Nobody calls Finish: the destructor completes the table.
  {
    TMemoryFile table, memo;
    {
      TDBaseWriter writer(table, memo);
      ASSERT_TRUE(writer.Begin(kDate, "ICON", "X"));
      ASSERT_TRUE(writer.AddMemo("ab", 2));
      ASSERT_TRUE(writer.AddMemo("cd", 2));
    }
    ASSERT_EQ(table.bytes().size(), 65u + 22u + 1u);
    EXPECT_EQ(table.bytes().back(), 0x1A);
    EXPECT_EQ(LE32(table.bytes(), 4), 2u);
  }
}

// The files must open in an independent dBase reader. dbfread reads the
// header, the field descriptor and the records; its dBase IV memo reader
// assumes 512-byte blocks and stops binary data at 0x1F, so the script
// gives it one that takes the block length from block 0.
const char kReaderScript[] = R"PY(
import sys, struct
import dbfread, dbfread.dbf
from dbfread.field_parser import FieldParser
from dbfread.memo import MemoFile, DB4MemoHeader

class Memo(MemoFile):
    def _init(self):
        self._seek(20)
        self.block = struct.unpack('<H', self._read(2))[0]
    def __getitem__(self, index):
        if index <= 0:
            return None
        self._seek(index * self.block)
        head = DB4MemoHeader.read(self.file)
        assert head.reserved == 0x0008FFFF, hex(head.reserved)
        return self._read(head.length - 8)

class Parser(FieldParser):
    def _parse_memo_index(self, data):
        return int(data.rstrip(b'\0'))

dbfread.dbf.open_memofile = lambda name, version: Memo(name)
table, field, count = sys.argv[1], sys.argv[2], int(sys.argv[3])
dbf = dbfread.DBF(table, parserclass=Parser)
assert dbf.header.dbversion == 0x8B, dbf.header.dbversion
assert dbf.header.numrecords == count, dbf.header.numrecords
assert str(dbf.date) == '2026-12-07', dbf.date
assert [(f.name, f.type, f.length) for f in dbf.fields] == [(field, 'B', 10)], dbf.fields
raw = list(dbfread.DBF(table, raw=True))
assert len(raw) == count, len(raw)
records = list(dbf)
assert len(records) == count
for i, record in enumerate(records):
    with open(sys.argv[4 + i], 'rb') as f:
        expected = f.read()
    assert record[field] == expected, (i, len(record[field]), len(expected))
print('ok', count)
)PY";

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(DBaseExportTest, OpensInDbfread) {
  const char* python = std::getenv("TAMSEL_PYTHON");
  const std::string interpreter = python != nullptr ? python : "/usr/bin/python3";
  char dir_template[] = "/tmp/tamsel_dbase_XXXXXX";
  ASSERT_NE(mkdtemp(dir_template), nullptr);
  const std::string dir = dir_template;
  WriteFile(dir + "/read.py", Bytes(kReaderScript, kReaderScript + sizeof kReaderScript - 1));

  struct Case {
    const char* field;
    std::vector<size_t> sizes;
  } cases[] = {{"ICON", {766}}, {"MyIcons", {766, 1017, 31, 0x1F}}, {"ICON", {}}};
  for (const Case& c : cases) {
    std::vector<Bytes> pictures;
    std::string args;
    for (size_t i = 0; i < c.sizes.size(); ++i) {
      pictures.push_back(Picture(c.sizes[i], static_cast<uint8_t>(0x1A + i)));
      const std::string name = dir + "/pic" + std::to_string(i);
      WriteFile(name, pictures.back());
      args += " " + name;
    }
    Written w = Export(pictures, c.field, DBaseMemoName(dir + "/icons.dbt"));
    ASSERT_TRUE(w.ok);
    WriteFile(dir + "/icons.dbf", w.table);
    WriteFile(dir + "/icons.dbt", w.memo);
    const std::string command = interpreter + " " + dir + "/read.py " + dir + "/icons.dbf " + c.field + " " +
                                std::to_string(pictures.size()) + args;
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
  }
  std::system(("rm -rf " + dir).c_str());
}

}  // namespace
}  // namespace app

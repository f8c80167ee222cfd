#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "tests/native/test_files.h"
#include "util/atomic_file.h"

namespace util {
namespace {

using testing_files::ListDir;
using testing_files::ReadAll;

TEST(AtomicFile, ReplacesOnlyWhenCommitted) {
  testing_files::ScratchDir dir;
  std::string target = dir.file("t.bin");
  ASSERT_TRUE(testing_files::WriteAll(target, {1, 2, 3}));
  {
    AtomicFile file(target);
    ASSERT_TRUE(file.Open());
    ASSERT_TRUE(file.Write("abcd", 4));
    EXPECT_EQ(4u, file.written());
    EXPECT_EQ(2u, ListDir(dir.path()).size());  // the temporary file lies beside the target
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3}), ReadAll(target));
  }  // dropped without Commit
  EXPECT_EQ((std::vector<uint8_t>{1, 2, 3}), ReadAll(target));
  EXPECT_EQ(std::vector<std::string>{"t.bin"}, ListDir(dir.path()));

  uint64_t written = 0;
  EXPECT_EQ(FileWriteResult::kOk,
            WriteFileAtomically(
                target, [](ByteSink& s) { return s.Write("xyz", 3) && s.Write("", 0); }, &written));
  EXPECT_EQ(3u, written);
  EXPECT_EQ((std::vector<uint8_t>{'x', 'y', 'z'}), ReadAll(target));
  EXPECT_EQ(std::vector<std::string>{"t.bin"}, ListDir(dir.path()));
}

TEST(AtomicFile, FailuresLeaveTheTargetAndNoTemporaryFile) {
  testing_files::ScratchDir dir;
  std::string target = dir.file("t.bin");
  ASSERT_TRUE(testing_files::WriteAll(target, {9}));
  EXPECT_EQ(FileWriteResult::kWriteFailed, WriteFileAtomically(target, [](ByteSink& s) {
              s.Write("partial", 7);
              return false;
            }));
  EXPECT_EQ((std::vector<uint8_t>{9}), ReadAll(target));
  EXPECT_EQ(FileWriteResult::kCreateFailed,
            WriteFileAtomically(dir.file("missing/t.bin"), [](ByteSink&) { return true; }));
  // A folder in the target's place cannot be replaced by a file.
  ASSERT_EQ(0, mkdir(dir.file("folder").c_str(), 0755));
  EXPECT_EQ(FileWriteResult::kReplaceFailed,
            WriteFileAtomically(dir.file("folder"), [](ByteSink& s) { return s.Write("x", 1); }));
  EXPECT_EQ(2u, ListDir(dir.path()).size());
  ASSERT_EQ(0, chmod(target.c_str(), 0444));
  EXPECT_EQ(FileWriteResult::kReplaceFailed, WriteFileAtomically(target, [](ByteSink& s) { return s.Write("x", 1); }));
  EXPECT_EQ((std::vector<uint8_t>{9}), ReadAll(target));
  EXPECT_EQ(2u, ListDir(dir.path()).size());

  AtomicFile unopened(target);
  EXPECT_FALSE(unopened.Write("x", 1));
  EXPECT_EQ(FileWriteResult::kCreateFailed, unopened.Commit());
}

// A table and its memo file replaced as a pair: all new, or all as before,
// whichever step fails.
TEST(AtomicFile, TemporaryFileUnderTheCallersName) {
  testing_files::ScratchDir dir;
  const std::string target = dir.file("t.bin");
  ASSERT_TRUE(testing_files::WriteAll(target, {1}));
  ASSERT_EQ(0, mkdir(dir.file("work").c_str(), 0755));
  const std::string temp = dir.file("work/new.tmp");
  ASSERT_TRUE(testing_files::WriteAll(temp, {7}));
  {
    // A name that is taken is refused, and the file of that name, which is
    // not this writer's, stays as it was.
    AtomicFile file(target);
    EXPECT_FALSE(file.OpenAs(temp));
    EXPECT_EQ(FileWriteResult::kCreateFailed, file.Commit());
  }
  EXPECT_EQ((std::vector<uint8_t>{7}), ReadAll(temp));
  ASSERT_EQ(0, unlink(temp.c_str()));

  AtomicFile file(target);
  ASSERT_TRUE(file.OpenAs(temp));
  ASSERT_TRUE(file.Write("ab", 2));
  EXPECT_EQ(FileWriteResult::kOk, file.Commit());
  EXPECT_EQ((std::vector<uint8_t>{'a', 'b'}), ReadAll(target));
  EXPECT_TRUE(ListDir(dir.file("work")).empty());
}

TEST(ReplaceFilesTogether, BothNewOrBothAsBefore) {
  enum Old { kNone, kFileOld, kReadOnlyOld, kFolderOld };
  struct Case {
    const char* what;
    Old old_table, old_memo;
    bool memo_finished;  // false: the second move fails after the first one was made
    FileWriteResult result;
    const char* failed;
  } cases[] = {
      {"two old files replaced", kFileOld, kFileOld, true, FileWriteResult::kOk, ""},
      {"new files where there were none", kNone, kNone, true, FileWriteResult::kOk, ""},
      {"an old table alone", kFileOld, kNone, true, FileWriteResult::kOk, ""},
      {"second move fails", kFileOld, kFileOld, false, FileWriteResult::kReplaceFailed, "t.dbt"},
      {"second move fails, no old files", kNone, kNone, false, FileWriteResult::kReplaceFailed, "t.dbt"},
      {"read-only memo", kFileOld, kReadOnlyOld, true, FileWriteResult::kReplaceFailed, "t.dbt"},
      {"folder in the table's place", kFolderOld, kFileOld, true, FileWriteResult::kReplaceFailed, "t.dbf"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testing_files::ScratchDir dir;
    const std::vector<uint8_t> old_bytes[] = {{'o', 't'}, {'o', 'm'}};
    const std::vector<uint8_t> new_bytes[] = {{'n', 't', 1}, {'n', 'm', 2}};
    const Old olds[] = {c.old_table, c.old_memo};
    const std::string names[] = {"t.dbf", "t.dbt"};
    std::vector<FileReplacement> files;
    for (int i = 0; i < 2; ++i) {
      files.push_back({dir.file(names[i] + ".new"), dir.file(names[i])});
      if (i == 0 || c.memo_finished) {
        ASSERT_TRUE(testing_files::WriteAll(files[i].finished, new_bytes[i]));
      }
      if (olds[i] == kFolderOld) {
        ASSERT_EQ(0, mkdir(files[i].target.c_str(), 0755));
      }
      if (olds[i] == kFileOld || olds[i] == kReadOnlyOld) {
        ASSERT_TRUE(testing_files::WriteAll(files[i].target, old_bytes[i]));
      }
      if (olds[i] == kReadOnlyOld) {
        ASSERT_EQ(0, chmod(files[i].target.c_str(), 0444));
      }
    }
    const size_t files_before = ListDir(dir.path()).size();

    std::string failed;
    EXPECT_EQ(c.result, ReplaceFilesTogether(files, &failed));
    if (c.result == FileWriteResult::kOk) {
      EXPECT_EQ(new_bytes[0], ReadAll(files[0].target));
      EXPECT_EQ(new_bytes[1], ReadAll(files[1].target));
      EXPECT_EQ(2u, ListDir(dir.path()).size());  // nothing aside is left
      continue;
    }
    EXPECT_EQ(dir.file(c.failed), failed);
    for (int i = 0; i < 2; ++i) {
      if (olds[i] == kFileOld || olds[i] == kReadOnlyOld) {
        EXPECT_EQ(old_bytes[i], ReadAll(files[i].target)) << i;
      } else if (olds[i] == kNone) {
        EXPECT_FALSE(testing_files::Exists(files[i].target)) << i;
      }
    }
    EXPECT_EQ(new_bytes[0], ReadAll(files[0].finished));  // still there for the caller to drop
    EXPECT_EQ(files_before, ListDir(dir.path()).size());
  }
}

TEST(FailingSink, StoresWhatFitsAndForwardsIt) {
  MemorySink inner;
  FailingSink sink(5, &inner);
  EXPECT_TRUE(sink.Write("abc", 3));
  EXPECT_FALSE(sink.Write("defg", 4));
  EXPECT_FALSE(sink.Write("h", 1));
  EXPECT_EQ((std::vector<uint8_t>{'a', 'b', 'c', 'd', 'e'}), sink.bytes());
  EXPECT_EQ(sink.bytes(), inner.bytes());
}

}  // namespace
}  // namespace util

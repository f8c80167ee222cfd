#include <gtest/gtest.h>

#include <sys/stat.h>

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
            WriteFileAtomically(target, [](ByteSink& s) { return s.Write("xyz", 3) && s.Write("", 0); }, &written));
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

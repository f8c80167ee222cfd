#include "util/folder_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <set>

namespace {

// A tree of folders in memory: per folder its files (name -> icon count,
// in the order the file system would give them) and its visible subfolders.
struct FakeFolder {
  std::vector<std::pair<std::string, uint32_t>> files;
  std::vector<std::string> subfolders;
  bool enterable = true;
};

class FakeFileSystem : public util::TScanFileSystem {
 public:
  std::map<std::string, FakeFolder> folders;
  std::vector<std::string> visited;

  bool EnterFolder(const std::string& folder) override {
    auto it = folders.find(folder);
    if (it == folders.end() || !it->second.enterable) return false;
    current_ = folder;
    visited.push_back(folder);
    return true;
  }
  std::vector<std::string> Files(const std::string& pattern) override {
    const std::string ext = pattern.substr(1);  // "*.dll" -> ".dll"
    std::vector<std::string> names;
    for (const auto& f : folders[current_].files)
      if (f.first.size() >= ext.size() && f.first.compare(f.first.size() - ext.size(), ext.size(), ext) == 0)
        names.push_back(f.first);
    return names;
  }
  std::vector<std::string> Subfolders(const std::string& folder) override { return folders[folder].subfolders; }
  uint32_t IconCount(const std::string& name) override {
    for (const auto& f : folders[current_].files)
      if (f.first == name) return f.second;
    return 0;
  }

 private:
  std::string current_;
};

class OrderedList : public util::TScanList {
 public:
  std::vector<std::string> entries;  // in the order added
  int clears = 0;
  void Clear() override {
    entries.clear();
    ++clears;
  }
  int Add(const std::string& entry) override {
    entries.push_back(entry);
    return static_cast<int>(entries.size());
  }
};

FakeFileSystem Tree() {
  FakeFileSystem fs;
  fs.folders["C:\\W"] = {{{"b.exe", 3}, {"a.dll", 0}, {"c.dll", 12}, {"d.ocx", 1}}, {"sub", "Two"}};
  fs.folders["C:\\W\\sub"] = {{{"x.dll", 5}}, {"deep"}};
  fs.folders["C:\\W\\sub\\deep"] = {{{"y.exe", 2}}, {}};
  fs.folders["C:\\W\\Two"] = {{{"z.dll", 1}}, {}};
  return fs;
}

TEST(FolderScan, FilesMaskByMaskThenSubfoldersDepthFirstWithRelativeEntries) {
  FakeFileSystem fs = Tree();
  OrderedList list;
  EXPECT_EQ(util::TScanResult::kCompleted,
            util::FindFiles(fs, "C:\\W", "C:\\W", "*.dll; *.exe ;*.ocx", 1, true, list, nullptr));
  EXPECT_EQ((std::vector<std::string>{"c.dll", "b.exe", "d.ocx", "sub\\x.dll", "sub\\deep\\y.exe", "Two\\z.dll"}),
            list.entries);
  EXPECT_EQ(1, list.clears) << "only the root's call empties the list";
}

TEST(FolderScan, TheMinimumDecidesAndANegativeOneAdmitsAll) {
  const struct {
    int min_count;
    size_t listed;
  } cases[] = {{0, 4}, {1, 3}, {3, 2}, {12, 1}, {13, 0}, {-1, 4}};
  for (const auto& c : cases) {
    FakeFileSystem fs = Tree();
    OrderedList list;
    util::FindFiles(fs, "C:\\W", "C:\\W", "*.dll;*.exe;*.ocx", c.min_count, false, list, nullptr);
    EXPECT_EQ(c.listed, list.entries.size()) << c.min_count;
  }
}

TEST(FolderScan, CancelStopsAtOnceAndAFolderThatCannotBeEnteredRaisesWithThePartialList) {
  FakeFileSystem fs = Tree();
  OrderedList list;
  int calls = 0;
  const auto result = util::FindFiles(fs, "C:\\W", "C:\\W", "*.dll;*.exe;*.ocx", 1, true, list,
                                      [&](int count, const std::string&) { return ++calls, count == 4; });
  EXPECT_EQ(util::TScanResult::kCancelled, result);
  EXPECT_EQ(4u, list.entries.size());
  EXPECT_EQ(4, calls) << "nothing is visited after the cancel";
  EXPECT_EQ((std::vector<std::string>{"C:\\W", "C:\\W\\sub"}), fs.visited);

  // While nothing is found, the look at each file may cancel too: with a
  // minimum no file reaches, the third look ends the walk.
  FakeFileSystem quiet = Tree();
  OrderedList none;
  int looks = 0;
  EXPECT_EQ(util::TScanResult::kCancelled, util::FindFiles(quiet, "C:\\W", "C:\\W", "*.dll;*.exe;*.ocx", 1000, true,
                                                           none, nullptr, [&] { return ++looks == 3; }));
  EXPECT_EQ(3, looks);
  EXPECT_EQ(std::vector<std::string>{"C:\\W"}, quiet.visited);

  FakeFileSystem locked = Tree();
  locked.folders["C:\\W\\Two"].enterable = false;
  OrderedList partial;
  try {
    util::FindFiles(locked, "C:\\W", "C:\\W", "*.dll;*.exe;*.ocx", 1, true, partial, nullptr);
    ADD_FAILURE() << "no error for a folder that cannot be entered";
  } catch (const util::TScanFolderError& e) {
    EXPECT_EQ("C:\\W\\Two", e.folder());
  }
  EXPECT_EQ(5u, partial.entries.size()) << "the entries before the error stay";
}

TEST(FolderScan, EntriesAreRelativeToTheRootWhateverItsCase) {
  EXPECT_EQ("a.dll", util::RelativeEntry("C:\\W\\", "c:\\w", "a.dll"));
  EXPECT_EQ("System32\\shell32.dll", util::RelativeEntry("C:\\Windows", "C:\\Windows\\System32", "shell32.dll"));
  EXPECT_EQ("System32\\shell32.dll", util::RelativeEntry("C:\\", "C:\\System32", "shell32.dll"));
}

TEST(FolderScan, TheWindowAnswersEveryIntervalWithTheLatestCountAndCanCancel) {
  // A clock that moves 10 ms at every look: with 50 ms between answers,
  // every fifth look answers, whether it saw an entry or a file.
  std::chrono::steady_clock::time_point clock{};
  const auto ticking = [&clock] { return clock += std::chrono::milliseconds(10); };
  std::vector<int> shown;
  FakeFileSystem fs = Tree();
  OrderedList list;
  util::TScanAnswers answers = util::AnswerScan(
      [&](int count) {
        shown.push_back(count);
        return false;
      },
      50, ticking);
  EXPECT_EQ(util::TScanResult::kCompleted, util::FindFiles(fs, "C:\\W", "C:\\W", "*.dll;*.exe;*.ocx", 1, true, list,
                                                           answers.progress, answers.looking));
  const auto looks =
      clock.time_since_epoch() / std::chrono::milliseconds(10) - 1;  // the first reading starts the clock
  ASSERT_GT(looks, 10);
  EXPECT_EQ(static_cast<size_t>(looks / 5), shown.size());
  ASSERT_FALSE(shown.empty());
  EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
  EXPECT_LE(shown.back(), static_cast<int>(list.entries.size()));

  // An answer that cancels ends the walk there.
  FakeFileSystem again = Tree();
  OrderedList partial;
  int answered = 0;
  answers = util::AnswerScan([&](int) { return ++answered == 2; }, 50, ticking);
  EXPECT_EQ(util::TScanResult::kCancelled, util::FindFiles(again, "C:\\W", "C:\\W", "*.dll;*.exe;*.ocx", 1, true,
                                                           partial, answers.progress, answers.looking));
  EXPECT_EQ(2, answered);
  EXPECT_LT(partial.entries.size(), list.entries.size());

  // A clock that stands still: no answer at all.
  const auto still = [] { return std::chrono::steady_clock::time_point{}; };
  answered = 0;
  FakeFileSystem third = Tree();
  OrderedList none;
  answers = util::AnswerScan([&](int) { return ++answered, false; }, 50, still);
  util::FindFiles(third, "C:\\W", "C:\\W", "*.dll;*.exe;*.ocx", 1, true, none, answers.progress, answers.looking);
  EXPECT_EQ(0, answered);
  EXPECT_EQ(list.entries, none.entries);
}

}  // namespace

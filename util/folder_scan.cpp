#include "util/folder_scan.h"

#include <chrono>
#include <memory>
#include <utility>

#include "util/file_utils.h"

namespace util {

namespace {

bool SameFolder(const std::string& a, const std::string& b) {
  return LowerCase(AddBackslash(a)) == LowerCase(AddBackslash(b));
}

}  // namespace

std::vector<std::string> SplitMasks(const std::string& masks) {
  std::vector<std::string> patterns;
  std::string rest = masks;
  for (;;) {
    const size_t semicolon = rest.find(';');
    patterns.push_back(Trim(rest.substr(0, semicolon)));
    if (semicolon == std::string::npos) break;
    rest = rest.substr(semicolon + 1);
  }
  return patterns;
}

std::string RelativeEntry(const std::string& root, const std::string& folder, const std::string& name) {
  if (SameFolder(folder, root)) return name;
  const std::string base = AddBackslash(root);
  return AddBackslash(folder.substr(base.size() <= folder.size() ? base.size() : folder.size())) + name;
}

TScanAnswers AnswerScan(std::function<bool(int count)> answer, int interval_ms, TScanClock now) {
  struct State {
    std::chrono::steady_clock::time_point answered;
    int count = 0;
  };
  auto state = std::make_shared<State>();
  state->answered = now();
  const auto interval = std::chrono::milliseconds(interval_ms);
  const auto answer_when_due = [answer = std::move(answer), state, interval, now = std::move(now)] {
    const auto time = now();
    if (time - state->answered < interval) return false;
    state->answered = time;
    return answer(state->count);
  };
  TScanAnswers answers;
  answers.progress = [state, answer_when_due](int count, const std::string&) {
    state->count = count;
    return answer_when_due();
  };
  answers.looking = answer_when_due;
  return answers;
}

TScanResult FindFiles(TScanFileSystem& fs, const std::string& root, const std::string& folder, const std::string& masks,
                      int min_count, bool subfolders, TScanList& list, const TScanProgress& progress,
                      const TScanLooking& looking) {
  if (!fs.EnterFolder(folder)) throw TScanFolderError(folder);
  if (SameFolder(folder, root)) list.Clear();
  if (looking && looking()) return TScanResult::kCancelled;

  for (const std::string& pattern : SplitMasks(masks)) {
    for (const std::string& name : fs.Files(pattern)) {
      if (looking && looking()) return TScanResult::kCancelled;
      const uint32_t count = fs.IconCount(name);
      if (min_count >= 0 && static_cast<uint32_t>(min_count) > count) continue;
      const std::string entry = RelativeEntry(root, folder, name);
      const int listed = list.Add(entry);
      if (progress && progress(listed, entry)) return TScanResult::kCancelled;
    }
  }
  if (!subfolders) return TScanResult::kCompleted;
  for (const std::string& sub : fs.Subfolders(folder)) {
    if (sub == "." || sub == "..") continue;
    if (FindFiles(fs, root, JoinPath(folder, sub), masks, min_count, subfolders, list, progress, looking) ==
        TScanResult::kCancelled)
      return TScanResult::kCancelled;
  }
  return TScanResult::kCompleted;
}

}  // namespace util

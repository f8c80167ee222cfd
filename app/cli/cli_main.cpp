// tamsel-cli: the window program's batch export without Windows.
//
// Workers take sources from one shared counter and each writes only its own
// source's files and its own slot of the results; the main thread reads the
// results once every worker has been joined, so the report is in the
// sources' order whatever order they finished in.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <exception>
#include <iostream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "app/cli/cli_export.h"
#include "app/cli/cli_options.h"
#include "util/file_utils.h"

namespace {

std::vector<std::string> SourcesFromStdin() {
  std::vector<std::string> sources;
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) sources.push_back(line);
  }
  return sources;
}

// Sources whose base names match an earlier source's would write the same
// files; they fail rather than race to replace each other's.
std::vector<std::string> NameClashes(const std::vector<std::string>& sources) {
  std::vector<std::string> clashes(sources.size());
  std::map<std::string, size_t> first;
  for (size_t i = 0; i < sources.size(); ++i) {
    const auto [at, added] = first.emplace(util::BaseNameWithoutExt(sources[i]), i);
    if (!added) clashes[i] = "its files would have the names of those of " + sources[at->second];
  }
  return clashes;
}

int WorkerCount(int asked, size_t sources) {
  size_t n = asked > 0 ? static_cast<size_t>(asked) : std::thread::hardware_concurrency();
  if (n == 0) n = 1;
  return static_cast<int>(std::min(n, std::max<size_t>(sources, 1)));
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  app::CliOptions options;
  std::string error;
  switch (app::ParseCliArguments(args, &options, &error)) {
    case app::CliParse::kHelp: std::fputs(app::CliUsageText(), stdout); return 0;
    case app::CliParse::kUsageError:
      std::fprintf(stderr, "tamsel-cli: %s\nTry 'tamsel-cli --help'.\n", error.c_str());
      return 2;
    case app::CliParse::kRun: break;
  }
  const std::vector<std::string> sources = options.sources_from_stdin ? SourcesFromStdin() : options.sources;
  const std::string count_problem = app::SourceCountProblem(options, sources.size());
  if (!count_problem.empty()) {
    std::fprintf(stderr, "tamsel-cli: %s\n", count_problem.c_str());
    return 2;
  }
  const bool target_is_file = app::TargetIsIconFile(options, sources.size());

  const std::vector<std::string> clashes = NameClashes(sources);
  std::vector<app::TSourceExport> results(sources.size());
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i = next++; i < sources.size(); i = next++) {
      if (!clashes[i].empty()) {
        results[i].ok = false;
        results[i].reason = clashes[i];
        continue;
      }
      try {
        results[i] = app::ExportSource(sources[i], options, target_is_file);
      } catch (const std::exception& e) {
        // Memory that cannot be had fails this source, not the others.
        results[i].ok = false;
        results[i].reason = e.what();
      }
    }
  };
  std::vector<std::thread> workers;
  const int count = WorkerCount(options.jobs, sources.size());
  for (int i = 1; i < count; ++i) workers.emplace_back(work);
  work();
  for (std::thread& worker : workers) worker.join();

  int icons = 0;
  int single_image_icons = 0;
  int failed = 0;
  for (size_t i = 0; i < sources.size(); ++i) {
    icons += results[i].icons;
    single_image_icons += results[i].single_image_icons;
    if (results[i].ok) continue;
    ++failed;
    std::fprintf(stderr, "tamsel-cli: %s: %s\n", sources[i].c_str(), results[i].reason.c_str());
  }
  std::printf("Icons exported: %d\n", icons);
  if (single_image_icons > 0)
    std::printf("Saved as the shell's single image, their groups not being whole: %d\n", single_image_icons);
  return failed > 0 ? 1 : 0;
}

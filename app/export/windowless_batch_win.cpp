#include "app/export/windowless_batch_win.h"

#include "app/export/command_line.h"
#include "app/export/export_engine_win.h"
#include "app/export/export_request.h"
#include "app/globals.h"
#include "app/main_settings_win.h"
#include "gui/application.h"
#include "util/file_utils.h"
#include "util/file_utils_win.h"
#include "util/system_paths_win.h"

namespace app {

TWindowlessBatch RunWindowlessBatch(const std::vector<std::string>& args) {
  TWindowlessBatch result;
  if (args.size() < 2) return result;
  const ParsedCommandLine cmd = ParseCommandLine(std::vector<std::string>(args.begin() + 1, args.end()));
  if (cmd.plain.size() < 2) return result;
  const std::string& source = cmd.plain[0];
  const std::string& target = cmd.plain[1];
  // A missing source or an empty target is the window's to report.
  if (!util::FileExists(util::NativePath(source)) || util::Trim(target).empty()) return result;
  const BatchPlan plan = PlanBatch(cmd, target);
  if (!RunsWithoutWindow(cmd, plan)) return result;

  try {
    LoadExportSettings();
    BatchModeScope batch_mode;
    CurrentFileName = source;
    TExportWork work;
    int count = 0;
    ExportIcons(work, count, BatchExportRequest(cmd, plan, target, source), 0);
  } catch (...) {
    result.failure = std::current_exception();
    return result;
  }
  result.finished = true;
  // The files are written; a registry that refuses the record is reported
  // by the default error display, as when the window saves on closing.
  gui::RunGuarded([&] { RecordWindowlessStart(source); });
  return result;
}

}  // namespace app

// RunCommandLine: the batch half of the command line. The parsing rules live
// in command_line.cpp; this file only acts on their result.
#include <windows.h>

#include <exception>
#include <utility>

#include "app/export/export_engine_win.h"
#include "app/export/export_request.h"
#include "app/globals.h"
#include "app/lng_eng.h"
#include "app/lng_eng_win.h"
#include "app/main_window_win.h"
#include "gui/application.h"
#include "gui/cursor.h"
#include "util/file_utils.h"
#include "util/file_utils_win.h"
#include "util/system_paths_win.h"

namespace app {

namespace {

// The arguments after the program's path.
std::vector<std::string> CommandArguments(const std::vector<std::string>& args) {
  return std::vector<std::string>(args.begin() + (args.empty() ? 0 : 1), args.end());
}

}  // namespace

void TForm1::ShowCommandLineError(const std::wstring& detail) {
  gui::Application().MessageBox(Lang(sCommandLineError) + L"\r\n" + detail, MB_OK | MB_ICONERROR);
}

void TForm1::Start(int start_command) {
  start_show_ = InitialShowCommand(start_command);
  if (!ParseCommandLine(CommandArguments(args_)).export_requested) {
    Show(start_show_);
    return;
  }
  // The export reads the grid's layout at the size the window would have.
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  GetWindowPlacement(Handle(), &placement);
  placement.showCmd = start_show_ == SW_SHOWMAXIMIZED ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
  hidden_placement_ = placement;
  if (start_show_ == SW_SHOWMAXIMIZED) SizeAsMaximized();
}

void TForm1::ShowAfterBatch() {
  if (!hidden_placement_) return;
  WINDOWPLACEMENT placement = *hidden_placement_;
  hidden_placement_.reset();
  placement.showCmd = SW_HIDE;
  SetWindowPlacement(Handle(), &placement);
  Show(start_show_);
}

void TForm1::RunCommandLine() {
  const std::vector<std::string> args = CommandArguments(args_);
  if (args.empty()) {
    if (RunCount == 1) ShowHelp("");  // the very first start shows the help's contents
    return;
  }

  const ParsedCommandLine cmd = ParseCommandLine(args);
  BatchModeScope batch_mode;

  std::string source;
  std::string target;
  if (cmd.export_requested) {
    if (!cmd.plain.empty()) source = cmd.plain[0];
    if (cmd.plain.size() > 1) target = cmd.plain[1];
  } else {
    source = JoinedSource(args);
  }

  if (!util::FileExists(util::NativePath(source))) {
    ShowAfterBatch();
    ShowCommandLineError(LangFormat(sFileMissing, source));
    return;
  }
  if (!cmd.export_requested) {
    OpenIconFile(source);
    return;
  }
  if (util::Trim(target).empty()) {
    OpenIconFile(source);
    ShowAfterBatch();
    ShowCommandLineError(Lang(sTargetMissing));
    return;
  }

  // An error inside the export ends the batch where it happened and is
  // shown by the default error display, over the window: no count, no
  // closing.
  gui::RunGuarded([&] {
    try {
      if (batch_failure_) std::rethrow_exception(std::exchange(batch_failure_, nullptr));
      RunBatch(cmd, target);
    } catch (...) {
      OpenIconFile(source);
      ShowAfterBatch();
      throw;
    }
  });
}

// The export runs before the window shows and extracts each icon once, as
// it writes it: only an export that reads the grid loads it, and the window
// shows the file once the export is done.
void TForm1::RunBatch(const ParsedCommandLine& cmd, const std::string& target) {
  int count = 0;
  int single_image_icons = 0;
  const std::string& source = cmd.plain[0];
  const BatchPlan plan = PlanBatch(cmd, target);
  MakeCurrentFile(source);
  if (plan.needs_grid) LoadGrid();
  {
    gui::HourglassCursor hourglass;
    switch (plan.action) {
      case BatchAction::kSingleIcon:
        if (plan.all_sizes) {
          if (!SaveSingleIconGroup(Grid(), plan.icon_index - 1, target, plan.export_type, cmd.gray_scale))
            single_image_icons = 1;
        } else {
          SaveSingleIcon(Grid(), plan.icon_index - 1, target, cmd.gray_scale, plan.export_type);
        }
        count = 1;
        break;
      case BatchAction::kCompositeImage: SaveCompositeImage(Grid(), target, plan.export_type, cmd.gray_scale); break;
      case BatchAction::kExportIcons: {
        TExportWork work;
        ExportIcons(work, count, BatchExportRequest(cmd, plan, target, source), 0);
        single_image_icons = work.SingleImageIcons;
        break;
      }
    }
    if (plan.open_after) OpenExportedFile(Handle(), target, plan.dest_word);
  }
  if (cmd.close_when_done) {
    Close();
    return;
  }
  // The source is the current file already; the grid shows it now.
  if (!plan.needs_grid) LoadGrid();
  ShowLoadedGrid();
  ShowAfterBatch();
  if (plan.show_count) {
    gui::Application().MessageBox(CountMessage(LangFormat(sIconsExported, count), single_image_icons),
                                  MB_OK | MB_ICONINFORMATION);
  }
}

}  // namespace app

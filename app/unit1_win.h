// TForm1, the program's main window.
//
// It owns every control on it and carries the commands. The command line is
// not read while the window is created: FormCreate posts itself message 4025
// and RunCommandLine handles it once the window is shown and the message
// loop runs. Files are split by concern: creation and the open routine here,
// the command line in command_line_win.cpp, the exports in
// export_engine_win.cpp.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "controls/icon_set_win.h"
#include "controls/zu_scroll_box_win.h"
#include "gui/form.h"

namespace app {

constexpr UINT WM_RUNCOMMANDLINE = 4025;

class TForm1 : public gui::TForm {
 public:
  // args: the command line split into arguments, argument 0 the program's path.
  explicit TForm1(std::vector<std::string> args);

  bool Create();

  // Makes path the current file, loads its icons and updates the window.
  void OpenIconFile(const std::string& path);

  const controls::TIconSet& IconSet() const { return ScrollBox.ImageBox().IconSet(); }
  controls::TZuImageBox& Grid() { return ScrollBox.ImageBox(); }
  const controls::TZuImageBox& Grid() const { return ScrollBox.ImageBox(); }

  // The batch half of the command line (message 4025).
  void RunCommandLine();

  // Export engine; every way of saving icons ends in one of these.
  void SaveSingleIcon(int position, const std::string& file_name, bool gray_scale, TExportType type);
  void SaveCompositeImage(const std::string& file_name, TExportType type, bool gray_scale);
  void ExportIcons(int& count, bool gray_scale, bool draw_border, bool include_numbers, int memo_type,
                   TExportType type, const std::string& field_name, const std::string& extension,
                   const std::string& target, const std::string& dest_folder, const std::string& source);
  void OpenExported(const std::string& file_name, const std::string& hint);

 protected:
  void FormCreate() override;
  bool FormCloseQuery() override;
  void FormDestroy() override;
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void RunBatch(const ParsedCommandLine& cmd, const std::string& target);
  void ShowCommandLineError(const std::wstring& detail);

  void CreateControls();
  void LayoutControls();
  void SetStatusText(int panel, const std::wstring& text) const;
  void ScrollBoxSelectItem(int index);
  void ScrollBoxCustomPaint(controls::TZuImageBox& sender, HDC canvas) const;
  void ScrollBoxDropFiles(const std::vector<std::string>& files);

  std::vector<std::string> args_;
  std::string program_path_;
  std::string save_dialog_folder_;
  std::string help_file_;
  controls::TZuScrollBox ScrollBox;
  HWND StatusBar = nullptr;
};

}  // namespace app

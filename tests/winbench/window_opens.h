// Opening a file in a running window, to its painted grid: tamsel.exe's
// main window against bare_window.exe (an ExtractIconExA loop over every
// icon and a window that paints them), for the open benchmarks.
//
// Both programs run side by side for the whole measurement, started once,
// and are asked in turn to open a file, alternately two copies of the same
// library (so that every open is of a file other than the one shown):
// tamsel.exe through its recent-files command (the second entry of the
// list is always the other copy; the command calls the same open routine
// as the Open dialog), bare_window.exe through a WM_COPYDATA with the path.
// A round is timed from sending the request until the program has painted
// completely (Program::WaitUntilPainted, the same test for both). After
// every open, outside the timing, tamsel.exe's caption must name the file
// asked for and its status bar the icon count the shell gives, and the bare
// window must answer that count. Before the next request each program must
// have been quiet for a while, so that nothing it still does after its
// paint runs while the other is measured.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/mru_menu_win.h"
#include "bench_support.h"
#include "win/window_driver.h"

namespace bench {

struct OpenTimes {
  std::string failure;  // empty when every open was checked and timed
  int icons = 0;
  double tamsel_ms = 0, bare_ms = 0;  // medians
};

inline OpenTimes TimeOpens(const std::string& source, int rounds) {
  OpenTimes result;
  const std::string folder = FreshTempFolder("tamsel-open-bench");
  std::string stem = FileName(source);
  stem = stem.substr(0, stem.find_last_of('.'));
  const std::string copies[2] = {folder + "\\" + stem + "_1.dll", folder + "\\" + stem + "_2.dll"};
  for (const std::string& copy : copies) CopyFileA(source.c_str(), copy.c_str(), FALSE);
  result.icons = static_cast<int>(ExtractIconExA(copies[0].c_str(), -1, nullptr, nullptr, 0));
  const std::wstring count_text = L"1 : " + std::to_wstring(result.icons);

  // tamsel.exe, its recent files the second copy and then the first.
  ResetTamselSettings();
  {
    Program once(TamselExe(), "\"" + copies[1] + "\"");
    once.WaitUntilPainted(120000);
  }
  Program tamsel(TamselExe(), "\"" + copies[0] + "\"");
  Program bare(Here() + "bare_window.exe", BareWindowArguments(""));
  tamsel.WaitUntilPainted(120000);
  bare.WaitUntilPainted(120000);
  tamsel.WaitUntilQuiet(200);
  HWND main = tamsel.Window(L"TForm1"), bare_main = bare.Window(L"BareWindow");
  HWND status = main ? FindWindowExW(main, nullptr, L"msctls_statusbar32", nullptr) : nullptr;
  if (!main || !bare_main || !status) {
    result.failure = "a program did not show its window";
    return result;
  }

  std::vector<double> ours, theirs;
  // Round 0 warms both up and is not counted.
  for (int round = 0; round <= rounds && result.failure.empty(); ++round) {
    const std::string& file = copies[(round + 1) % 2];
    for (int side = 0; side < 2; ++side) {
      const bool tamsel_side = (round + side) % 2 == 0;  // alternate which goes first
      const Program& program = tamsel_side ? tamsel : bare;
      LRESULT answer = 0;
      COPYDATASTRUCT data{0, static_cast<DWORD>(file.size()), const_cast<char*>(file.data())};
      const double start = Now();
      const bool sent = tamsel_side
                            ? Program::Send(main, WM_COMMAND, app::kRecentFileCommand + 1, 0)
                            : Program::Send(bare_main, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), &answer);
      const double painted = sent ? program.WaitUntilPainted(600000) : 0;
      if (painted <= 0) {
        result.failure = tamsel_side ? "tamsel.exe did not paint after the open" : "the bare window did not paint";
        break;
      }
      const std::string name = FileName(file);
      const std::wstring caption = testing_support::WindowText(main);
      const std::wstring expected = L"Tamsel - " + std::wstring(name.begin(), name.end());
      if (tamsel_side && (caption != expected || testing_support::StatusBarText(status, 1) != count_text)) {
        result.failure = "tamsel.exe did not show the file opened with its icons";
        std::printf("  tamsel.exe shows \"%ls\" and \"%ls\", not \"%ls\" and \"%ls\"\n", caption.c_str(),
                    testing_support::StatusBarText(status, 1).c_str(), expected.c_str(), count_text.c_str());
        break;
      }
      if (!tamsel_side && answer != result.icons) {
        result.failure = "the bare window did not extract every icon";
        break;
      }
      if (round > 0) (tamsel_side ? ours : theirs).push_back((painted - start) * 1e3);
      program.WaitUntilQuiet(200);
    }
  }
  tamsel.Close();
  bare.Close();
  for (const std::string& copy : copies) DeleteFileA(copy.c_str());
  RemoveDirectoryA(folder.c_str());
  result.tamsel_ms = Median(ours);
  result.bare_ms = Median(theirs);
  return result;
}

}  // namespace bench

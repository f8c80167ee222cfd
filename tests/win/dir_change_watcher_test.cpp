// The folder watcher on real folders: subfolder changes reach the window
// within a second, files do not, a vanished folder costs no CPU, and many
// watchers leave no thread behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/dir_change_watcher_win.h"
#include "gui/thread.h"
#include "win/win_test_support.h"

namespace {

// A message-only window that counts message 1024 and remembers its lParam.
class Receiver {
 public:
  Receiver() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TamselWatchReceiver";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~Receiver() { DestroyWindow(hwnd_); }
  HWND hwnd() const { return hwnd_; }

  // Handles messages for up to ms milliseconds or until count reaches n.
  int WaitFor(int n, DWORD ms) {
    const DWORD start = GetTickCount();
    MSG msg;
    while (count < n && GetTickCount() - start < ms) {
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      Sleep(5);
    }
    return count;
  }

  int count = 0;
  LPARAM node = 0;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<Receiver*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == controls::kFolderChangedMessage && self) {
      ++self->count;
      self->node = lp;
      return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  HWND hwnd_;
};

double ProcessCpuMs() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto ms = [](const FILETIME& t) {
    return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

TEST(DirChangeWatcher, SubfolderChangesArriveAndFilesDoNot) {
  testing_support::TempDir dir;
  Receiver receiver;
  controls::TThDirChange watcher(dir.path() + "\\", receiver.hwnd(), 77);
  EXPECT_EQ(dir.path(), watcher.Folder());
  ASSERT_TRUE(watcher.Start());
  Sleep(100);

  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("plain.txt"), "x", 1));
  EXPECT_EQ(0, receiver.WaitFor(1, 300)) << "a plain file changes nothing";

  ASSERT_TRUE(CreateDirectoryA(dir.file("sub").c_str(), nullptr));
  EXPECT_EQ(1, receiver.WaitFor(1, 1000)) << "created";
  EXPECT_EQ(77, receiver.node);
  receiver.WaitFor(100, 100);  // a burst may come as more than one signal
  const int after_create = receiver.count;
  ASSERT_TRUE(MoveFileA(dir.file("sub").c_str(), dir.file("renamed").c_str()));
  EXPECT_GT(receiver.WaitFor(after_create + 1, 1000), after_create) << "renamed";
  receiver.WaitFor(100, 100);
  const int after_rename = receiver.count;
  ASSERT_TRUE(RemoveDirectoryA(dir.file("renamed").c_str()));
  EXPECT_GT(receiver.WaitFor(after_rename + 1, 1000), after_rename) << "removed";
}

TEST(DirChangeWatcher, AWatcherOfAMissingFolderWaitsWithoutSpinning) {
  Receiver receiver;
  std::vector<std::unique_ptr<controls::TThDirChange>> watchers;
  for (int i = 0; i < 10; ++i) {
    watchers.push_back(std::make_unique<controls::TThDirChange>("Z:\\no\\such\\folder", receiver.hwnd(), i));
    ASSERT_TRUE(watchers.back()->Start());
  }
  const double before = ProcessCpuMs();
  Sleep(1000);
  EXPECT_LT(ProcessCpuMs() - before, 300.0) << "ten watchers of a missing folder used the CPU for a second";
  EXPECT_TRUE(watchers.front()->Running());
}

// An idle watcher sleeps until its folder changes or its handle is due for
// renewal (twice a second), instead of looking every few milliseconds.
TEST(DirChangeWatcher, AnIdleWatcherSleeps) {
  testing_support::TempDir dir;
  Receiver receiver;
  controls::TThDirChange watcher(dir.path(), receiver.hwnd(), 1);
  ASSERT_TRUE(watcher.Start());
  Sleep(100);
  const long before = controls::TThDirChange::Wakeups();
  Sleep(1000);
  EXPECT_LE(controls::TThDirChange::Wakeups() - before, 3) << "wake-ups in a quiet second";
}

TEST(DirChangeWatcher, TwoHundredWatchersStopWithoutLeavingAThread) {
  testing_support::TempDir dir;
  Receiver receiver;
  {
    std::vector<std::unique_ptr<controls::TThDirChange>> watchers;
    for (int i = 0; i < 200; ++i) {
      const std::string folder = dir.file("f" + std::to_string(i));
      ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
      watchers.push_back(std::make_unique<controls::TThDirChange>(folder, receiver.hwnd(), i));
      ASSERT_TRUE(watchers.back()->Start());
    }
    EXPECT_EQ(200, gui::TThread::LiveCount());
    for (auto& w : watchers) w->Terminate();  // all at once; the objects join as they go
  }
  EXPECT_EQ(0, gui::TThread::LiveCount());
  for (int i = 0; i < 200; ++i) EXPECT_TRUE(RemoveDirectoryA(dir.file("f" + std::to_string(i)).c_str())) << i;
}

}  // namespace

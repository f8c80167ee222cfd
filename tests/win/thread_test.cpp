// Worker threads: stop and join, none left behind, and a call into the
// window thread that a join does not deadlock.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <memory>
#include <vector>

#include "gui/thread.h"

namespace {

// The threads of this process, counted by the system.
int ProcessThreads() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  int n = 0;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    n += entry.th32OwnerProcessID == GetCurrentProcessId();
  }
  CloseHandle(snapshot);
  return n;
}

TEST(Thread, WorkersStopWhenAskedAndNoneOutlivesItsOwner) {
  const int before = ProcessThreads();
  {
    std::vector<std::unique_ptr<gui::TThread>> workers;
    for (int i = 0; i < 50; ++i) {
      workers.push_back(std::make_unique<gui::TThread>());
      ASSERT_TRUE(workers.back()->Start([](gui::TThread& self) { WaitForSingleObject(self.StopEvent(), INFINITE); }));
    }
    EXPECT_EQ(50, gui::TThread::LiveCount());
    workers.front()->RequestStop();
    EXPECT_TRUE(workers.front()->Join(2000));
    EXPECT_FALSE(workers.front()->Running());
    EXPECT_EQ(49, gui::TThread::LiveCount());
  }  // the others are stopped and joined by their owners
  EXPECT_EQ(0, gui::TThread::LiveCount());
  for (int i = 0; i < 100 && ProcessThreads() > before; ++i) Sleep(10);
  EXPECT_EQ(before, ProcessThreads());
}

TEST(Thread, SynchronizeRunsOnTheWindowThreadAndAJoinKeepsServingIt) {
  gui::InstallSynchronizeTarget();
  DWORD ran_on = 0;
  gui::TThread worker;
  ASSERT_TRUE(worker.Start([&](gui::TThread&) {
    Sleep(50);  // the window thread is inside Join by now
    gui::TThread::Synchronize([&] { ran_on = GetCurrentThreadId(); });
  }));
  EXPECT_TRUE(worker.Join(5000)) << "the join served the worker's call instead of waiting for it forever";
  EXPECT_EQ(GetCurrentThreadId(), ran_on);
}

}  // namespace

// Worker threads that the window thread owns.
//
// A TThread runs one body on a thread of its own. The owner asks it to stop
// (the body sees StopRequested, or waits on StopEvent beside its own
// handles) and joins it with a bound; the destructor does both, so no
// thread outlives its owner. A worker never touches a window's data: it
// posts to the window thread (Post) or, when it must wait for the answer,
// calls into it (Synchronize). Joining keeps handling calls sent to the
// window thread, so a worker inside Synchronize cannot deadlock a join.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>

#include "util/handles_win.h"

namespace gui {

class TThread {
 public:
  using Body = std::function<void(TThread& self)>;

  TThread();
  // Asks the thread to stop and waits for it up to kJoinBound.
  ~TThread();
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  static constexpr DWORD kJoinBound = 5000;

  // Starts the body; false when the system refused (the body never runs).
  // stack_reserve: the address space kept for the thread's stack (0: the
  // program's default), for many threads that need little.
  bool Start(Body body, SIZE_T stack_reserve = 0);
  bool Running() const;

  void RequestStop();
  bool StopRequested() const { return stop_requested_.load(); }
  // Signalled once a stop was requested.
  HANDLE StopEvent() const { return stop_event_.get(); }

  // Waits for the thread to end, handling calls sent to this thread
  // meanwhile; true when it ended within timeout_ms.
  bool Join(DWORD timeout_ms);

  // Runs fn on the window thread and waits until it returned. Errors it
  // raises go to the application's error display there.
  static void Synchronize(const std::function<void()>& fn);
  // Posts a message to a window of the window thread.
  static bool Post(HWND window, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
    return PostMessageW(window, msg, wp, lp) != FALSE;
  }

  // Threads of this kind running now in the process (for tests).
  static long LiveCount() { return live_.load(); }

 private:
  static DWORD WINAPI Entry(void* self);

  Body body_;
  util::UniqueKernelHandle thread_;
  util::UniqueKernelHandle stop_event_;
  std::atomic<bool> stop_requested_{false};
  static inline std::atomic<long> live_{0};
};

// Makes the window thread's target for Synchronize; the application calls
// it once, on the window thread, at start.
void InstallSynchronizeTarget();

}  // namespace gui

#include "gui/thread.h"

#include "gui/application.h"

namespace gui {

namespace {

const wchar_t kSyncClass[] = L"TamselSynchronize";
constexpr UINT kSyncMessage = WM_APP + 0x51;
HWND g_sync_window = nullptr;

LRESULT CALLBACK SyncProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kSyncMessage) {
    const auto* fn = reinterpret_cast<const std::function<void()>*>(lp);
    RunGuarded([&] { (*fn)(); });
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

void InstallSynchronizeTarget() {
  if (g_sync_window) return;
  HINSTANCE instance = Application().ModuleInstance();
  WNDCLASSW wc{};
  wc.lpfnWndProc = &SyncProc;
  wc.hInstance = instance;
  wc.lpszClassName = kSyncClass;
  RegisterClassW(&wc);
  g_sync_window = CreateWindowExW(0, kSyncClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
}

TThread::TThread() : stop_event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

TThread::~TThread() {
  RequestStop();
  Join(kJoinBound);
}

bool TThread::Start(Body body, SIZE_T stack_reserve) {
  if (Running() || !stop_event_) return false;
  body_ = std::move(body);
  stop_requested_ = false;
  ResetEvent(stop_event_.get());
  ++live_;
  thread_.reset(CreateThread(nullptr, stack_reserve, &TThread::Entry, this,
                             stack_reserve ? STACK_SIZE_PARAM_IS_A_RESERVATION : 0, nullptr));
  if (!thread_) --live_;
  return static_cast<bool>(thread_);
}

bool TThread::Running() const { return thread_ && WaitForSingleObject(thread_.get(), 0) == WAIT_TIMEOUT; }

void TThread::RequestStop() {
  stop_requested_ = true;
  if (stop_event_) SetEvent(stop_event_.get());
}

bool TThread::Join(DWORD timeout_ms) {
  if (!thread_) return true;
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD waited = GetTickCount() - start;
    if (waited >= timeout_ms && WaitForSingleObject(thread_.get(), 0) == WAIT_TIMEOUT) return false;
    HANDLE handle = thread_.get();
    const DWORD result =
        MsgWaitForMultipleObjects(1, &handle, FALSE, timeout_ms > waited ? timeout_ms - waited : 0, QS_SENDMESSAGE);
    if (result == WAIT_OBJECT_0) {
      thread_.reset();
      return true;
    }
    if (result == WAIT_OBJECT_0 + 1) {
      // A call sent to this thread (a worker's Synchronize): handle it.
      MSG msg;
      PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
      continue;
    }
    if (result == WAIT_TIMEOUT) return false;
    return false;
  }
}

void TThread::Synchronize(const std::function<void()>& fn) {
  if (!g_sync_window) return;
  SendMessageW(g_sync_window, kSyncMessage, 0, reinterpret_cast<LPARAM>(&fn));
}

DWORD WINAPI TThread::Entry(void* param) {
  auto* self = static_cast<TThread*>(param);
  try {
    self->body_(*self);
  } catch (...) {
    // A worker's error ends the worker; it has no window to show it in.
  }
  --live_;
  return 0;
}

}  // namespace gui

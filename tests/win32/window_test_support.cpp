#include "win32/window_test_support.h"

#include "ui/main_window_layout.h"

namespace {

// Ends RunMessageLoop when the window procedure gets it.
constexpr UINT kEndLoop = WM_APP + 0x200;
// Hands a modal dialog to the test's answer; wParam is the dialog.
constexpr UINT kAnswerModal = WM_APP + 0x201;

std::vector<RecordedMessage> recorded;
std::function<void(HWND)> modalAnswer;
HHOOK modalHook = nullptr;

// A dialog owned by the main window is being activated: its modal loop runs from now on,
// and the answer waits in the queue until the dialog is ready for input.
LRESULT CALLBACK WatchForModal(int code, WPARAM wParam, LPARAM lParam) {
  HWND main = TestMainWindow();
  if (code == HCBT_ACTIVATE && main != nullptr &&
      GetWindow(reinterpret_cast<HWND>(wParam), GW_OWNER) == main) {
    PostMessageA(main, kAnswerModal, wParam, 0);
    UnhookWindowsHookEx(modalHook);
    modalHook = nullptr;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void StopWatching() {
  if (modalHook != nullptr) UnhookWindowsHookEx(modalHook);
  modalHook = nullptr;
  modalAnswer = nullptr;
}

}  // namespace

std::intptr_t RecordingProc(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  recorded.push_back({message, wParam, GetCurrentThreadId()});
  if (message == kAnswerModal) {
    auto answer = std::move(modalAnswer);
    modalAnswer = nullptr;
    if (answer) answer(reinterpret_cast<HWND>(wParam));
    return 0;
  }
  if (message == kEndLoop) {
    PostQuit(0);
    return 0;
  }
  if (message == kMsgClose) return 0;
  return DefaultWindowProc(message, wParam, lParam);
}

std::vector<RecordedMessage>& Recorded() { return recorded; }

bool WasSent(std::uint32_t message, std::uintptr_t wParam) {
  for (const RecordedMessage& m : recorded) {
    if (m.Message == message && m.WParam == wParam) return true;
  }
  return false;
}

void CreateTestWindow() {
  StopWatching();
  CreateMainWindow(" Tessik", 80, 25, 500, 425, RecordingProc);
  for (const ControlRow& row : kControlTable) CreateControl(row);
  AddSystemMenuItem("&About Tessik", kAboutItem);
  ListBoxSetTabStops(kResultListBox, kResultTabStops, 3);
  SetTypingLimit(kSearchInEdit, kSearchInLimit);
  SetTypingLimit(kSearchForEdit, kSearchForLimit);
  ShowMainWindow();
  DeliverPending();
  recorded.clear();
}

void DestroyTestWindow() {
  DestroyMainWindow();
  DeliverPending();
  StopWatching();
}

HWND TestMainWindow() { return FindWindowA("TsWndClass", nullptr); }

HWND TestControl(int id) { return GetDlgItem(TestMainWindow(), id); }

void WhenModal(std::function<void(HWND)> answer) {
  StopWatching();
  modalAnswer = std::move(answer);
  modalHook = SetWindowsHookExA(WH_CBT, WatchForModal, nullptr, GetCurrentThreadId());
}

void DeliverPending() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void RunLoopThroughPosted() {
  PostMessageA(TestMainWindow(), kEndLoop, 0, 0);
  RunMessageLoop();
}

void EndLoopFromWorker() { SendMainWindowMessage(kEndLoop, 0, 0); }

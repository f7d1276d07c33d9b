#include "win32/window_test_support.h"

#include "ui/main_window_layout.h"

namespace {

// Ends RunMessageLoop when the window procedure gets it.
constexpr UINT kEndLoop = WM_APP + 0x200;

std::vector<RecordedMessage> recorded;
std::function<void(HWND)> modalAnswer;

}  // namespace

std::intptr_t RecordingProc(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  recorded.push_back({message, wParam, GetCurrentThreadId()});
  if (message == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX && modalAnswer) {
    auto answer = std::move(modalAnswer);
    modalAnswer = nullptr;
    answer(reinterpret_cast<HWND>(lParam));
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
  modalAnswer = nullptr;
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
  modalAnswer = nullptr;
}

HWND TestMainWindow() { return FindWindowA("TsWndClass", nullptr); }

HWND TestControl(int id) { return GetDlgItem(TestMainWindow(), id); }

void WhenModal(std::function<void(HWND)> answer) { modalAnswer = std::move(answer); }

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

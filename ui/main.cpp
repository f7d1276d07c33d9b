// The program's entry point: the letter table first, then the window, then the loop.
#include "engine/search_state.h"
#include "phonetic/phonetic_key.h"
#include "platform/window.h"
#include "ui/main_window_layout.h"
#include "ui/window_search.h"

int main() {
  InitialisePhonetics();
  if (SetUpMainWindow() != 0) return 0;
  int exitCode = RunMessageLoop();
  ClearSearchLists(WindowSearchState());
  return exitCode;
}

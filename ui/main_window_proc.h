// The window procedure of the main window: every message and command of the window.
// Window thread only.
#pragma once

#include <cstdint>

std::intptr_t MainWindowProc(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

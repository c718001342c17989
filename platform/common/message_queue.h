// The process's one message queue: messages posted by the program, input
// from the display and the host, and the quit request. Main thread only.
#pragma once

#include "win32.h"

namespace sgwin {

// Queues keyboard or close input; it is retrieved after posted messages and
// after a pending quit, as input is on Windows.
void PostInputMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// True while a message of this kind for this window (any window when null)
// waits in the queue.
bool IsMessageWaiting(HWND window, UINT message);

}  // namespace sgwin

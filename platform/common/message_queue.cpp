// The message queue. Retrieval order follows Windows: posted messages first,
// then the quit request, then input; the quit request only once no posted
// message is left.
#include "common/message_queue.h"

#include <deque>

#include "common/backend.h"
#include "common/window_table.h"

namespace sgwin {

namespace {

std::deque<MSG> g_posted;
std::deque<MSG> g_input;
bool g_quitPending = false;
int g_quitCode = 0;

MSG MakeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  MSG msg = {};
  msg.hwnd = window;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  msg.time = GetTickCount();
  return msg;
}

bool InRange(UINT message, UINT first, UINT last) {
  if (first == 0 && last == 0) return true;
  return message >= first && message <= last;
}

// A window filter of -1 asks for messages posted to no window only.
const HWND kThreadMessagesOnly = reinterpret_cast<HWND>(static_cast<intptr_t>(-1));

bool Matches(const MSG& msg, HWND window, UINT first, UINT last) {
  bool windowMatches = !window || msg.hwnd == window || (window == kThreadMessagesOnly && !msg.hwnd);
  return windowMatches && InRange(msg.message, first, last);
}

bool TakeFrom(std::deque<MSG>& queue, MSG* out, HWND window, UINT first, UINT last, bool remove) {
  for (auto it = queue.begin(); it != queue.end(); ++it) {
    if (!Matches(*it, window, first, last)) continue;
    *out = *it;
    if (remove) queue.erase(it);
    return true;
  }
  return false;
}

// As on Windows, a filter on one window never sees the quit request.
bool TakeQuit(MSG* out, HWND window, UINT first, UINT last, bool remove) {
  bool threadMessages = !window || window == kThreadMessagesOnly;
  if (!g_quitPending || !threadMessages || !InRange(WM_QUIT, first, last)) return false;
  *out = MakeMessage(NULL, WM_QUIT, static_cast<WPARAM>(g_quitCode), 0);
  if (remove) g_quitPending = false;
  return true;
}

}  // namespace

void PostInputMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  g_input.push_back(MakeMessage(window, message, wParam, lParam));
}

bool IsMessageWaiting(HWND window, UINT message) {
  for (const std::deque<MSG>* queue : {&g_posted, &g_input}) {
    for (const MSG& msg : *queue) {
      if ((!window || msg.hwnd == window) && msg.message == message) return true;
    }
  }
  return false;
}

}  // namespace sgwin

BOOL WINAPI PeekMessageA(MSG* lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
  if (!lpMsg) return FALSE;
  sgwin::backend::PumpEvents();
  bool remove = (wRemoveMsg & PM_REMOVE) != 0;
  return sgwin::TakeFrom(sgwin::g_posted, lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, remove) ||
         sgwin::TakeQuit(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, remove) ||
         sgwin::TakeFrom(sgwin::g_input, lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, remove);
}

BOOL WINAPI TranslateMessage(const MSG*) { return FALSE; }

LRESULT WINAPI DispatchMessageA(const MSG* lpMsg) {
  if (!lpMsg || lpMsg->message == WM_QUIT) return 0;
  return SendMessageA(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

void WINAPI PostQuitMessage(int nExitCode) {
  sgwin::g_quitPending = true;
  sgwin::g_quitCode = nExitCode;
}

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (hWnd && !sgwin::LookUpWindow(hWnd)) return FALSE;
  sgwin::g_posted.push_back(sgwin::MakeMessage(hWnd, Msg, wParam, lParam));
  return TRUE;
}

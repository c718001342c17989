// Display modes and the cursor: the Win32 rules; whether the screen offers a
// mode, and showing it, are the back end's.
#include "common/backend.h"

namespace {

int g_cursorCounter = 0;  // Windows starts at 0 where a mouse is installed

bool BitsOffered(const DEVMODEA& mode) {
  if (!(mode.dmFields & DM_BITSPERPEL)) return true;
  DWORD bits = mode.dmBitsPerPel;
  return bits == 16 || bits == 24 || bits == 32;
}

}  // namespace

namespace sgwin {

int CursorCounter() { return g_cursorCounter; }

bool PlausibleMode(const DEVMODEA& mode, int width, int height) {
  return width > 0 && height > 0 && BitsOffered(mode);
}

}  // namespace sgwin

LONG WINAPI ChangeDisplaySettingsA(DEVMODEA* lpDevMode, DWORD) {
  namespace backend = sgwin::backend;
  if (!lpDevMode) {
    backend::OnDisplayMode(false, 0, 0);
    return DISP_CHANGE_SUCCESSFUL;
  }
  int width = (lpDevMode->dmFields & DM_PELSWIDTH) ? static_cast<int>(lpDevMode->dmPelsWidth) : 0;
  int height = (lpDevMode->dmFields & DM_PELSHEIGHT) ? static_cast<int>(lpDevMode->dmPelsHeight) : 0;
  if (!backend::ModeOffered(*lpDevMode, width, height)) return DISP_CHANGE_BADMODE;
  backend::OnDisplayMode(true, width, height);
  return DISP_CHANGE_SUCCESSFUL;
}

int WINAPI ShowCursor(BOOL bShow) {
  g_cursorCounter += bShow ? 1 : -1;
  sgwin::backend::ApplyCursor(g_cursorCounter >= 0);
  return g_cursorCounter;
}

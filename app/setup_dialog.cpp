// The setup dialog's procedure: the choices are fixed in effect, so GO!
// always stores 1920 x 1080, 32 bits, full screen; EXIT ends the process.
#include <cstdlib>

#include "app/shell.h"

namespace {

void InitSetupDialog(HWND hDlg) {
  CheckDlgButton(hDlg, kSetupFullscreenSureBox, BST_CHECKED);
  CheckDlgButton(hDlg, kSetupFullscreenBox, BST_CHECKED);
  CheckRadioButton(hDlg, kSetupRadio1080p, kSetupRadio1920x1080, kSetupRadio1080p);
}

void StoreSettings(HWND hDlg) {
  if (!IsDlgButtonChecked(hDlg, kSetupFullscreenBox)) {
    g_fullscreen = 0;
  }
  g_bits = 32;
  if (IsDlgButtonChecked(hDlg, kSetupRadio1080p)) {
    g_width = 1920;
    g_height = 1080;
  } else if (IsDlgButtonChecked(hDlg, kSetupRadio1920x1080)) {
    g_width = 1920;
    g_height = 1080;
  }
}

}  // namespace

INT_PTR CALLBACK SetupDialogProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM) {
  if (uMsg == WM_INITDIALOG) {
    InitSetupDialog(hDlg);
    return FALSE;
  }
  if (uMsg != WM_COMMAND) {
    return FALSE;
  }
  switch (LOWORD(wParam)) {
    case kSetupGoId:
      StoreSettings(hDlg);
      EndDialog(hDlg, wParam);
      return TRUE;
    case kSetupExitId:
      g_running = 0;
      std::exit(0);
    default:
      return FALSE;
  }
}

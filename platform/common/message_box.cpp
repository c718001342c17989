// Message boxes: the buttons of each box type in Windows order, shown by the
// back end; every box also goes to standard error, so its message outlives
// it. A box that cannot be shown is answered as a user most likely would:
// OK, or Yes to a question.
#include <cstdio>
#include <string>
#include <vector>

#include "common/backend.h"

namespace {

using sgwin::backend::BoxButton;

constexpr UINT kButtonsMask = 0x0F;

// Enter takes the first button, Esc the last.
std::vector<BoxButton> ButtonsFor(UINT type) {
  switch (type & kButtonsMask) {
    case MB_OKCANCEL:
      return {{IDOK, "OK", true, false}, {IDCANCEL, "Cancel", false, true}};
    case MB_YESNO:
      return {{IDYES, "Yes", true, false}, {IDNO, "No", false, true}};
    default:
      return {{IDOK, "OK", true, true}};
  }
}

}  // namespace

int WINAPI MessageBoxA(HWND, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  std::string text = lpText ? lpText : "";
  std::string caption = lpCaption ? lpCaption : "Error";  // the system's caption when none is given
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  std::fflush(stderr);
  std::vector<BoxButton> buttons = ButtonsFor(uType);
  int pressed = -1;
  if (!sgwin::backend::ShowMessageBox(caption, text, uType, buttons, pressed)) return buttons.front().id;
  return pressed < 0 ? buttons.back().id : pressed;
}

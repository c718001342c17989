// A message box as Windows lays it out, as a dialog template: the type's
// icon, the text, a centred row of its buttons, sized from the painter's
// font. Run like any dialog, so every back end draws boxes as it draws
// dialogs.
#pragma once

#include <string>
#include <vector>

#include "common/backend.h"
#include "common/dialog_painter.h"

namespace sgwin {

// The template of one box; its controls point into its own strings and the
// buttons given.
struct BoxTemplate {
  std::string caption, text;
  std::vector<sgres::DialogControl> controls;
  sgres::DialogTemplate dialog{};
};

void LayOutMessageBox(BoxTemplate& box, UINT type, const std::vector<backend::BoxButton>& buttons,
                      const DialogPainter& painter);

// What RunDialog returns for a box closed without a button (no button has it).
constexpr int kBoxClosed = 0;
// Ends the box with the pressed button's id.
INT_PTR CALLBACK MessageBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam);

// The id of the button Esc presses, 0 for none.
int EscapeButton(const std::vector<backend::BoxButton>& buttons);

}  // namespace sgwin

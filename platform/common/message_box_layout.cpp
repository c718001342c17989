// Message box layout in dialog units, from the painter's text sizes.
#include "common/message_box_layout.h"

#include <algorithm>

namespace sgwin {

namespace {

using backend::BoxButton;

constexpr UINT kIconMask = 0xF0;
constexpr int kPointSize = 8;
// Dialog units.
constexpr int kMargin = 7, kGap = 4, kButtonWidth = 50, kButtonHeight = 14, kAboveButtons = 9;
int SystemIcon(UINT type) {
  switch (type & kIconMask) {
    case MB_ICONHAND:
      return 32513;
    case MB_ICONQUESTION:
      return 32514;
    case MB_ICONEXCLAMATION:
      return 32515;
    case MB_ICONINFORMATION:
      return 32516;
    default:
      return 0;
  }
}

short Units(int pixels, int perUnits, int units) {
  return static_cast<short>((pixels * units + perUnits - 1) / perUnits);
}

int LongestLine(const DialogPainter& painter, const std::string& text, int& lines) {
  int widest = 0;
  lines = 0;
  size_t start = 0;
  for (;;) {
    size_t end = text.find('\n', start);
    widest = std::max(widest, painter.TextWidth(text.substr(start, end - start)));
    ++lines;
    if (end == std::string::npos) return widest;
    start = end + 1;
  }
}

// Buttons as wide as the standard or their longest text, in a centred row.
short ButtonWidth(const std::vector<BoxButton>& buttons, const DialogPainter& painter) {
  short width = kButtonWidth;
  for (const BoxButton& button : buttons) {
    width = std::max(width, Units(painter.TextWidth(button.text) + 16, painter.Units().x, 4));
  }
  return width;
}

int RowWidth(const std::vector<BoxButton>& buttons, short width) {
  return static_cast<int>(buttons.size()) * (width + kGap) - kGap;
}

void AddButtons(BoxTemplate& box, const std::vector<BoxButton>& buttons, short width, short top) {
  int row = RowWidth(buttons, width);
  short x = static_cast<short>((box.dialog.cx - row) / 2);
  for (const BoxButton& button : buttons) {
    uint32_t style = WS_TABSTOP | (button.onEnter ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    box.controls.push_back({button.id, "button", button.text.c_str(), style, x, top, width, kButtonHeight, 0});
    x = static_cast<short>(x + width + kGap);
  }
}

}  // namespace

void LayOutMessageBox(BoxTemplate& box, UINT type, const std::vector<BoxButton>& buttons,
                      const DialogPainter& painter) {
  BaseUnits units = painter.Units();
  int lines = 0;
  short textWidth = Units(LongestLine(painter, box.text, lines), units.x, 4);
  short textHeight = Units(lines * painter.LineHeight(), units.y, 8);
  int icon = SystemIcon(type);
  short iconWidth = icon ? Units(painter.IconSize(), units.x, 4) : 0;
  short iconHeight = icon ? Units(painter.IconSize(), units.y, 8) : 0;
  short textX = static_cast<short>(kMargin + (icon ? iconWidth + kMargin : 0));
  short textY = static_cast<short>(kMargin + std::max(0, (iconHeight - textHeight) / 2));
  if (icon) box.controls.push_back({-1, "static", nullptr, SS_ICON, kMargin, kMargin, iconWidth, iconHeight, icon});
  box.controls.push_back({-1, "static", box.text.c_str(), SS_LEFT, textX, textY, textWidth, textHeight, 0});
  short buttonWidth = ButtonWidth(buttons, painter);
  box.dialog.cx =
      static_cast<short>(std::max(textX + textWidth + kMargin, RowWidth(buttons, buttonWidth) + 2 * kMargin));
  short buttonsTop = static_cast<short>(std::max(kMargin + iconHeight, textY + textHeight) + kAboveButtons);
  AddButtons(box, buttons, buttonWidth, buttonsTop);
  box.dialog.cy = static_cast<short>(buttonsTop + kButtonHeight + kMargin);
  box.dialog.style = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER | DS_SETFONT;
  box.dialog.caption = box.caption.c_str();
  box.dialog.pointSize = kPointSize;
  box.dialog.controls = box.controls.data();
  box.dialog.controlCount = static_cast<int>(box.controls.size());
}

INT_PTR CALLBACK MessageBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_COMMAND) return EndDialog(box, LOWORD(wParam));
  if (message == WM_CLOSE) return EndDialog(box, kBoxClosed);
  return FALSE;
}

int EscapeButton(const std::vector<BoxButton>& buttons) {
  int cancelId = 0;
  for (const BoxButton& button : buttons) cancelId = button.onEscape ? button.id : cancelId;
  return cancelId;
}

}  // namespace sgwin

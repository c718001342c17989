// Message boxes where there is a display: laid out as Windows lays them out
// (icon, text, a centred row of buttons) and drawn like the dialogs; SDL's
// own box where they cannot be drawn.
#include "common/backend.h"
#include "common/dialog_model.h"
#include "common/message_box_layout.h"
#include "sdl/drawn_dialog.h"
#include "sdl/sdl_video.h"
#include "sdl/ttf_face.h"

namespace sgwin {
namespace backend {

namespace {

constexpr UINT kIconMask = 0xF0;
constexpr int kBoxPointSize = 8;

// -1 when the box could not be drawn.
int ShowDrawnBox(const std::string& caption, const std::string& text, UINT type,
                 const std::vector<BoxButton>& buttons) {
  std::unique_ptr<DialogChooser> chooser = NewDrawnDialogChooser(EscapeButton(buttons), nullptr);
  std::unique_ptr<DialogPainter> painter = chooser ? OpenSdlPainter(kBoxPointSize, DialogDpi()) : nullptr;
  if (!painter) return -1;
  BoxTemplate box;
  box.caption = caption;
  box.text = text;
  LayOutMessageBox(box, type, buttons, *painter);
  return static_cast<int>(RunDialog(box.dialog, MessageBoxProc, 0, *chooser));
}

Uint32 IconFlags(UINT type) {
  switch (type & kIconMask) {
    case MB_ICONHAND:
      return SDL_MESSAGEBOX_ERROR;
    case MB_ICONEXCLAMATION:
      return SDL_MESSAGEBOX_WARNING;
    default:
      return SDL_MESSAGEBOX_INFORMATION;
  }
}

}  // namespace

bool ShowSdlMessageBox(const std::string& caption, const std::string& text, UINT type,
                       const std::vector<BoxButton>& buttons, int& pressed) {
  std::vector<SDL_MessageBoxButtonData> data;
  for (const BoxButton& button : buttons) {
    Uint32 buttonFlags = (button.onEnter ? SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT : 0) |
                         (button.onEscape ? SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT : 0);
    data.push_back({buttonFlags, button.id, button.text.c_str()});
  }
  // No parent window: SDL shows X11 boxes from a forked child, which must not
  // share the program's display connection.
  SDL_MessageBoxData box = {IconFlags(type) | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT,
                            nullptr,
                            caption.c_str(),
                            text.c_str(),
                            static_cast<int>(data.size()),
                            data.data(),
                            nullptr};
  pressed = -1;
  if (SDL_ShowMessageBox(&box, &pressed) != 0) {
    SDL_Log("platform: message box: %s", SDL_GetError());
    return false;
  }
  return true;
}

bool ShowMessageBox(const std::string& caption, const std::string& text, UINT type,
                    const std::vector<BoxButton>& buttons, int& pressed) {
  if (video::Headless()) return false;
  int drawn = ShowDrawnBox(caption, text, type, buttons);
  if (drawn < 0) return ShowSdlMessageBox(caption, text, type, buttons, pressed);
  pressed = drawn == kBoxClosed ? -1 : drawn;
  return true;
}

}  // namespace backend
}  // namespace sgwin

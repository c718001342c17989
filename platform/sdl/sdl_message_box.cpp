// Message boxes shown by SDL where there is a display.
#include "common/backend.h"
#include "sdl/sdl_video.h"

namespace sgwin {
namespace backend {

namespace {

constexpr UINT kIconMask = 0xF0;

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

bool ShowMessageBox(const std::string& caption, const std::string& text, UINT type,
                    const std::vector<BoxButton>& buttons, int& pressed) {
  if (video::Headless()) return false;
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

}  // namespace backend
}  // namespace sgwin

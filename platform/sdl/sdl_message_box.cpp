// Message boxes: answered by the host when it queued answers, shown with SDL
// where there is a display, and otherwise answered as a user most likely
// would (OK, or Yes to a question). Every box is also written to standard
// error.
#include <SDL.h>

#include <cstdio>

#include "headless/host_state.h"
#include "sdl/sdl_video.h"

namespace sgwin {
namespace video {

namespace {

constexpr UINT kButtonsMask = 0x0F;
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

// Buttons in Windows order; Enter takes the first, Esc the last.
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

int EscapeAnswer(const std::vector<BoxButton>& buttons) { return buttons.back().id; }

}  // namespace

bool ShowBox(const std::string& caption, const std::string& text, unsigned flags,
             const std::vector<BoxButton>& buttons, int& pressed) {
  std::vector<SDL_MessageBoxButtonData> data;
  for (const BoxButton& button : buttons) {
    Uint32 buttonFlags = (button.onEnter ? SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT : 0) |
                         (button.onEscape ? SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT : 0);
    data.push_back({buttonFlags, button.id, button.text.c_str()});
  }
  // No parent window: SDL shows X11 boxes from a forked child, which must not
  // share the program's display connection.
  SDL_MessageBoxData box = {flags | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT,
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

}  // namespace video
}  // namespace sgwin

int WINAPI MessageBoxA(HWND, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  using sgwin::Host;
  std::string text = lpText ? lpText : "";
  std::string caption = lpCaption ? lpCaption : "Error";  // the system's caption when none is given
  std::vector<sgwin::video::BoxButton> buttons = sgwin::video::ButtonsFor(uType);
  int answer = buttons.front().id;
  if (!Host().messageBoxAnswers.empty()) {
    answer = Host().messageBoxAnswers.front();
    Host().messageBoxAnswers.pop_front();
  } else if (!Host().suppressMessageBoxes && !sgwin::video::Headless()) {
    int pressed = -1;
    bool shown = sgwin::video::ShowBox(caption, text, sgwin::video::IconFlags(uType), buttons, pressed);
    if (shown) answer = pressed < 0 ? sgwin::video::EscapeAnswer(buttons) : pressed;
  }
  // On standard error too, so a box's message outlives the box.
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  std::fflush(stderr);
  Host().messageBoxes.push_back({text, caption, uType, answer});
  return answer;
}

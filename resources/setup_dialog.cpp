// Dialog 149: the picture, the "Resolution" and "Fullscreen" choices and the
// GO! and EXIT buttons. Positions and sizes are dialog units; control styles
// are those beyond WS_CHILD | WS_VISIBLE.
#include "resources/setup_dialog.h"

#include "win32.h"

namespace {

constexpr uint32_t kPushButton = WS_TABSTOP | BS_FLAT | BS_DEFPUSHBUTTON;
constexpr uint32_t kFullscreenBox = WS_DISABLED | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr uint32_t kLabel = WS_GROUP | SS_LEFT;

const sgres::DialogControl kSetupControls[] = {
    {1, "button", "GO!", kPushButton, 17, 129, 58, 14, 0},
    {1006, "button", "1080p", BS_AUTORADIOBUTTON, 19, 79, 45, 10, 0},
    {1007, "button", "1920 x 1080", BS_AUTORADIOBUTTON, 19, 89, 50, 10, 0},
    {-1, "button", "Resolution", BS_GROUPBOX, 17, 70, 58, 30, 0},
    {-1, "button", "Fullscreen", BS_GROUPBOX, 79, 70, 55, 30, 0},
    {1012, "button", nullptr, kFullscreenBox, 83, 78, 10, 10, 0},
    {-1, "static", "Yes", kLabel, 97, 79, 33, 10, 0},
    {1014, "button", nullptr, kFullscreenBox, 83, 88, 10, 10, 0},
    {-1, "static", "Sure", kLabel, 97, 89, 17, 10, 0},
    {2, "button", "EXIT", kPushButton, 17, 107, 58, 14, 0},
    {-1, "static", nullptr, WS_BORDER | SS_BITMAP | SS_REALSIZEIMAGE, 2, 1, 103, 44, 169},
};

}  // namespace

const sgres::DialogTemplate kSetupDialogTemplate = {
    149,
    WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER | DS_SETFONT,
    "Stormglass by Velkaro",
    "Verdana",
    8,
    400,
    640,
    480,
    151,
    151,
    kSetupControls,
    static_cast<int>(sizeof(kSetupControls) / sizeof(kSetupControls[0])),
};

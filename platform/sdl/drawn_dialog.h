// Modal dialogs and boxes in an SDL window of their own, drawn as Windows
// draws them and answered with the dialog manager's keys and pointer.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/backend.h"
#include "common/dialog_model.h"

namespace sgwin {

// A chooser that shows the dialog it is asked about and reports what the
// user pressed; Esc presses cancelId (0: nothing). Where the dialog cannot be
// drawn (no font, no window) the fallback answers instead. Null when there
// is no display.
std::unique_ptr<DialogChooser> NewDrawnDialogChooser(int cancelId, std::unique_ptr<DialogChooser> fallback);

}  // namespace sgwin

namespace sgwin {
namespace backend {

// SDL's own message box: where a drawn one cannot be shown.
bool ShowSdlMessageBox(const std::string& caption, const std::string& text, UINT type,
                       const std::vector<BoxButton>& buttons, int& pressed);

}  // namespace backend
}  // namespace sgwin

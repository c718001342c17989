// Dialogs and message boxes in the page: drawn by the portable painter into
// a canvas over the show's, with the browser's Verdana (or DejaVu Sans) as
// their font, answered with the dialog manager's keys and pointer.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/backend.h"
#include "common/dialog_model.h"

namespace sgweb {

std::unique_ptr<sgwin::DialogChooser> NewPageDialogChooser();
// Answers GO! at once, for deterministic runs.
std::unique_ptr<sgwin::DialogChooser> NewScriptedGo();
bool ShowPageMessageBox(const std::string& caption, const std::string& text, UINT type,
                        const std::vector<sgwin::backend::BoxButton>& buttons, int& pressed);

}  // namespace sgweb

// A dialog template from the resource table written as a resource script's
// DIALOGEX statement, so that the Windows build's dialog (compiled by
// windres) comes from the same table as every other host's. Pure function.
#pragma once

#include <string>

#include "embedded_resources.h"

namespace sgcontent {

std::string DialogScript(const sgres::DialogTemplate& dialog);

}  // namespace sgcontent

// The setup dialog's template (dialog 149 with the banner bitmap 169), shared
// by the program's resource table and the tests' own. Constant data.
#pragma once

#include "embedded_resources.h"

extern const sgres::DialogTemplate kSetupDialogTemplate;

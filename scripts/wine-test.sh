#!/usr/bin/env bash
# Cross-builds the Windows executable (scripts/windows-build.sh) and runs the
# Wine scenarios on it: the CTest tests of label wine (tests/wine/), on
# virtual screens of their own. Screenshots and logs stay in
# build/default/wine-test/. Env: STORMGLASS_WINDOWS_PRESET (windows or
# windows-ci), as for windows-build.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh test windows
bash scripts/windows-build.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target sg_dialog_script
ctest --preset wine

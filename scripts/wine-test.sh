#!/usr/bin/env bash
# Cross-builds the Windows executable (scripts/windows-build.sh), checks its
# imports here (label windows-build), and runs the Wine scenarios on it: the
# CTest tests of label wine (tests/wine/), on virtual screens of their own,
# inside the Wine root (scripts/wine-root.sh) with this checkout bound at its
# own path. Screenshots and logs stay in build/default/wine-test/. Env:
# STORMGLASS_WINDOWS_PRESET (windows or windows-ci), as for windows-build.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh test windows
bash scripts/windows-build.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target sg_dialog_script
ctest --preset windows-build
root=$(bash scripts/wine-root.sh)
bash scripts/in-root.sh "$root" --bind "$PWD" -- ctest --preset wine

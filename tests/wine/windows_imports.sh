#!/usr/bin/env bash
# The Windows executable may import only DLLs that every Windows ships.
# Usage: windows_imports.sh EXE
set -euo pipefail
exe=$1
allowed='^(KERNEL32|USER32|GDI32|OPENGL32|GLU32|WINMM|MSACM32|msvcrt|ADVAPI32)\.dll$'
imports=$(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
[ -n "$imports" ] || { echo "windows_imports: $exe: no imports read" >&2; exit 1; }
unexpected=$(echo "$imports" | grep -viE "$allowed" || true)
if [ -n "$unexpected" ]; then
  echo "windows_imports: $exe imports DLLs that Windows does not ship:" $unexpected >&2
  exit 1
fi
echo "windows_imports: $exe imports" $imports

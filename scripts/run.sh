#!/usr/bin/env bash
# Builds the project and shows what it does: until the records program
# exists, a short tour of the runtime through the vrt probe, then the window
# layer's demonstration (a window on a display, screenshots without one).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target vrt window_demo >/dev/null
vrt=build/tools/vrt
show() { printf '%-44s -> ' "vrt $*"; "$vrt" "$@" || true; }
show date 10 31 1959
show parts 58015
show date 14 1 2003
show time 23 59 59 99
show format @D4 58015
show format @n-14.2 -1234567.891
show deformat @n-14.2 ' 1,234.50-'
show decimal 1 / 3
show eval '1+2*3'
show eval "SUB('Mississippi', 3, 4) & FORMAT(TODAY(), @D2)"
show match Mississippi 'M*pi'
show match Mississippi '^m.*i$' 18
show sound Jackson
show message 332
show message 1234
if [[ -n "${DISPLAY:-}" && "${VORTHAL_DISPLAY:-}" != headless ]]; then
  echo "window_demo: close its window to end"
  build/tools/window_demo
else
  mkdir -p build/screenshots
  build/tools/window_demo --shots build/screenshots
fi

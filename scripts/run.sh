#!/usr/bin/env bash
# Builds the project and shows what it does: until the records program
# exists, a short tour of the runtime through the vrt probe.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target vrt >/dev/null
vrt=build/tools/vrt
show() { printf '%-44s -> ' "vrt $*"; "$vrt" "$@" || true; }
show date 10 31 1959
show parts 58010
show date 14 1 2003
show time 23 59 59 99
show time-parts 4530001
show age 58010 58070
show message 332
show message 1234

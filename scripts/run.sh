#!/usr/bin/env bash
# Builds the project and opens marlock on a folder of sample data (made once):
# its frame on a display; without one, a short tour that logs in as each user
# and writes screenshots. MARLOCK_DATA names another data folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target marlock bdx vrt window_demo >/dev/null

# The sample data lives under build/, or in $XDG_DATA_HOME/marlock when the
# user keeps it there.
data="${MARLOCK_DATA:-}"
if [[ -z "$data" ]]; then
  if [[ -n "${XDG_DATA_HOME:-}" && -d "$XDG_DATA_HOME/marlock" ]]; then data="$XDG_DATA_HOME/marlock"
  else data=build/marlock-data; fi
fi
if [[ ! -e "$data/CUSTOMER.BDX" ]]; then build/app/marlock --seed "$data"; fi

if [[ -n "${DISPLAY:-}" && "${VORTHAL_DISPLAY:-}" != headless ]]; then
  echo "marlock: choose a user in the Login window; close the frame to end"
  exec build/app/marlock --data "$data"
fi
shots="$PWD/build/screenshots"
mkdir -p "$shots"
script="$shots/marlock-tour.script"
{
  echo 'wait window "Login"'
  echo "screenshot $shots/marlock-login.png"
  for user in Director Manager Clerk Visitor; do
    echo "click \"$user\""
    echo 'wait closed "@marlo036"'
    echo 'wait window "@marlo001"'
    echo "screenshot $shots/marlock-$(echo "$user" | tr 'A-Z' 'a-z').png"
    echo 'menu "&Login"'
    echo 'wait window "Login"'
  done
  # A browse and a form behind it, as the Director and as the Clerk.
  for user in Director Clerk; do
    lower=$(echo "$user" | tr 'A-Z' 'a-z')
    echo "click \"$user\""
    echo 'wait closed "@marlo036"'
    echo 'menu "&Browse|Browse Customer"'
    echo 'wait window "@marlo002"'
    echo "screenshot $shots/marlock-browse-$lower.png"
    if [[ $user == Director ]]; then echo 'popup field 1 "Change"'; else echo 'popup field 1 "Insert"'; fi
    echo 'wait window "@marlo026"'
    echo "screenshot $shots/marlock-form-$lower.png"
    echo 'click "Cancel"'
    echo 'wait closed "@marlo026"'
    echo 'wait window "@marlo002"'
    echo 'click "Close"'
    echo 'wait closed "@marlo002"'
    echo 'wait window "@marlo001"'
    echo 'menu "&Login"'
    echo 'wait window "Login"'
  done
  # A report in its preview (one page, four pages, one zoomed), printed to a
  # PDF printer the tour's profile names.
  echo 'click "Clerk"'
  echo 'wait closed "@marlo036"'
  echo 'menu "&Reports|Report the Customer file|Print by CUS:ByName key"'
  echo 'wait window "@marlo_sf"'
  echo "screenshot $shots/marlock-preview.png"
  echo 'menu "&View|&Change Display"'
  echo 'wait window "Change the Report Display"'
  for field in 2 3; do
    echo "click field $field"
    echo 'key Home'
    echo 'key Delete'
    echo 'key Delete'
    echo 'type "2"'
  done
  echo 'click "OK"'
  echo 'wait closed "Change the Report Display"'
  echo 'wait window "@marlo_sf"'
  echo "screenshot $shots/marlock-preview-pages.png"
  echo 'click field 19'
  echo 'click "100%"'
  echo 'wait window "Zoom (100%)"'
  echo "screenshot $shots/marlock-preview-zoom.png"
  echo 'click field 17'
  echo 'wait window "Print"'
  echo 'click "OK"'
  echo 'wait closed "@marlo_sf"'
  echo "run \"for i in \$(seq 200); do test -f $shots/marlock-report.pdf && exit 0; sleep 0.05; done; exit 1\""
  echo 'wait window "@marlo001"'
  echo 'menu "&Login"'
  echo 'wait window "Login"'
  echo 'click "Spy"'
  echo 'expect message "Access denied"'
  echo "screenshot $shots/marlock-spy.png"
  echo 'answer "OK"'
  echo 'wait window "Login"'
} > "$script"
rm -f "$shots/marlock-report.pdf"
printf '[Windows]\ndevice=Tour PDF,PDF,%s\n\n[Devices]\nTour PDF=PDF,%s\n' \
  "$shots/marlock-report.pdf" "$shots/marlock-report.pdf" > "$shots/marlock-tour.ini"
if ! VORTHAL_WININI="$shots/marlock-tour.ini" build/app/marlock --data "$data" --script "$script" \
    2>"$shots/marlock-tour.log"; then
  cat "$shots/marlock-tour.log" >&2
  exit 1
fi
echo "wrote $shots/marlock-login.png, marlock-director.png, marlock-manager.png, marlock-clerk.png," \
     "marlock-visitor.png, marlock-spy.png, marlock-browse-director.png, marlock-form-director.png," \
     "marlock-browse-clerk.png, marlock-form-clerk.png, marlock-preview.png, marlock-preview-pages.png," \
     "marlock-preview-zoom.png and the printed report marlock-report.pdf"

#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that
# are missing.
set -euo pipefail
packages=(python3 g++ cmake ninja-build pkg-config clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev
  libcairo2-dev libx11-dev libxtst-dev libfontconfig-dev libfreetype-dev fonts-liberation fonts-dejavu-core
  xvfb xauth libwmf-bin libsqlite3-dev libcups2-dev libssl-dev
  cups-daemon cups-client poppler-utils libpq-dev postgresql)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [[ $(id -u) -ne 0 ]] && sudo="sudo"
  echo "installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

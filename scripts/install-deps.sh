#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and any named
# on the command line, when missing.
#   scripts/install-deps.sh [--no-recommends] [PACKAGE...]
# --no-recommends leaves out what the named packages only recommend (qemu's
# system emulators would bring a desktop's worth of media libraries, lintian
# and devscripts large tool sets that serve nothing here).
set -euo pipefail
options=()
if [ "${1:-}" = --no-recommends ]; then
  options+=(--no-install-recommends)
  shift
fi
packages=(build-essential cmake pkg-config libefl-all-dev fonts-liberation libgtest-dev libpng-dev nlohmann-json3-dev
          help2man "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y "${options[@]}" "${missing[@]}"
fi

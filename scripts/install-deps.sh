#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and any named
# on the command line, when missing.
set -euo pipefail
packages=(build-essential cmake pkg-config libefl-all-dev fonts-liberation libgtest-dev libpng-dev nlohmann-json3-dev "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y "${missing[@]}"
fi

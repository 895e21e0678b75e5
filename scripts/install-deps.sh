#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and any named
# on the command line, when missing. The package checks' tools (lintian,
# devscripts for hardening-check) come without their recommendations, which
# are large and serve nothing here.
set -euo pipefail
packages=(build-essential cmake pkg-config libefl-all-dev fonts-liberation libgtest-dev libpng-dev nlohmann-json3-dev
          help2man "$@")
lean=" lintian devscripts "
missing=() missing_lean=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" && continue
  if [[ $lean == *" $p "* ]]; then missing_lean+=("$p"); else missing+=("$p"); fi
done
if [ $((${#missing[@]} + ${#missing_lean[@]})) -gt 0 ]; then
  echo "Installing: ${missing[*]} ${missing_lean[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  [ ${#missing[@]} -eq 0 ] || apt-get install -y "${missing[@]}"
  [ ${#missing_lean[@]} -eq 0 ] || apt-get install -y --no-install-recommends "${missing_lean[@]}"
fi

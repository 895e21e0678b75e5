#!/usr/bin/env bash
# Checks a Debian package of the analyzer as a Debian administrator would:
# lintian reports no error, warning or information beyond the package's own
# overrides (the /usr/local/app layout of the device), and hardening-check
# finds every program built with Debian's hardening flags.
#   scripts/lint-package.sh PACKAGE.deb
# Installs lintian and devscripts when missing.
set -euo pipefail
deb=$(realpath "${1:?usage: lint-package.sh PACKAGE.deb}")
bash "$(dirname "$0")/install-deps.sh" --no-recommends lintian devscripts >&2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
errors=0

# lintian refuses nothing as root, but says so on standard error.
if ! lintian --info --fail-on error,warning,info "$deb" >"$work/lintian" 2>"$work/lintian.err"; then
  echo "  FAILED: lintian:"
  sed 's/^/    /' "$work/lintian" "$work/lintian.err"
  errors=1
fi
dpkg-deb -x "$deb" "$work/root"
# Control-flow protection is left out: Debian 12's C library start files,
# linked into every program, carry no such mark, so no program passes it.
for program in analyzer analyzer-results analyzer-summary-png; do
  if ! hardening-check --nocfprotection "$work/root/usr/local/app/$program" >"$work/hardening" 2>&1; then
    echo "  FAILED: hardening-check:"
    sed 's/^/    /' "$work/hardening"
    errors=1
  fi
done
[ "$errors" -eq 0 ] && echo "$(basename "$deb"): lintian clean (overrides: the /usr/local/app layout), hardening-check passes"
exit "$errors"

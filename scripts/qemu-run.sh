#!/usr/bin/env bash
# Runs a program of an ARM build under qemu-user, its libraries taken from a
# root file system of the device's architecture (scripts/make-sysroot.sh).
#   scripts/qemu-run.sh aarch64|armhf SYSROOT [qemu options] PROGRAM [ARGS...]
# qemu options such as `-E LD_PRELOAD=lib.so` reach the program only (a plain
# LD_PRELOAD would be loaded into qemu itself). For armhf, qemu 7.2 does not
# apply -L to statx, which 32-bit glibc uses for stat(): the toolkit would
# not find its modules. The sysroot's library folder is then bound over the
# machine's own in a private mount namespace (as root), for this run only.
set -euo pipefail
arch=${1:?usage: qemu-run.sh aarch64|armhf SYSROOT PROGRAM [ARGS...]}
sysroot=${2:?usage: qemu-run.sh aarch64|armhf SYSROOT PROGRAM [ARGS...]}
shift 2
case $arch in
  aarch64) exec qemu-aarch64 -L "$sysroot" "$@" ;;
  armhf)
    lib=/usr/lib/arm-linux-gnueabihf
    # shellcheck disable=SC2016 # expanded by the inner shell
    exec unshare --mount --propagation private bash -c \
      'mount --bind "$1$2" "$2" && shift 2 && exec qemu-arm "$@"' bind "$sysroot" "$lib" -L "$sysroot" "$@" ;;
  *) echo "qemu-run: unknown architecture $arch" >&2; exit 2 ;;
esac

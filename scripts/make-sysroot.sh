#!/usr/bin/env bash
# Makes a root file system of the device's architecture from Debian's
# packages, for cross builds (-DCMAKE_SYSROOT) and for running them under
# qemu-user (-L). Nothing is installed on this machine: apt runs with a
# private configuration naming only the target architecture, downloads the
# closure of PACKAGES from the machine's own Debian sources, and every package
# is unpacked with dpkg-deb; the list of each package's files is kept in
# <root>/var/lib/sysroot-files/<package>.list (for the package test).
#   scripts/make-sysroot.sh ARCH ROOT [PACKAGE...]     ARCH: arm64 or armhf
# Named packages (and what they need) replace the build's list: the booted
# device's kernel comes this way (scripts/device-boot.sh).
# ROOT is replaced whole, and only appears when complete.
set -euo pipefail
arch=${1:?usage: make-sysroot.sh arm64|armhf ROOT}
root=${2:?usage: make-sysroot.sh arm64|armhf ROOT}
# What the program, the artwork tool, the framebuffer emulator and the build's
# configuration need, with the toolkit's framebuffer engine and image loaders.
PACKAGES=(libc6-dev libstdc++-12-dev libefl-all-dev libpng-dev nlohmann-json3-dev libgtest-dev
          libevas1-engines-fb libevas-loaders libecore-fb1)
shift 2
[ $# -eq 0 ] || PACKAGES=("$@")

work=$root.tmp
rm -rf "$work"
mkdir -p "$work/apt/state/lists/partial" "$work/apt/cache/archives/partial" "$work/apt/sources" "$work/root"
: >"$work/apt/state/status"
cp /etc/apt/sources.list.d/*.sources /etc/apt/sources.list.d/*.list "$work/apt/sources/" 2>/dev/null || true
[ -f /etc/apt/sources.list ] && cp /etc/apt/sources.list "$work/apt/sources/main.list"
cat >"$work/apt/apt.conf" <<EOF
APT::Architecture "$arch";
APT::Architectures { "$arch"; };
APT::Install-Recommends "false";
Acquire::Languages "none";
Dir::State "$work/apt/state";
Dir::State::status "$work/apt/state/status";
Dir::Cache "$work/apt/cache";
Dir::Etc::SourceList "/dev/null";
Dir::Etc::SourceParts "$work/apt/sources";
EOF
export APT_CONFIG=$work/apt/apt.conf DEBIAN_FRONTEND=noninteractive
apt-get -q update >"$work/apt.log"
apt-get -q install -d -y "${PACKAGES[@]}" >>"$work/apt.log"

# Unpack, listing each package's files.
lists=$work/root/var/lib/sysroot-files
mkdir -p "$lists"
for deb in "$work"/apt/cache/archives/*.deb; do
  name=$(basename "$deb")
  dpkg-deb -X "$deb" "$work/root" >"$lists/${name%%_*}.list"
done
count=$(ls "$lists" | wc -l)

# As on an installed system: /bin, /sbin and /lib are /usr's.
for d in bin sbin lib; do
  if [ -d "$work/root/$d" ] && [ ! -L "$work/root/$d" ]; then
    mkdir -p "$work/root/usr/$d"
    cp -a "$work/root/$d/." "$work/root/usr/$d/"
    rm -rf "${work:?}/root/$d"
  fi
  ln -sfn "usr/$d" "$work/root/$d"
done
# Absolute links point into this root, not the machine's (the linker follows
# them, e.g. libz.so).
find "$work/root" -type l -lname '/*' -printf '%p\t%l\n' | while IFS=$'\t' read -r link target; do
  ln -sfn "$(realpath -m --relative-to="$(dirname "$link")" "$work/root$target")" "$link"
done

rm -rf "$root"
mv "$work/root" "$root"
rm -rf "$work"
echo "make-sysroot: $arch root file system of $count packages in $root"

#!/usr/bin/env bash
# Boots the device: Debian's ARM kernel under qemu-system with an emulated
# display, the device's root file system (scripts/make-sysroot.sh) with the
# cross-built package unpacked onto it, and one job run as on the device: the
# toolkit's framebuffer engine with its console and VT handling, nothing
# preloaded, the framebuffer driver brought up by the program's own insmod.
#   scripts/device-boot.sh [--arch aarch64|armhf] [--bpp 32|16] OUT [sample] [options...]
# With no sample it runs the demo's job (samples/sdr_ideal_power24.csv with
# its options from samples/samples.list). OUT receives:
#   console.log   the serial console of the whole boot
#   stdout        the job's console output (also in console.log), stderr its errors
#   1.png 1_white.png 1.json   what the job saved
#   screen.ppm    what the display shows after the white capture (qemu's screendump)
#   times         boot and run times, measured on this machine
# qemu is stopped when the device has not powered off after
# $DEVICE_BOOT_TIMEOUT seconds (300).
# The kernel comes from scripts/device-kernel.sh (Debian's packages, cached
# beside the sysroots), the programs from scripts/cross-build.sh (cached).
# --bpp 16 uses the Cirrus display (RGB565), whose driver stops at 1024
# lines: the job then runs on a 1280 x 1024 screen and cannot capture it.
set -euo pipefail
source "$(dirname "$0")/samples.sh"
samples_init
cd "$source_dir"
usage="usage: device-boot.sh [--arch aarch64|armhf] [--bpp 32|16] OUT [sample] [options...]"
arch=aarch64 bpp=32
while [ $# -gt 0 ]; do
  case $1 in
    --arch) arch=${2:?$usage}; shift 2 ;;
    --bpp) bpp=${2:?$usage}; shift 2 ;;
    *) break ;;
  esac
done
out=$(user_path "${1:?$usage}")
shift
read_samples
sample=sdr_ideal_power24
if [ $# -gt 0 ]; then
  sample_file=$(user_path "$1")
  shift
else
  sample_file=$PWD/samples/$sample.csv
  # shellcheck disable=SC2206 # the options are words
  set -- ${SAMPLE_OPTIONS[$sample]}
fi
[ -f "$sample_file" ] || { echo "device-boot: no test data file $sample_file" >&2; exit 2; }

# The device by architecture: qemu and its machine.
case $arch in
  aarch64) qemu=(qemu-system-aarch64 -M virt -cpu cortex-a53) ;;
  # Without highmem=off the PCI host cannot claim its configuration space.
  armhf) qemu=(qemu-system-arm -M virt,highmem=off -cpu cortex-a15) ;;
  *) echo "$usage" >&2; exit 2 ;;
esac
# The display by depth: qemu's device, the kernel's driver module, the mode.
# The mode of a DRM framebuffer cannot be changed from user space, so the
# kernel sets it. The kernel's text console is kept off the framebuffer
# (fbcon=map:1 maps every console to a second framebuffer that never comes),
# so that only the program draws there.
case $bpp in
  32) display=(-device virtio-gpu-pci,xres=1920,yres=1080) driver=virtio-gpu mode=video=Virtual-1:1920x1080 ;;
  16) display=(-device cirrus-vga,romfile=) driver=cirrus mode=video=1280x1024-16 ;;
  *) echo "$usage" >&2; exit 2 ;;
esac
# Loaded by the init script before the job: the virtio PCI transport (no
# module names it as a dependency), the 9p file system over it, the overlay
# that makes the root writable, and what the framebuffer driver needs. The
# driver itself lies at the device's module path for the program's insmod.
INIT_MODULES=(virtio_pci 9pnet_virtio 9p overlay "$driver")

bash scripts/install-deps.sh g++-aarch64-linux-gnu g++-arm-linux-gnueabihf qemu-user >&2
bash scripts/install-deps.sh --no-recommends qemu-system-arm kmod cpio >&2
t0=$SECONDS
build=$(bash scripts/cross-build.sh "$arch" | tail -1)
sysroot=$(sed -n 's/^CMAKE_SYSROOT:[A-Z]*=//p' "$build/CMakeCache.txt")
deb=$(ls "$build"/analyzer_*.deb)

kroot=$(bash scripts/device-kernel.sh "$arch")
version=$(ls "$kroot/usr/lib/modules")
t_fetch=$((SECONDS - t0))

# OUT is replaced: only when it is empty or a previous boot's.
if [ -n "$(ls -A "$out" 2>/dev/null)" ] && [ ! -e "$out/console.log" ]; then
  echo "device-boot: $out holds files of something else; give an empty or new folder" >&2
  exit 2
fi
rm -rf "$out"
mkdir -p "$out"
work=$(mktemp -d)
qemu_pid="" reader_pid=""
cleanup() {
  local pid
  for pid in $qemu_pid $reader_pid; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# The initramfs: busybox, the modules in load order, the init script, and the
# two upper layers of the device's root: the package as unpacked, and the
# device's own files (the driver at its module path, insmod, the test data
# file at the path the job names).
ramfs=$work/ramfs
mkdir -p "$ramfs"/{bin,modules,dev,proc,sys,sysroot,out,rw,newroot,package}
cp "$kroot/usr/bin/busybox" "$ramfs/bin/busybox"
ln -s busybox "$ramfs/bin/sh"
modprobe -d "$kroot" -S "$version" --show-depends -a "${INIT_MODULES[@]}" | awk '$1 == "insmod" { print $2 }' |
  awk '!seen[$0]++' >"$work/modules"
driver_ko=$(tail -1 "$work/modules")
head -n -1 "$work/modules" | while read -r ko; do
  cp "$ko" "$ramfs/modules/"
  basename "$ko" >>"$ramfs/modules/order"
done
device=$ramfs/device
mkdir -p "$device"/{dev,proc,sys,tmp,root,usr/local/fb_dri,usr/local/sbin,mnt/mmc-disk4/img} "$device/$(dirname "$sample_file")"
cp "$driver_ko" "$device/usr/local/fb_dri/fb_dri.ko"
cp "$kroot/usr/bin/busybox" "$device/usr/local/sbin/busybox"
ln -s busybox "$device/usr/local/sbin/insmod"
cp "$sample_file" "$device/$sample_file"
dpkg-deb -x "$deb" "$ramfs/package"
printf '%q ' /usr/local/app/analyzer "$@" -testFilePath "$sample_file" >"$ramfs/job"
cat >"$ramfs/init" <<'EOF'
#!/bin/sh
/bin/busybox --install -s /bin
export PATH=/bin
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t devtmpfs dev /dev
uptime_s() { read -r up _ </proc/uptime; echo "$up"; }
echo "device-boot: init at $(uptime_s) s: $(uname -s) $(uname -r) $(uname -v) $(uname -m)"
while read -r ko; do insmod "/modules/$ko" || echo "device-boot: insmod $ko failed"; done </modules/order
mount -t 9p -o trans=virtio,version=9p2000.L,ro,cache=loose,msize=262144 sysroot /sysroot
mount -t 9p -o trans=virtio,version=9p2000.L,msize=262144 out /out
mount -t tmpfs tmpfs /rw
mkdir /rw/upper /rw/work
mount -t overlay overlay -o lowerdir=/device:/package:/sysroot,upperdir=/rw/upper,workdir=/rw/work /newroot
for d in dev proc sys; do mount --bind /$d /newroot/$d; done
[ -e /dev/fb0 ] && echo "device-boot: /dev/fb0 exists before the job" || echo "device-boot: no /dev/fb0 before the job"
echo "device-boot: job at $(uptime_s) s: $(cat /job)"
# As on the device: the framebuffer engine with its console and VT handling,
# the default framebuffer, the device's paths, nothing preloaded.
# Its console lines go to OUT/stdout as printed, and to the serial console
# with the time they arrived.
eval "set -- $(cat /job)"
{
  env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root ELM_ENGINE=fb \
    ECORE_NO_SYSTEM_MODULES=1 chroot /newroot "$@" 2>/out/stderr
  echo "exit status $?" >/out/status
} | while IFS= read -r line || [ -n "$line" ]; do
  printf '%s\n' "$line" >>/out/stdout
  printf '%8s | %s\n' "$(uptime_s)" "$line"
done
echo "device-boot: job ended at $(uptime_s) s, $(cat /out/status)"
for f in 1.png 1_white.png 1.json; do
  cp /newroot/mnt/mmc-disk4/img/analyzer_data/$f /out/ 2>/dev/null || echo "device-boot: the job left no $f"
done
fb=/sys/class/graphics/fb0
echo "device-boot: fb0 $(cat $fb/name): $(cat $fb/virtual_size) virtual, $(cat $fb/bits_per_pixel) bpp," \
  "stride $(cat $fb/stride), pan $(cat $fb/pan)"
for c in /sys/class/drm/card0-*; do echo "device-boot: $(basename $c) $(cat $c/status), $(cat $c/enabled), dpms $(cat $c/dpms)"; done
for v in /sys/class/vtconsole/vtcon*; do echo "device-boot: $(basename $v) bound $(cat $v/bind): $(cat $v/name)"; done
dmesg | grep -iE 'virtio.gpu|cirrus|fb0|drm' | sed 's/^/device-boot: kernel: /'
echo "device-boot: screen ready"
n=0
while [ ! -e /out/.screen-taken ] && [ $n -lt 600 ]; do sleep 0.1; n=$((n + 1)); done
echo "device-boot: power off at $(uptime_s) s"
umount /out
poweroff -f
EOF
chmod +x "$ramfs/init"
(cd "$ramfs" && find . | cpio -o -H newc --quiet) >"$work/initrd"

# The machine: the display, the kernel, the sysroot read-only and OUT
# writable over 9p, the serial console into console.log, the monitor on a
# pair of pipes for the screendump.
# (Opened read-write, the pipes never block, whether qemu starts or not.)
mkfifo "$work/monitor.in" "$work/monitor.out"
cat <>"$work/monitor.out" >"$work/monitor.log" &
reader_pid=$!
exec 8<>"$work/monitor.in"
t1=$SECONDS
"${qemu[@]}" -m 1024 -smp 2 -display none -no-reboot "${display[@]}" \
  -kernel "$kroot/boot/vmlinuz-$version" -initrd "$work/initrd" \
  -append "console=ttyAMA0 $mode fbcon=map:1 panic=-1" \
  -virtfs "local,path=$sysroot,mount_tag=sysroot,security_model=none,readonly=on" \
  -virtfs "local,path=$out,mount_tag=out,security_model=none" \
  -serial "file:$out/console.log" -monitor "pipe:$work/monitor" &
qemu_pid=$!

# Waits until qemu has written a whole screendump (header and pixels).
screendump_done() {
  [ -s "$1" ] || return 1
  local magic w h max
  read -r magic w h max _ < <(head -c 32 "$1" | tr '\n\0' '  '; echo) || return 1
  [ "$magic" = P6 ] && [ "$(stat -c %s "$1")" -eq $((${#magic} + ${#w} + ${#h} + ${#max} + 4 + w * h * 3)) ]
}
deadline=$((SECONDS + ${DEVICE_BOOT_TIMEOUT:-300}))
dumped=""
while kill -0 "$qemu_pid" 2>/dev/null; do
  if [ -z "$dumped" ] && grep -q '^device-boot: screen ready' "$out/console.log" 2>/dev/null; then
    echo "screendump $out/screen.ppm" >&8
    dumped=$SECONDS
  fi
  if [ -n "$dumped" ] && [ ! -e "$out/.screen-taken" ] && screendump_done "$out/screen.ppm"; then
    touch "$out/.screen-taken"
  fi
  if [ $SECONDS -ge $deadline ]; then
    echo "device-boot: no power-off after ${DEVICE_BOOT_TIMEOUT:-300} s; stopped" >&2
    break
  fi
  sleep 0.1
done
kill "$qemu_pid" 2>/dev/null || true
wait "$qemu_pid" 2>/dev/null || true
qemu_pid=""
exec 8>&-
rm -f "$out/.screen-taken"
t_boot=$((SECONDS - t1))
# One line: the guest's clock at each step, then this machine's.
steps=$(grep -o '^device-boot: [a-z ]* at [0-9.]* s' "$out/console.log" | sed 's/^device-boot: //' | paste -sd,)
echo "${steps//,/, }; qemu ran $t_boot s (build and kernel ready after $t_fetch s)" >"$out/times"
cat "$out/times"
[ -f "$out/status" ] || { echo "device-boot: the job did not run; see $out/console.log" >&2; exit 1; }
cat "$out/status"
[ "$(cat "$out/status")" = "exit status 0" ]

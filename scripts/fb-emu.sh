# Sourced by the scripts that run the analyzer in device mode on the emulated
# framebuffer (the build's libfbdev_emu.so, a test helper, over a plain file).
#   fb_emu_env BUILD_DIR BACKING_FILE [BPP]
# creates the (empty) backing file, which the emulation grows, and sets the array fb_env to the environment of such a run; run it with
#   env -u ELM_DISPLAY "${fb_env[@]}" BUILD_DIR/analyzer ...
# ECORE_FB_NO_VT=1 keeps the toolkit off the machine's real console.
fb_emu_env() {
  local build
  build=$(cd "$1" && pwd)
  : >"$2"
  fb_env=(ELM_ENGINE=fb EVAS_FB_DEV=/dev/fb7 ECORE_FB_NO_VT=1
          LD_PRELOAD="$build/libfbdev_emu.so" FBDEV_EMU_DEVICE=/dev/fb7 FBDEV_EMU_FILE="$2"
          FBDEV_EMU_BPP="${3:-32}" ASAN_OPTIONS="verify_asan_link_order=0:${ASAN_OPTIONS:-}")
}
# fb_emu_under RUNNER...: after fb_emu_env, for a program run under qemu-user
# (scripts/qemu-run.sh): sets fb_cmd to the runner with the preload passed to
# the program only (-E), and takes it out of fb_env, where qemu itself would
# load it. Without a runner fb_cmd is empty and fb_env unchanged.
fb_emu_under() {
  fb_cmd=("$@")
  [ $# -gt 0 ] || return 0
  local e kept=()
  for e in "${fb_env[@]}"; do
    if [[ $e == LD_PRELOAD=* ]]; then fb_cmd+=(-E "$e"); else kept+=("$e"); fi
  done
  fb_env=("${kept[@]}")
}

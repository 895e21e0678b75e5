// Fixed device paths, optionally re-rooted under $ANALYZER_ROOT so that a
// demo or a test never touches the real device folders.
#pragma once
#include <string>

// Returns `path` (an absolute device path) prefixed with $ANALYZER_ROOT when
// that variable is set and not empty; otherwise `path` unchanged.
std::string device_path(const char *path);

// The same, as a C string that stays valid for the life of the process
// (one interned copy per distinct path).
const char *device_cpath(const char *path);

// Device folders and files used by the program.
inline constexpr const char *IMAGE_DIR = "/usr/local/app/image";
inline constexpr const char *FONT_DIR = "/usr/local/app/font";
inline constexpr const char *DEFAULT_TEST_FILE = "/usr/local/app/analyzer_result.csv";
inline constexpr const char *CAPTURE_DIR = "/mnt/mmc-disk4/img/analyzer_data";
inline constexpr const char *SN_READER = "/opt/bin/fw_printenv";
inline constexpr const char *FB_MODULE = "/usr/local/fb_dri/fb_dri.ko";

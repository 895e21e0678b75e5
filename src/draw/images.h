// The report's images: one row each, the device path the program loads.
// The artwork tool draws each of them under the build's device root and the
// build (tools/artwork.cmake) reads the paths from this table, so an image
// is added here once. Plain data, no toolkit.
#pragma once
#include <algorithm>
#include <string_view>

#include "config/paths.h"

enum image_id : int {
    IMAGE_LOGO,
    IMAGE_TITLE_BAR,
    IMAGE_ICON_LUMA,
    IMAGE_ICON_DE,
    IMAGE_ICON_GAMUT,
    IMAGE_BG_TRANS,
    IMAGE_CIE_1931,
    IMAGE_MARKER,       // target marker on the CIE 1931 chart
    IMAGE_MEAS_MARKER,  // a measured point as an image
    IMAGE_PASS,
    IMAGE_FAIL,
    IMAGE_COUNT,
};

inline constexpr const char *image_path[IMAGE_COUNT] = {
    "/usr/local/app/image/tervane.png",
    "/usr/local/app/image/title_07.png",
    "/usr/local/app/image/icon_luma.png",
    "/usr/local/app/image/icon_dE.png",
    "/usr/local/app/image/icon_gamut.png",
    "/usr/local/app/image/bg_trans.png",
    "/usr/local/app/image/cie_1931.png",
    "/usr/local/app/image/round_15_15_01.png",
    "/usr/local/app/image/meas_white_7_7.png",
    "/usr/local/app/image/result_true.png",
    "/usr/local/app/image/result_false.png",
};

// An image path is IMAGE_DIR, a slash and the file's name.
constexpr bool in_image_dir(std::string_view path)
{
    const std::string_view dir = IMAGE_DIR;
    return path.size() > dir.size() + 1 && path.starts_with(dir) && path[dir.size()] == '/';
}
static_assert(std::ranges::all_of(image_path, in_image_dir));

// Screen captures of the report: the PNG encoding of the rendered canvas
// (headless) or of the framebuffer (device mode).
#pragma once
#include <linux/fb.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

struct generation_t;

inline constexpr int CAPTURE_W = 1920;
inline constexpr int CAPTURE_H = 1080;

// Where a colour channel sits in a pixel read as a native-endian number.
struct channel_bits {
    unsigned offset = 0;
    unsigned length = 0;
};

// A pixel layout: bytes per pixel (2, 3 or 4) and the three channels; other
// bits (alpha, padding) are ignored.
struct pixel_format {
    unsigned bytes = 4;
    channel_bits red, green, blue;
};

inline constexpr pixel_format ARGB32{4, {16, 8}, {8, 8}, {0, 8}};

// Encodes `height` rows of `width` pixels, `stride` bytes apart, as an 8-bit
// RGB PNG into `fp`, with the job's results record, when given, in an
// international text chunk (keyword "analyzer-results"). False when libpng
// fails or the format is unusable.
bool write_png(FILE *fp, const uint8_t *pixels, int width, int height, size_t stride,
               const pixel_format &format, const std::string &record = {});

// The same, with the rows handed over one at a time by `row` (row y in
// `format`, or null when it cannot be read, which fails the encoding).
using row_source = std::function<const uint8_t *(int y)>;
bool write_png_rows(FILE *fp, const row_source &row, int width, int height, const pixel_format &format,
                    const std::string &record = {});

// Where the top-left capture area lies in a framebuffer's memory.
struct framebuffer_layout {
    size_t offset = 0;     // byte offset of the visible screen's first pixel
    size_t stride = 0;     // bytes per line
    size_t memory_size = 0;  // bytes of framebuffer memory
    pixel_format format;
};

// Checks what the driver reports and finds the visible screen in its memory.
// Returns an empty text when a 1920 x 1080 capture can be read, else why not.
std::string framebuffer_capture_layout(const fb_var_screeninfo &var, const fb_fix_screeninfo &fix,
                                       framebuffer_layout &layout);

// Encodes the 1920 x 1080 capture area of the framebuffer open on `fd`, as
// `layout` places it, like write_png. A read that fails sets `read_errno`.
bool write_framebuffer_rows(FILE *fp, int fd, const framebuffer_layout &layout, const std::string &record,
                            int *read_errno);

// Encodes the top-left 1920 x 1080 of the rendered main window (headless)
// like write_png. False, reported on standard error, when nothing is rendered.
bool write_canvas_png(FILE *fp, const std::string &record = {});

// Captures the screen for "1.png" (kind 0) or "1_white.png" (kind 1) of the
// generation `g`, with the job's results record in a text chunk: from the
// canvas when headless, else from the framebuffer `dev_node`. Returns 0 when
// the capture is written whole, -1 (reported on standard error) when not.
int save_osd_to_png(generation_t &g, int kind, const std::string &record, const char *dev_node);

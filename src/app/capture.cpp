#include "app/capture.h"

#include <fcntl.h>
#include <png.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

#include <Ecore_Evas.h>

#include "app/analyzer.h"
#include "app/generation.h"
#include "draw/draw_main_win.h"

namespace {

// Turns a pixel of any supported layout into its 8-bit red, green and blue.
struct rgb_converter {
    struct channel {
        unsigned shift = 0;
        uint32_t mask = 0;
        std::array<uint8_t, 256> to8{};
    };
    channel ch[3];
    unsigned bytes = 4;
    // Byte positions of the channels when each is one whole byte (the
    // canvas's ARGB32 and the usual 24/32-bit framebuffers): a plain copy.
    bool whole_bytes = false;
    unsigned byte_of[3] = {0, 0, 0};

    // False when the layout cannot be converted.
    bool init(const pixel_format &f)
    {
        bytes = f.bytes;
        if (bytes < 2 || bytes > 4)
            return false;
        const channel_bits bits[3] = {f.red, f.green, f.blue};
        whole_bytes = bytes >= 3;
        for (int i = 0; i < 3; ++i) {
            whole_bytes = whole_bytes && bits[i].length == 8 && bits[i].offset % 8 == 0;
            byte_of[i] = bits[i].offset / 8;  // little-endian devices
        }
        for (int i = 0; i < 3; ++i) {
            unsigned offset = bits[i].offset;
            unsigned length = bits[i].length;
            if (length == 0 || offset + length > bytes * 8)
                return false;
            // Wider channels keep their top 8 bits.
            if (length > 8) {
                offset += length - 8;
                length = 8;
            }
            const uint32_t max = (1u << length) - 1;
            ch[i].shift = offset;
            ch[i].mask = max;
            for (uint32_t v = 0; v <= max; ++v)
                ch[i].to8[v] = static_cast<uint8_t>((v * 255 + max / 2) / max);
        }
        return true;
    }

    template <unsigned BYTES>
    void row(const uint8_t *in, uint8_t *out, int width) const
    {
        for (int x = 0; x < width; ++x, in += BYTES, out += 3) {
            uint32_t p = 0;
            std::memcpy(&p, in, BYTES);  // little-endian devices
            out[0] = ch[0].to8[(p >> ch[0].shift) & ch[0].mask];
            out[1] = ch[1].to8[(p >> ch[1].shift) & ch[1].mask];
            out[2] = ch[2].to8[(p >> ch[2].shift) & ch[2].mask];
        }
    }

    template <unsigned BYTES>
    static void byte_row(const uint8_t *in, uint8_t *out, int width, unsigned r, unsigned g, unsigned b)
    {
        for (int x = 0; x < width; ++x, in += BYTES, out += 3) {
            out[0] = in[r];
            out[1] = in[g];
            out[2] = in[b];
        }
    }

    void convert_row(const uint8_t *in, uint8_t *out, int width) const
    {
        if (whole_bytes) {
            // The canvas and most framebuffers: blue, green, red, padding.
            if (bytes == 4 && byte_of[0] == 2 && byte_of[1] == 1 && byte_of[2] == 0)
                byte_row<4>(in, out, width, 2, 1, 0);
            else if (bytes == 4)
                byte_row<4>(in, out, width, byte_of[0], byte_of[1], byte_of[2]);
            else
                byte_row<3>(in, out, width, byte_of[0], byte_of[1], byte_of[2]);
            return;
        }
        switch (bytes) {
        case 2: row<2>(in, out, width); break;
        case 3: row<3>(in, out, width); break;
        default: row<4>(in, out, width); break;
        }
    }
};

// The report is flat areas, lines and text: the "up" filter alone with zlib
// level 3 keeps a capture near 200 KB at about a quarter of the CPU time of
// libpng's adaptive filtering at level 6. No C++ objects live in this frame,
// as libpng reports errors by longjmp.
bool encode_rows(png_structp png, png_infop info, FILE *fp, const row_source &source, int width, int height,
                 const rgb_converter *conv, uint8_t *row, const std::string &record)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_init_io(png, fp);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_sRGB(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
    // The numbers behind the report travel with the picture, compressed.
    png_text text{};
    if (!record.empty()) {
        text.compression = PNG_ITXT_COMPRESSION_zTXt;
        text.key = const_cast<char *>("analyzer-results");
        text.text = const_cast<char *>(record.c_str());
        text.itxt_length = record.size();
        png_set_text(png, info, &text, 1);
    }
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    png_set_compression_level(png, 3);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        const uint8_t *pixels = source(y);
        if (pixels == nullptr)
            return false;
        conv->convert_row(pixels, row, width);
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    return true;
}

// Owns an open descriptor.
struct fd_holder {
    int fd;
    explicit fd_holder(int f) : fd(f) {}
    ~fd_holder()
    {
        if (fd >= 0)
            close(fd);
    }
    fd_holder(const fd_holder &) = delete;
    fd_holder &operator=(const fd_holder &) = delete;
};

// Writes the top-left 1920 x 1080 of the framebuffer's visible screen.
bool write_framebuffer_png(FILE *fp, const char *device, const std::string &record)
{
    fd_holder fb(open(device, O_RDONLY | O_CLOEXEC));
    fb_var_screeninfo var{};
    fb_fix_screeninfo fix{};
    if (fb.fd < 0 || ioctl(fb.fd, FBIOGET_VSCREENINFO, &var) != 0 ||
        ioctl(fb.fd, FBIOGET_FSCREENINFO, &fix) != 0) {
        fprintf(stderr, "save_osd_to_png: cannot read framebuffer %s: %s\n", device, strerror(errno));
        return false;
    }
    framebuffer_layout layout;
    const std::string why = framebuffer_capture_layout(var, fix, layout);
    if (!why.empty()) {
        fprintf(stderr, "save_osd_to_png: framebuffer %s: %s\n", device, why.c_str());
        return false;
    }
    int read_errno = 0;
    if (write_framebuffer_rows(fp, fb.fd, layout, record, &read_errno))
        return true;
    if (read_errno != 0)
        fprintf(stderr, "save_osd_to_png: cannot read framebuffer %s: %s\n", device, strerror(read_errno));
    return false;
}

}  // namespace

bool write_png(FILE *fp, const uint8_t *pixels, int width, int height, size_t stride,
               const pixel_format &format, const std::string &record)
{
    return write_png_rows(
        fp, [&](int y) { return pixels + static_cast<size_t>(y) * stride; }, width, height, format, record);
}

bool write_png_rows(FILE *fp, const row_source &row, int width, int height, const pixel_format &format,
                    const std::string &record)
{
    rgb_converter conv;
    if (!conv.init(format) || width <= 0 || height <= 0)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    std::vector<uint8_t> out(static_cast<size_t>(width) * 3);
    const bool ok = info != nullptr && encode_rows(png, info, fp, row, width, height, &conv, out.data(), record);
    png_destroy_write_struct(&png, &info);
    return ok;
}

bool write_framebuffer_rows(FILE *fp, int fd, const framebuffer_layout &layout, const std::string &record,
                            int *read_errno)
{
    // The screen is read with pread, a block of lines at a time, into a
    // buffer that stays in the cache while its lines are converted: a plain
    // copy out of the driver's memory, with no mapping to set up and no page
    // fault per page (a driver that emulates the framebuffer in system
    // memory faults on every page of a fresh mapping), and few system calls.
    constexpr int BLOCK_LINES = 16;
    const size_t line_bytes = static_cast<size_t>(CAPTURE_W) * layout.format.bytes;
    std::vector<uint8_t> block((BLOCK_LINES - 1) * layout.stride + line_bytes);
    *read_errno = 0;
    const row_source read_line = [&](int y) -> const uint8_t * {
        const int first = y - y % BLOCK_LINES;
        if (y == first) {
            const int lines = std::min(BLOCK_LINES, CAPTURE_H - first);
            const size_t want = static_cast<size_t>(lines - 1) * layout.stride + line_bytes;
            const off_t at = static_cast<off_t>(layout.offset + static_cast<size_t>(first) * layout.stride);
            size_t done = 0;
            while (done < want) {
                const ssize_t n = pread(fd, block.data() + done, want - done, at + static_cast<off_t>(done));
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0) {
                    *read_errno = n < 0 ? errno : EIO;
                    return nullptr;
                }
                done += static_cast<size_t>(n);
            }
        }
        return block.data() + static_cast<size_t>(y - first) * layout.stride;
    };
    return write_png_rows(fp, read_line, CAPTURE_W, CAPTURE_H, layout.format, record);
}

std::string framebuffer_capture_layout(const fb_var_screeninfo &var, const fb_fix_screeninfo &fix,
                                       framebuffer_layout &layout)
{
    const unsigned bpp = var.bits_per_pixel;
    if (fix.type != FB_TYPE_PACKED_PIXELS ||
        (fix.visual != FB_VISUAL_TRUECOLOR && fix.visual != FB_VISUAL_DIRECTCOLOR) ||
        (bpp != 16 && bpp != 24 && bpp != 32))
        return "unsupported pixel format (" + std::to_string(bpp) + " bits per pixel, type " +
               std::to_string(fix.type) + ", visual " + std::to_string(fix.visual) + ")";
    layout.format = {bpp / 8,
                     {var.red.offset, var.red.length},
                     {var.green.offset, var.green.length},
                     {var.blue.offset, var.blue.length}};
    rgb_converter check;
    if (var.red.msb_right || var.green.msb_right || var.blue.msb_right || !check.init(layout.format))
        return "unsupported colour bitfields";
    if (var.xres < CAPTURE_W || var.yres < CAPTURE_H)
        return "visible screen " + std::to_string(var.xres) + " x " + std::to_string(var.yres) +
               " is smaller than 1920 x 1080";
    layout.stride = fix.line_length != 0 ? fix.line_length : static_cast<size_t>(var.xres_virtual) * (bpp / 8);
    layout.offset = static_cast<size_t>(var.yoffset) * layout.stride + static_cast<size_t>(var.xoffset) * (bpp / 8);
    const size_t end = layout.offset + (CAPTURE_H - 1) * layout.stride + static_cast<size_t>(CAPTURE_W) * (bpp / 8);
    layout.memory_size = fix.smem_len != 0 ? fix.smem_len : static_cast<size_t>(var.yres_virtual) * layout.stride;
    if (static_cast<size_t>(var.xoffset + CAPTURE_W) * (bpp / 8) > layout.stride || end > layout.memory_size)
        return "visible screen lies outside the framebuffer memory";
    return "";
}

bool write_canvas_png(FILE *fp, const std::string &record)
{
    Ecore_Evas *ee = win != nullptr ? ecore_evas_ecore_evas_get(evas_object_evas_get(win)) : nullptr;
    if (ee == nullptr)
        return false;
    int w = 0, h = 0;
    ecore_evas_geometry_get(ee, nullptr, nullptr, &w, &h);
    const auto *pixels = static_cast<const uint8_t *>(ecore_evas_buffer_pixels_get(ee));
    if (pixels == nullptr || w < CAPTURE_W || h < CAPTURE_H) {
        fprintf(stderr, "save_osd_to_png: no rendered canvas to capture\n");
        return false;
    }
    return write_png(fp, pixels, CAPTURE_W, CAPTURE_H, static_cast<size_t>(w) * 4, ARGB32, record);
}

int save_osd_to_png(generation_t &g, int kind, const std::string &record, const char *dev_node)
{
    const job_file_kind file = kind == 1 ? FILE_WHITE : FILE_DARK;
    const bool ok = stage_file(g, file, [&](FILE *fp) {
        return headless_display() ? write_canvas_png(fp, record) : write_framebuffer_png(fp, dev_node, record);
    });
    if (!ok) {
        fprintf(stderr, "save_osd_to_png: capture %s/%s failed: %s\n", g.dir.c_str(), job_files[file].current,
                strerror(errno));
        return -1;
    }
    return 0;
}

// Compares two PNG files: their pixels as RGBA, each channel within a
// tolerance, and their text chunks (keyword and text) byte for byte. Either
// file may also be a binary PPM (P6, 8 bits), such as qemu's screendump of an
// emulated display; it has no text, so --pixels leaves the text out.
//
//   png_compare [--tolerance N] [--pixels] A.png B.png
//
// Prints one line: how many pixels differ and by how much at most. Exit
// status 0 when the images match within the tolerance and carry the same
// text, 1 when they do not, 2 when a file cannot be read.
#include <png.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "archive/png_text.h"

namespace {

struct picture {
    unsigned width = 0, height = 0;
    std::vector<unsigned char> rgba;
    std::string text;  // every text chunk before the image data: keyword, NUL, text, NUL
    bool ok = false;
};

using file_ptr = std::unique_ptr<FILE, int (*)(FILE *)>;

// Reads the text chunks, then the pixels expanded to 8-bit RGBA. No C++
// object is created in this frame after setjmp, as libpng reports errors by
// longjmp.
bool read_into(png_structp png, png_infop info, FILE *fp, picture &pic)
{
    const bool read = read_png_text_chunks(png, info, fp, [&](const char *key, std::string_view text) {
        pic.text.append(key).push_back('\0');
        pic.text.append(text).push_back('\0');
    });
    if (!read || setjmp(png_jmpbuf(png)))
        return false;
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xff, PNG_FILLER_AFTER);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    pic.width = png_get_image_width(png, info);
    pic.height = png_get_image_height(png, info);
    pic.rgba.resize(static_cast<size_t>(pic.width) * pic.height * 4);
    for (int pass = 0; pass < passes; ++pass)
        for (unsigned y = 0; y < pic.height; ++y)
            png_read_row(png, &pic.rgba[static_cast<size_t>(y) * pic.width * 4], nullptr);
    return true;
}

// A binary PPM with 8-bit channels, after its "P6" magic.
bool read_ppm(FILE *fp, picture &pic)
{
    unsigned maxval = 0;
    if (std::fscanf(fp, "%u %u %u", &pic.width, &pic.height, &maxval) != 3 || maxval != 255 ||
        !std::isspace(std::fgetc(fp)) || pic.width == 0 || pic.height == 0 || pic.width > 1 << 15 ||
        pic.height > 1 << 15)
        return false;
    std::vector<unsigned char> rgb(static_cast<size_t>(pic.width) * pic.height * 3);
    if (std::fread(rgb.data(), 1, rgb.size(), fp) != rgb.size())
        return false;
    pic.rgba.resize(rgb.size() / 3 * 4);
    for (size_t i = 0, o = 0; i < rgb.size(); i += 3, o += 4) {
        std::memcpy(&pic.rgba[o], &rgb[i], 3);
        pic.rgba[o + 3] = 0xff;
    }
    return true;
}

picture read_picture(const char *path)
{
    picture pic;
    file_ptr fp(std::fopen(path, "rb"), std::fclose);
    if (!fp)
        return pic;
    char magic[2] = {};
    if (std::fread(magic, 1, 2, fp.get()) == 2 && magic[0] == 'P' && magic[1] == '6') {
        pic.ok = read_ppm(fp.get(), pic);
        return pic;
    }
    std::rewind(fp.get());
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    pic.ok = info != nullptr && read_into(png, info, fp.get(), pic);
    png_destroy_read_struct(&png, &info, nullptr);
    return pic;
}

}  // namespace

int main(int argc, char **argv)
{
    int tolerance = 0, arg = 1;
    bool pixels_only = false;
    for (; arg < argc - 2; ++arg) {
        if (std::strcmp(argv[arg], "--tolerance") == 0 && arg + 1 < argc - 2)
            tolerance = std::atoi(argv[++arg]);
        else if (std::strcmp(argv[arg], "--pixels") == 0)
            pixels_only = true;
        else
            break;
    }
    if (argc - arg != 2) {
        std::fprintf(stderr, "usage: %s [--tolerance N] [--pixels] A.png B.png\n", argv[0]);
        return 2;
    }
    const picture a = read_picture(argv[arg]), b = read_picture(argv[arg + 1]);
    for (const auto &[pic, path] : {std::pair{&a, argv[arg]}, {&b, argv[arg + 1]}})
        if (!pic->ok) {
            std::fprintf(stderr, "png_compare: cannot read %s\n", path);
            return 2;
        }
    if (a.width != b.width || a.height != b.height) {
        std::printf("%s: %u x %u against %u x %u\n", argv[arg + 1], a.width, a.height, b.width, b.height);
        return 1;
    }
    long differing = 0;
    int largest = 0;
    for (size_t k = 0; k < a.rgba.size(); k += 4) {
        int d = 0;
        for (size_t c = 0; c < 4; ++c)
            d = std::max(d, std::abs(a.rgba[k + c] - b.rgba[k + c]));
        differing += d > 0;
        largest = std::max(largest, d);
    }
    const bool same_text = pixels_only || a.text == b.text;
    std::printf("%s: %ld of %zu pixels differ, largest difference %d%s\n", argv[arg + 1], differing,
                a.rgba.size() / 4, largest, same_text ? "" : "; the text chunks differ");
    return largest <= tolerance && same_text ? 0 : 1;
}

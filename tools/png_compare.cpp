// Compares two PNG files: their pixels as RGBA, each channel within a
// tolerance, and their text chunks (keyword and text) byte for byte.
//
//   png_compare [--tolerance N] A.png B.png
//
// Prints one line: how many pixels differ and by how much at most. Exit
// status 0 when the images match within the tolerance and carry the same
// text, 1 when they do not, 2 when a file cannot be read.
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct picture {
    unsigned width = 0, height = 0;
    std::vector<unsigned char> rgba;
    std::string text;  // every text chunk before the image data: keyword, NUL, text, NUL
    bool ok = false;
};

using file_ptr = std::unique_ptr<FILE, int (*)(FILE *)>;

// The text chunks, read with the full API (the simplified one skips them).
bool read_text(const char *path, std::string &out)
{
    file_ptr fp(std::fopen(path, "rb"), std::fclose);
    if (!fp)
        return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    bool ok = false;
    if (info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, fp.get());
        png_read_info(png, info);
        png_textp text = nullptr;
        const int n = png_get_text(png, info, &text, nullptr);
        for (int i = 0; i < n; ++i) {
            const size_t len = text[i].compression >= PNG_ITXT_COMPRESSION_NONE ? text[i].itxt_length
                                                                               : text[i].text_length;
            out.append(text[i].key).push_back('\0');
            out.append(text[i].text, len).push_back('\0');
        }
        ok = true;
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return ok;
}

picture read_picture(const char *path)
{
    picture pic;
    png_image img{};
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&img, path))
        return pic;
    img.format = PNG_FORMAT_RGBA;
    pic.width = img.width;
    pic.height = img.height;
    pic.rgba.resize(PNG_IMAGE_SIZE(img));
    pic.ok = png_image_finish_read(&img, nullptr, pic.rgba.data(), 0, nullptr) != 0 && read_text(path, pic.text);
    png_image_free(&img);
    return pic;
}

}  // namespace

int main(int argc, char **argv)
{
    int tolerance = 0, arg = 1;
    if (argc == 5 && std::strcmp(argv[1], "--tolerance") == 0) {
        tolerance = std::atoi(argv[2]);
        arg = 3;
    }
    if (argc - arg != 2) {
        std::fprintf(stderr, "usage: %s [--tolerance N] A.png B.png\n", argv[0]);
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
    const bool same_text = a.text == b.text;
    std::printf("%s: %ld of %zu pixels differ, largest difference %d%s\n", argv[arg + 1], differing,
                a.rgba.size() / 4, largest, same_text ? "" : "; the text chunks differ");
    return largest <= tolerance && same_text ? 0 : 1;
}

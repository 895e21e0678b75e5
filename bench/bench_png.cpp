// Encodes report captures again with several libpng filter / zlib settings
// and prints the CPU time and the size of each, to choose the capture's
// settings. Usage: bench_png FILE.png...
#include <png.h>
#include <zlib.h>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct image {
    unsigned width = 0, height = 0;
    std::vector<uint8_t> rgb;
};

bool read_rgb(const char *path, image &img)
{
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path))
        return false;
    png.format = PNG_FORMAT_RGB;
    img.width = png.width;
    img.height = png.height;
    img.rgb.resize(PNG_IMAGE_SIZE(png));
    bool ok = png_image_finish_read(&png, nullptr, img.rgb.data(), 0, nullptr) != 0;
    png_image_free(&png);
    return ok;
}

double cpu_ms()
{
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

struct sink {
    size_t bytes = 0;
};

void count_bytes(png_structp png, png_bytep, png_size_t n)
{
    static_cast<sink *>(png_get_io_ptr(png))->bytes += n;
}

void no_flush(png_structp) {}

// filters < 0: the simplified API (its own defaults).
size_t encode(const image &img, int filters, int level, int strategy)
{
    if (filters < 0) {
        png_image png;
        std::memset(&png, 0, sizeof png);
        png.version = PNG_IMAGE_VERSION;
        png.width = img.width;
        png.height = img.height;
        png.format = PNG_FORMAT_RGB;
        static std::vector<uint8_t> out;
        out.resize(PNG_IMAGE_PNG_SIZE_MAX(png));
        png_alloc_size_t size = out.size();
        if (!png_image_write_to_memory(&png, out.data(), &size, 0, img.rgb.data(), 0, nullptr))
            return 0;
        return size;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    sink s;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return 0;
    }
    png_set_write_fn(png, &s, count_bytes, no_flush);
    png_set_IHDR(png, info, img.width, img.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, filters);
    png_set_compression_level(png, level);
    png_set_compression_strategy(png, strategy);
    png_write_info(png, info);
    for (unsigned y = 0; y < img.height; ++y)
        png_write_row(png, img.rgb.data() + static_cast<size_t>(y) * img.width * 3);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return s.bytes;
}

struct setting {
    const char *name;
    int filters, level, strategy;
};

const setting SETTINGS[] = {
    {"simplified API (defaults)", -1, 0, 0},
    {"all filters, level 6", PNG_ALL_FILTERS, 6, Z_FILTERED},
    {"none, level 6", PNG_FILTER_NONE, 6, Z_DEFAULT_STRATEGY},
    {"none, level 1", PNG_FILTER_NONE, 1, Z_DEFAULT_STRATEGY},
    {"none, level 3", PNG_FILTER_NONE, 3, Z_DEFAULT_STRATEGY},
    {"none, RLE", PNG_FILTER_NONE, 6, Z_RLE},
    {"sub, level 1", PNG_FILTER_SUB, 1, Z_DEFAULT_STRATEGY},
    {"sub, level 3", PNG_FILTER_SUB, 3, Z_DEFAULT_STRATEGY},
    {"sub, RLE", PNG_FILTER_SUB, 6, Z_RLE},
    {"up, level 1", PNG_FILTER_UP, 1, Z_DEFAULT_STRATEGY},
    {"up, level 2", PNG_FILTER_UP, 2, Z_DEFAULT_STRATEGY},
    {"up, level 3", PNG_FILTER_UP, 3, Z_DEFAULT_STRATEGY},
    {"up, level 4", PNG_FILTER_UP, 4, Z_DEFAULT_STRATEGY},
    {"up, level 6", PNG_FILTER_UP, 6, Z_DEFAULT_STRATEGY},
    {"sub+up, level 3", PNG_FILTER_SUB | PNG_FILTER_UP, 3, Z_DEFAULT_STRATEGY},
    {"up, RLE", PNG_FILTER_UP, 6, Z_RLE},
    {"paeth, level 3", PNG_FILTER_PAETH, 3, Z_DEFAULT_STRATEGY},
};

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: %s FILE.png...\n", argv[0]);
        return 2;
    }
    constexpr int REPEAT = 5;
    for (int a = 1; a < argc; ++a) {
        image img;
        if (!read_rgb(argv[a], img)) {
            fprintf(stderr, "%s: not readable\n", argv[a]);
            return 1;
        }
        printf("%s (%ux%u)\n", argv[a], img.width, img.height);
        printf("  %-28s %10s %10s\n", "setting", "CPU ms", "bytes");
        for (const setting &s : SETTINGS) {
            std::vector<double> times;
            size_t bytes = 0;
            for (int r = 0; r < REPEAT; ++r) {
                double t0 = cpu_ms();
                bytes = encode(img, s.filters, s.level, s.strategy);
                times.push_back(cpu_ms() - t0);
            }
            std::sort(times.begin(), times.end());
            printf("  %-28s %10.1f %10zu\n", s.name, times[REPEAT / 2], bytes);
        }
    }
    return 0;
}

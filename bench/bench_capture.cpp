// The capture's cost in device mode against headless, in one process so that
// the machine's load falls on both alike: encodes the same 1920 x 1080 frame
// from memory (as the canvas is captured headless) and from a file read the
// way the framebuffer is read (as on the emulated framebuffer, whose memory
// is a file in the page cache), alternately, and prints the CPU time of each.
// Usage: bench_capture CAPTURE.png [ROUNDS]
#include <fcntl.h>
#include <png.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/capture.h"

namespace {

double thread_cpu_ms()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: bench_capture CAPTURE.png [ROUNDS]\n");
        return 2;
    }
    const int rounds = argc > 2 ? atoi(argv[2]) : 15;
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, argv[1]) || png.width != CAPTURE_W || png.height != CAPTURE_H) {
        fprintf(stderr, "bench_capture: %s is no 1920 x 1080 PNG\n", argv[1]);
        return 1;
    }
    png.format = PNG_FORMAT_BGRA;  // the canvas's ARGB32 in memory
    std::vector<uint8_t> frame(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, frame.data(), 0, nullptr))
        return 1;
    png_image_free(&png);

    char fb_path[] = "/tmp/bench-capture-fb-XXXXXX";
    const int fd = mkstemp(fb_path);
    if (fd < 0 || write(fd, frame.data(), frame.size()) != static_cast<ssize_t>(frame.size()))
        return 1;
    unlink(fb_path);
    framebuffer_layout layout;
    layout.stride = static_cast<size_t>(CAPTURE_W) * 4;
    layout.memory_size = frame.size();
    layout.format = ARGB32;

    FILE *out = fopen("/dev/null", "wb");
    std::vector<double> headless, device, difference, mapped;
    for (int i = 0; i < rounds; ++i) {
        double t = thread_cpu_ms();
        write_png(out, frame.data(), CAPTURE_W, CAPTURE_H, layout.stride, ARGB32);
        const double h = thread_cpu_ms() - t;
        t = thread_cpu_ms();
        int read_errno = 0;
        if (!write_framebuffer_rows(out, fd, layout, {}, &read_errno)) {
            fprintf(stderr, "bench_capture: read failed: %s\n", strerror(read_errno));
            return 1;
        }
        const double d = thread_cpu_ms() - t;
        // The earlier way: a fresh populated mapping for each capture.
        t = thread_cpu_ms();
        void *map = mmap(nullptr, frame.size(), PROT_READ, MAP_SHARED | MAP_POPULATE, fd, 0);
        if (map == MAP_FAILED)
            return 1;
        write_png(out, static_cast<const uint8_t *>(map), CAPTURE_W, CAPTURE_H, layout.stride, ARGB32);
        munmap(map, frame.size());
        mapped.push_back(thread_cpu_ms() - t);
        headless.push_back(h);
        device.push_back(d);
        difference.push_back(d - h);
    }
    fclose(out);
    close(fd);
    printf("| capture of %s, %d rounds | headless (from memory) | device (pread from the framebuffer) | "
           "difference, paired | device / headless | device, mmap per capture (before) |\n|---|---|---|---|---|---|\n",
           argv[1], rounds);
    printf("| median CPU ms | %.2f | %.2f | %+.2f | %.3f | %.2f |\n", median(headless), median(device),
           median(difference), median(device) / median(headless), median(mapped));
    return 0;
}

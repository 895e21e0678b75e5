// A user-space framebuffer for tests, loaded with LD_PRELOAD. Opening the
// device path in FBDEV_EMU_DEVICE opens the plain file FBDEV_EMU_FILE instead
// (failing with ENOENT while that file does not exist, as a device whose
// module is not loaded), and the fbdev ioctls on such a descriptor are
// answered here. mmap and read work on the file as they do on the device.
//
//   FBDEV_EMU_DEVICE   device path to answer for, e.g. /dev/fb7
//   FBDEV_EMU_FILE     backing file; grown to the screen memory size on open
//   FBDEV_EMU_BPP      32 (default, XRGB8888) or 16 (RGB565)
//   FBDEV_EMU_VHEIGHT  virtual height (default 1080); the visible screen is
//   FBDEV_EMU_YOFFSET  at this line of it (default 0) until the display is panned
//   FBDEV_EMU_SHOWN    file created when the display is lit (see below)
//
// The ioctls answer as Linux's DRM framebuffer emulation does (virtio-gpu on
// a booted ARM kernel): XRGB8888 without alpha, a visible size that can be
// made smaller but not larger, a fixed format (a request for another depth
// is answered with the current one), pans within the virtual screen. Such a
// driver lights the display only when the mode is set or the display panned,
// not when the same mode is set again: until then the screen shows nothing of
// what is drawn. Only the fbdev interface is emulated; console (VT) handling
// must be turned off in the program under test (ECORE_FB_NO_VT=1).
#include <dlfcn.h>
#include <fcntl.h>
#include <linux/fb.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int WIDTH = 1920;
constexpr int HEIGHT = 1080;
constexpr int MAX_FD = 4096;

std::atomic<bool> emulated[MAX_FD];
// The visible screen's first line: FBDEV_EMU_YOFFSET until the display is panned.
std::atomic<int> pan_y{-1};
// The visible size, as the last mode set left it.
std::atomic<unsigned> visible_w{WIDTH}, visible_h{HEIGHT};

unsigned env_number(const char *name, unsigned fallback)
{
    const char *v = getenv(name);
    return v != nullptr && *v != '\0' ? static_cast<unsigned>(strtoul(v, nullptr, 10)) : fallback;
}

unsigned bpp() { return env_number("FBDEV_EMU_BPP", 32) == 16 ? 16 : 32; }
unsigned virtual_height() { return env_number("FBDEV_EMU_VHEIGHT", HEIGHT); }
unsigned line_length() { return WIDTH * bpp() / 8; }
unsigned memory_size() { return line_length() * virtual_height(); }

unsigned yoffset()
{
    if (pan_y < 0)
        pan_y = static_cast<int>(env_number("FBDEV_EMU_YOFFSET", 0));
    return static_cast<unsigned>(pan_y.load());
}

bool is_device(const char *path)
{
    const char *dev = getenv("FBDEV_EMU_DEVICE");
    return path != nullptr && dev != nullptr && *dev != '\0' && strcmp(path, dev) == 0;
}

template <typename F>
F next(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

int open_backing(int flags)
{
    const char *file = getenv("FBDEV_EMU_FILE");
    if (file == nullptr) {
        errno = ENODEV;
        return -1;
    }
    static auto real_open = next<int (*)(const char *, int, ...)>("open");
    int fd = real_open(file, (flags & ~(O_CREAT | O_TRUNC | O_EXCL)) | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat st;
    if (fstat(fd, &st) == 0 && st.st_size < static_cast<off_t>(memory_size()) &&
        truncate(file, memory_size()) != 0) {
        close(fd);
        errno = EIO;
        return -1;
    }
    if (fd < MAX_FD)
        emulated[fd] = true;
    return fd;
}

void fill_var(fb_var_screeninfo &v)
{
    memset(&v, 0, sizeof v);
    v.xres = visible_w;
    v.xres_virtual = WIDTH;
    v.yres = visible_h;
    v.yres_virtual = virtual_height();
    v.yoffset = yoffset();
    v.bits_per_pixel = bpp();
    if (bpp() == 16) {
        v.red = {11, 5, 0};
        v.green = {5, 6, 0};
        v.blue = {0, 5, 0};
    } else {
        v.red = {16, 8, 0};
        v.green = {8, 8, 0};
        v.blue = {0, 8, 0};
    }
    v.height = v.width = static_cast<unsigned>(-1);
}

void fill_fix(fb_fix_screeninfo &f)
{
    memset(&f, 0, sizeof f);
    strncpy(f.id, "fbdev-emu", sizeof f.id - 1);
    f.smem_len = memory_size();
    f.type = FB_TYPE_PACKED_PIXELS;
    f.visual = FB_VISUAL_TRUECOLOR;
    f.xpanstep = f.ypanstep = 1;
    f.line_length = line_length();
}

int emulated_ioctl(unsigned long request, void *arg)
{
    switch (request) {
    case FBIOGET_VSCREENINFO:
        fill_var(*static_cast<fb_var_screeninfo *>(arg));
        return 0;
    case FBIOGET_FSCREENINFO:
        fill_fix(*static_cast<fb_fix_screeninfo *>(arg));
        return 0;
    case FBIOPUT_VSCREENINFO:
    case FBIOPAN_DISPLAY: {
        auto *v = static_cast<fb_var_screeninfo *>(arg);
        const bool put = request == FBIOPUT_VSCREENINFO;
        const unsigned w = put ? v->xres : visible_w.load(), h = put ? v->yres : visible_h.load();
        if (w == 0 || h == 0 || w > WIDTH || v->xres_virtual > WIDTH || v->yres_virtual > virtual_height() ||
            v->yoffset + h > virtual_height() || v->xoffset != 0 || (put && v->bits_per_pixel > bpp())) {
            errno = EINVAL;
            return -1;
        }
        // Setting the mode it has changes nothing, and lights nothing.
        const bool same = (v->activate & FB_ACTIVATE_FORCE) == 0 && w == visible_w && h == visible_h &&
                          v->yoffset == yoffset();
        if (put && !same) {
            visible_w = w;
            visible_h = h;
        }
        if (!put || !same)
            pan_y = static_cast<int>(v->yoffset);
        if (put)
            fill_var(*v);
        if (put && same)
            return 0;
        if (const char *shown = getenv("FBDEV_EMU_SHOWN"); shown != nullptr && *shown != '\0') {
            static auto real_open = next<int (*)(const char *, int, ...)>("open");
            const int fd = real_open(shown, O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            if (fd >= 0)
                close(fd);
        }
        return 0;
    }
    case FBIOGETCMAP:
    case FBIOPUTCMAP:
    case FBIOBLANK:
        return 0;
    default:
        errno = ENOTTY;
        return -1;
    }
}

mode_t mode_arg(int flags, va_list ap)
{
    return (flags & (O_CREAT | O_TMPFILE)) != 0 ? static_cast<mode_t>(va_arg(ap, int)) : 0;
}

// The open family: the device goes to the backing file, any other path to
// the C library's function of that name (with a directory for the *at ones).
constexpr int NO_DIRFD = INT_MIN;

int open_path(const char *name, int dirfd, const char *path, int flags, mode_t mode)
{
    if (is_device(path))
        return open_backing(flags);
    if (dirfd == NO_DIRFD)
        return next<int (*)(const char *, int, ...)>(name)(path, flags, mode);
    return next<int (*)(int, const char *, int, ...)>(name)(dirfd, path, flags, mode);
}

}  // namespace

#define MODE_FROM_VARARGS(flags)        \
    va_list ap;                          \
    va_start(ap, flags);                 \
    const mode_t mode = mode_arg(flags, ap); \
    va_end(ap)

extern "C" {

int open(const char *path, int flags, ...)
{
    MODE_FROM_VARARGS(flags);
    return open_path("open", NO_DIRFD, path, flags, mode);
}

int open64(const char *path, int flags, ...)
{
    MODE_FROM_VARARGS(flags);
    return open_path("open64", NO_DIRFD, path, flags, mode);
}

int openat(int dirfd, const char *path, int flags, ...)
{
    MODE_FROM_VARARGS(flags);
    return open_path("openat", dirfd, path, flags, mode);
}

int openat64(int dirfd, const char *path, int flags, ...)
{
    MODE_FROM_VARARGS(flags);
    return open_path("openat64", dirfd, path, flags, mode);
}

int __open_2(const char *path, int flags)
{
    return open(path, flags);
}

int __open64_2(const char *path, int flags)
{
    return open64(path, flags);
}

int close(int fd)
{
    if (fd >= 0 && fd < MAX_FD)
        emulated[fd] = false;
    static auto real = next<int (*)(int)>("close");
    return real(fd);
}

int ioctl(int fd, unsigned long request, ...)
{
    va_list ap;
    va_start(ap, request);
    void *arg = va_arg(ap, void *);
    va_end(ap);
    if (fd >= 0 && fd < MAX_FD && emulated[fd])
        return emulated_ioctl(request, arg);
    static auto real = next<int (*)(int, unsigned long, ...)>("ioctl");
    return real(fd, request, arg);
}

}  // extern "C"

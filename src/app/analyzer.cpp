#include "app/analyzer.h"

#include <dirent.h>
#include <fcntl.h>
#include <png.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <Ecore_Evas.h>

#include "app/results_file.h"
#include "config/configure.h"
#include "config/paths.h"
#include "config/reference.h"
#include "draw/draw_hdr_page.h"
#include "draw/draw_logo.h"
#include "draw/draw_main_win.h"
#include "draw/draw_sdr_page.h"
#include "measure/start_measure.h"

extern char **environ;

char dev_node[DEV_NODE_SIZE] = {0};

namespace {

constexpr int SCREEN_W = 1920;
constexpr int SCREEN_H = 1080;

// Signals are written to this pipe once the main loop runs, and handled there.
int signal_pipe[2] = {-1, -1};
volatile sig_atomic_t loop_running = 0;

// Runs a program with an argument vector (no shell) and waits for it.
// Returns the wait status, or -1 when it cannot be started.
int run_command(const std::vector<std::string> &args)
{
    std::vector<char *> argv;
    for (const std::string &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return status;
}

// Async-signal-safe decimal output of a small non-negative number.
size_t format_int(char *buf, int value)
{
    char tmp[12];
    size_t n = 0;
    do {
        tmp[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0 && n < sizeof tmp);
    for (size_t i = 0; i < n; ++i)
        buf[i] = tmp[n - 1 - i];
    return n;
}

void write_all(const char *text, size_t len)
{
    while (len > 0) {
        ssize_t n = write(STDOUT_FILENO, text, len);
        if (n <= 0)
            return;
        text += n;
        len -= static_cast<size_t>(n);
    }
}

// The termination messages, written with write(2) only.
void write_signal_message(int sig)
{
    char buf[160];
    size_t n = 0;
    const char *head = "Info: sig = ";
    const char *tail = ", run exiting...\n";
    std::memcpy(buf + n, head, std::strlen(head));
    n += std::strlen(head);
    n += format_int(buf + n, sig);
    std::memcpy(buf + n, tail, std::strlen(tail));
    n += std::strlen(tail);
    write_all(buf, n);
    if (sig == SIGSEGV) {
        n = 0;
        const char *red = "\033[31mError: sig = ";
        const char *rest = ", \n\n\nSSSSSSSSSSSSSSSSSSSSS.\n\n\n\033[0m";
        std::memcpy(buf + n, red, std::strlen(red));
        n += std::strlen(red);
        n += format_int(buf + n, sig);
        std::memcpy(buf + n, rest, std::strlen(rest));
        n += std::strlen(rest);
        write_all(buf, n);
    }
}

// Main-loop side of a termination signal: the pages are deleted safely here.
[[noreturn]] void terminate_in_loop(int sig)
{
    fflush(stdout);
    write_signal_message(sig);
    del_sdr_page();
    del_hdr_page();
    fflush(stdout);
    exit(-1);
}

Eina_Bool signal_pipe_cb(void *, Ecore_Fd_Handler *)
{
    int sig = 0;
    if (read(signal_pipe[0], &sig, sizeof sig) != static_cast<ssize_t>(sizeof sig))
        return ECORE_CALLBACK_RENEW;
    terminate_in_loop(sig);
}

// A signal that arrived while the toolkit was starting was caught by its own
// handler and queued as an exit event: end the run the same way.
Eina_Bool signal_exit_event_cb(void *, int, void *event)
{
    const auto *ev = static_cast<const Ecore_Event_Signal_Exit *>(event);
    terminate_in_loop(ev->interrupt ? SIGINT : ev->quit ? SIGQUIT : SIGTERM);
}

void install_signal_pipe()
{
    if (pipe2(signal_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        perror("pipe");
        return;
    }
    ecore_main_fd_handler_add(signal_pipe[0], ECORE_FD_READ, signal_pipe_cb, nullptr, nullptr,
                              nullptr);
}

Eina_Bool loop_started_cb(void *)
{
    loop_running = 1;
    return ECORE_CALLBACK_CANCEL;
}

void probe_framebuffer()
{
    const std::string module = device_path(FB_MODULE);
    const std::string command = "insmod " + module;
    int fd = open(dev_node, O_RDWR);
    if (fd >= 0) {
        close(fd);
        return;
    }
    printf("Info: fb dev not open. %s\n", command.c_str());
    fflush(stdout);
    run_command({"insmod", module});
    fd = open(dev_node, O_RDWR);
    if (fd < 0) {
        printf("Error: fb dev not open (2). %s\n", command.c_str());
        fflush(stdout);
        exit(-1);
    }
    close(fd);
}

// Encodes the frame (ARGB32 rows of `stride` pixels, opaque) as 8-bit RGB,
// one row at a time. The report is flat areas, lines and text: the "up"
// filter alone with zlib level 3 keeps a capture near 200 KB at about a
// quarter of the CPU time of libpng's adaptive filtering at level 6.
// No C++ objects live in this frame, as libpng reports errors by longjmp.
bool encode_png(png_structp png, png_infop info, FILE *fp, const uint32_t *pixels, int stride, uint8_t *row)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_init_io(png, fp);
    png_set_IHDR(png, info, SCREEN_W, SCREEN_H, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_sRGB(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    png_set_compression_level(png, 3);
    png_write_info(png, info);
    for (int y = 0; y < SCREEN_H; ++y) {
        const uint32_t *in = pixels + static_cast<size_t>(y) * stride;
        for (int x = 0; x < SCREEN_W; ++x) {
            uint32_t p = in[x];
            row[3 * x] = static_cast<uint8_t>(p >> 16);
            row[3 * x + 1] = static_cast<uint8_t>(p >> 8);
            row[3 * x + 2] = static_cast<uint8_t>(p);
        }
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    return true;
}

// Writes the top-left 1920 x 1080 of the rendered window as PNG.
bool write_canvas_png(const char *path)
{
    Ecore_Evas *ee = ecore_evas_ecore_evas_get(evas_object_evas_get(win));
    if (ee == nullptr)
        return false;
    int w = 0, h = 0;
    ecore_evas_geometry_get(ee, nullptr, nullptr, &w, &h);
    const auto *pixels = static_cast<const uint32_t *>(ecore_evas_buffer_pixels_get(ee));
    if (pixels == nullptr || w < SCREEN_W || h < SCREEN_H)
        return false;
    FILE *fp = fopen(path, "wb");
    if (fp == nullptr)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    std::vector<uint8_t> row(static_cast<size_t>(SCREEN_W) * 3);
    bool ok = info != nullptr && encode_png(png, info, fp, pixels, w, row.data());
    png_destroy_write_struct(&png, &info);
    if (fclose(fp) != 0)
        ok = false;
    return ok;
}

// Captures into a temporary file beside `path` and renames it into place, so
// that an interrupted capture never leaves a truncated file under the name.
int grab_screen(const std::string &dir, const std::string &path)
{
    std::string tmpl = dir + "/.capture-XXXXXX";
    std::vector<char> tmp(tmpl.begin(), tmpl.end());
    tmp.push_back('\0');
    int fd = mkstemp(tmp.data());
    if (fd < 0) {
        fprintf(stderr, "save_osd_to_png: %s: %s\n", dir.c_str(), strerror(errno));
        return -1;
    }
    // mkstemp makes the file private; a capture is readable like any file.
    fchmod(fd, 0644);
    close(fd);
    int status;
    if (headless_display()) {
        status = write_canvas_png(tmp.data()) ? 0 : -1;
    } else {
        status = run_command({"fbgrab", "-d", dev_node, "-a", "-b", "32", "-w", "1920", "-h", "1080",
                              tmp.data()});
    }
    if (status == 0 && rename(tmp.data(), path.c_str()) != 0)
        status = -1;
    if (status != 0) {
        fprintf(stderr, "save_osd_to_png: capture %s failed\n", path.c_str());
        unlink(tmp.data());
    }
    return status;
}

}  // namespace

int choose_fb_device()
{
    const char *env = getenv("EVAS_FB_DEV");
    if (env != nullptr) {
        printf("Info: Use env fb = %s\n", env);
        if (std::strlen(env) >= sizeof dev_node) {
            printf("Error: EVAS_FB_DEV is too long (at most %zu characters).\n", sizeof dev_node - 1);
            return -1;
        }
        snprintf(dev_node, sizeof dev_node, "%s", env);
    } else {
        puts("Info: Use default fb = /dev/fb0");
        snprintf(dev_node, sizeof dev_node, "%s", "/dev/fb0");
    }
    return 0;
}

int save_osd_to_png(int kind)
{
    const std::string dir = device_path(CAPTURE_DIR);
    const char *current_name = kind == 1 ? "1_white.png" : "1.png";
    const char *previous_name = kind == 1 ? "2_white.png" : "2.png";

    DIR *d = opendir(dir.c_str());
    if (d == nullptr) {
        printf("Warning: opendir [%s] fail! mkdir dir.\n", dir.c_str());
        std::error_code ec;
        std::filesystem::create_directories(dir, ec);
        if (ec)
            fprintf(stderr, "mkdir %s: %s\n", dir.c_str(), ec.message().c_str());
    } else {
        closedir(d);
    }

    const std::string current = dir + "/" + current_name;
    if (access(current.c_str(), F_OK) != 0) {
        printf("[%s]: unexist name: [%s]\n", "save_osd_to_png", current.c_str());
    } else {
        const std::string previous = dir + "/" + previous_name;
        if (access(previous.c_str(), F_OK) == 0) {
            unlink(previous.c_str());
            printf(" removed [%s]\n", previous.c_str());
        }
        printf(" find [%s]\n", current.c_str());
        if (rename(current.c_str(), previous.c_str()) == 0) {
            printf(" rename to [%s]\n", previous.c_str());
        } else {
            unlink(current.c_str());
            printf(" removed [%s]\n", current.c_str());
        }
    }
    fflush(stdout);
    return grab_screen(dir, current);
}

void install_signal_handlers()
{
    signal(SIGTERM, run_terminate);
    signal(SIGINT, run_terminate);
    signal(SIGQUIT, run_terminate);
    signal(SIGSEGV, run_terminate);
}

void run_terminate(int sig)
{
    if (loop_running && sig != SIGSEGV && signal_pipe[1] >= 0) {
        // Hand over to the main loop, where deleting the pages is safe.
        int saved = errno;
        if (write(signal_pipe[1], &sig, sizeof sig) == static_cast<ssize_t>(sizeof sig)) {
            errno = saved;
            return;
        }
        errno = saved;
    }
    // Outside the main loop (or on a fault) toolkit objects may be half made:
    // report and leave at once.
    write_signal_message(sig);
    _exit(255);
}

Eina_Bool _exit_app_cb(void *)
{
    puts("run exit!");
    elm_win_render(win);
    save_osd_to_png(0);
    save_results_file();
    set_win_bg_color(255, 255, 255);
    if (reference != nullptr && reference->test_type >= 2)
        change_hdr_chart_style(1);
    else
        change_sdr_chart_style(1);
    elm_win_render(win);
    save_osd_to_png(1);
    elm_exit();
    return ECORE_CALLBACK_CANCEL;
}

int elm_main(int argc, char **argv)
{
    // Console lines go out as they are printed, also into a pipe.
    setvbuf(stdout, nullptr, _IOLBF, 0);

    install_signal_handlers();

    if (!headless_display()) {
        if (choose_fb_device() != 0)
            exit(-1);
        probe_framebuffer();
    }

    draw_win();
    if (win == nullptr)
        return -1;
    init_reference();
    if (read_configure(argc, argv) < 0)
        return -1;
    draw_logo_and_title();
    elm_policy_set(ELM_POLICY_QUIT, ELM_POLICY_QUIT_LAST_WINDOW_CLOSED);

    start_measure(reference->test_type >= 2 ? 1 : 0);

    puts("exit_app:");
    install_signal_pipe();
    ecore_event_handler_add(ECORE_EVENT_SIGNAL_EXIT, signal_exit_event_cb, nullptr);
    ecore_timer_add(1.0, _exit_app_cb, nullptr);
    ecore_job_add([](void *) { loop_started_cb(nullptr); }, nullptr);
    elm_run();

    del_sdr_page();
    del_hdr_page();
    return 0;
}

// Helpers shared by the tests: temporary roots, running the real binary,
// reading PNG captures, the target, and a headless EFL canvas.
#pragma once
#include <ostream>
#include <string>
#include <vector>

#include <Elementary.h>
#include <gtest/gtest.h>

#include "color/reference.h"
#include "measure/results.h"

// A bundled sample with the options it is judged under.
struct sample_job {
    std::string file;
    std::vector<std::string> options;
    friend void PrintTo(const sample_job &job, std::ostream *os) { *os << job.file; }
};
// Every bundled sample, as samples/samples.list names it with its options
// (SDR Power 2.4 and BT.1886, the gamma 2.2 display, PQ and HLG); named in
// parameterised tests by their file's stem.
const std::vector<sample_job> &sample_jobs();
std::string sample_name(const testing::TestParamInfo<sample_job> &info);

// The records of JSON Lines output, one per line.
std::vector<results_json> json_lines(const std::string &out);

// A fresh temporary folder, removed (recursively) when the object dies.
struct temp_dir {
    std::string path;
    temp_dir();
    ~temp_dir();
    temp_dir(const temp_dir &) = delete;
    temp_dir &operator=(const temp_dir &) = delete;
};

// Writes text to a file, creating parent folders.
void write_file(const std::string &path, const std::string &text);
std::string read_file(const std::string &path);
bool file_exists(const std::string &path);
bool contains(const std::string &text, const std::string &part);
// How often `part` occurs in `text`, overlaps included.
int count_of(const std::string &text, const std::string &part);
// The path of a bundled sample file.
std::string sample(const std::string &name);
// What `f` prints on standard output.
template <typename F>
std::string output_of(F &&f)
{
    testing::internal::CaptureStdout();
    f();
    return testing::internal::GetCapturedStdout();
}
// Pointers to the strings, then a null pointer, as argv and envp take them.
std::vector<char *> c_strings(std::vector<std::string> &strings);

// Result of running a program: exit status (-1 for killed by signal),
// captured standard output and standard error.
struct run_result {
    int status = -1;
    int signal = 0;
    std::string out;
    std::string err;
};

// The current environment with the entries "NAME=value" overriding, in
// order; an entry written "NAME=" removes NAME.
std::vector<std::string> merged_environment(const std::vector<std::string> &env);

// Runs `argv` (argv[0] a path) with extra environment entries "NAME=value"
// added to (or overriding) the current environment. When `signal_after_ms`
// is positive, sends `sig` to the child after that many milliseconds; when
// negative, as soon as the child has a handler for it. With `signal_after_output`
// the milliseconds count from the moment the child's standard output first
// contains that text, so that slow (sanitizer) builds reach the same state.
run_result run_program(const std::vector<std::string> &argv, const std::vector<std::string> &env,
                       int signal_after_ms = 0, int sig = 0, const std::string &signal_after_output = "");

// A temporary device root holding the build's artwork and font, ready for
// ANALYZER_ROOT; runs the analyzer headless in it.
struct analyzer_root {
    temp_dir dir;
    // Links the build's image and font folders in unless told not to.
    explicit analyzer_root(bool artwork = true);
    std::string capture_dir() const;  // <root>/mnt/mmc-disk4/img/analyzer_data
    run_result run(const std::vector<std::string> &args, const std::vector<std::string> &env = {},
                   int signal_after_ms = 0, int sig = 0, const std::string &signal_after_output = "") const;
    // The entries a headless run in this root adds to the environment, then `env`.
    std::vector<std::string> environment(const std::vector<std::string> &env = {}) const;
    // Installs a serial-number reader (opt/bin/fw_printenv) running `script`.
    void serial_reader(const std::string &script) const;
};

// The environment entries that preload `library` into a run (also into a
// sanitizer build).
std::vector<std::string> preload_env(const char *library);

// A framebuffer device for device-mode runs of the real binary: the build's
// preload library (tests/fbdev_emu.cpp) serves FB_DEVICE on a plain file in a
// temporary folder. The file is created unless told not to: a missing file
// is a device whose kernel module is not loaded.
inline constexpr const char *FB_DEVICE = "/dev/fb7";
struct fb_device {
    temp_dir dir;
    std::string file = dir.path + "/fb.raw";
    std::string shown = dir.path + "/shown";  // made when the display is lit
    explicit fb_device(bool present = true);
    // The environment of a device-mode run: the framebuffer engine on this
    // device, never the machine's console (ECORE_FB_NO_VT=1), and ASan
    // allowed under a preload. A 16 or 32 bit screen whose virtual height
    // may exceed 1080 lines, showing the lines from `yoffset` on.
    std::vector<std::string> env(int bpp = 32, int virtual_height = 1080, int yoffset = 0) const;
};

// An RGBA image read from a PNG file.
struct rgba_image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;  // width * height * 4
    bool ok = false;
};
rgba_image read_png(const std::string &path);
// Pixels whose red, green or blue differ by more than `tolerance`
// (all of them when the sizes differ).
long differing_pixels(const rgba_image &a, const rgba_image &b, int tolerance = 0);

struct rgb {
    int r, g, b;
    bool operator==(const rgb &) const = default;
};
std::ostream &operator<<(std::ostream &os, const rgb &c);
rgb at(const rgba_image &img, int x, int y);
int alpha(const rgba_image &img, int x, int y);

// Indices into standard_type and white_type.
enum { REC709 = 2, BT2020 = 3, DCI_P3 = 5 };
enum { D65 = 5, WHITE_E = 15 };
// A target record for the given settings, its matrices built.
reference_t make_target(int standard, int test_type, float gamma = 2.4f, int white = D65);

// Headless EFL: elm_init once per test process (ELM_DISPLAY=buffer) and the
// main window created by draw_win().
void ensure_headless_efl();

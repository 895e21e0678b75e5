// Device mode end to end: the real binary on EFL's framebuffer engine,
// rendering into the emulated framebuffer, against headless runs of the same
// job; the module load, signals while waiting, and the framebuffer reader.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <array>
#include <cstring>
#include <filesystem>

#include "archive/record_input.h"
#include "app/analyzer.h"
#include "app/capture.h"
#include "app/generation.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> job_args(const sample_job &job)
{
    std::vector<std::string> args = job.options;
    args.insert(args.end(), {"-testFilePath", sample(job.file)});
    return args;
}

struct captures {
    run_result run;
    rgba_image dark, white;
    std::string record;  // the dark capture's results record
};

captures run_job(const std::vector<std::string> &args, const std::vector<std::string> &env = {})
{
    analyzer_root root;
    captures c;
    c.run = root.run(args, env);
    c.dark = read_png(root.capture_dir() + "/1.png");
    c.white = read_png(root.capture_dir() + "/1_white.png");
    c.record = png_record_text((root.capture_dir() + "/1.png").c_str()).value_or("");
    return c;
}

}  // namespace

class DeviceSample : public ::testing::TestWithParam<sample_job> {};

// The device has no pointer and both engines draw the same page, so the
// captures match the headless ones pixel for pixel. The program lights the
// display, which a DRM driver's framebuffer leaves dark until panned.
TEST_P(DeviceSample, CapturesMatchHeadlessPixelForPixel)
{
    const std::vector<std::string> args = job_args(GetParam());
    captures headless = run_job(args);
    fb_device fb;
    captures device = run_job(args, fb.env());
    ASSERT_EQ(device.run.status, 0) << device.run.out << device.run.err;
    EXPECT_TRUE(fs::exists(fb.shown));
    EXPECT_TRUE(contains(device.run.out, std::string("Info: Use env fb = ") + FB_DEVICE + "\n"));
    ASSERT_TRUE(headless.dark.ok && headless.white.ok && device.dark.ok && device.white.ok);
    EXPECT_EQ(differing_pixels(device.dark, headless.dark), 0);
    EXPECT_EQ(differing_pixels(device.white, headless.white), 0);
    EXPECT_FALSE(device.record.empty());
    EXPECT_EQ(device.record, headless.record);
}

INSTANTIATE_TEST_SUITE_P(Samples, DeviceSample, ::testing::ValuesIn(sample_jobs()), sample_name);

TEST(DeviceMode, PannedDoubleHeightAnd16BitScreensAreReadCorrectly)
{
    const std::vector<std::string> args = job_args(sample_jobs()[0]);
    captures headless = run_job(args);
    ASSERT_TRUE(headless.dark.ok && headless.white.ok);

    // Shown from line 1080 of 2160 at start: the engine pans to the top, and
    // the capture reads the screen where the driver says it is.
    fb_device tall;
    captures panned = run_job(args, tall.env(32, 2160, 1080));
    ASSERT_EQ(panned.run.status, 0) << panned.run.err;
    EXPECT_EQ(differing_pixels(panned.dark, headless.dark), 0);
    EXPECT_EQ(differing_pixels(panned.white, headless.white), 0);

    // RGB565: the engine dithers to 5, 6 and 5 bits, so the captures stay
    // within two steps of the headless ones; the white capture is exactly the
    // screen the run left behind.
    fb_device rgb565;
    captures small = run_job(args, rgb565.env(16));
    ASSERT_EQ(small.run.status, 0) << small.run.err;
    ASSERT_TRUE(small.dark.ok && small.white.ok);
    EXPECT_EQ(differing_pixels(small.dark, headless.dark, 16), 0);
    EXPECT_EQ(differing_pixels(small.white, headless.white, 16), 0);
    const std::string screen = read_file(rgb565.file);
    ASSERT_GE(screen.size(), 1920u * 1080 * 2);
    long wrong = 0;
    for (int i = 0; i < 1920 * 1080; ++i) {
        const unsigned p = static_cast<unsigned char>(screen[2 * i]) | static_cast<unsigned char>(screen[2 * i + 1]) << 8;
        const auto [r, g, b] = at(small.white, i % 1920, i / 1920);
        const int expect[3] = {static_cast<int>(((p >> 11) * 255 + 15) / 31),
                               static_cast<int>((((p >> 5) & 63) * 255 + 31) / 63),
                               static_cast<int>(((p & 31) * 255 + 15) / 31)};
        wrong += r != expect[0] || g != expect[1] || b != expect[2];
    }
    EXPECT_EQ(wrong, 0);
}

// A stand-in insmod on PATH: it logs its arguments and, when told to, makes
// the device appear by creating the framebuffer's backing file.
TEST(DeviceMode, ModuleLoadMakesTheDeviceAppearElseTheRunEnds)
{
    const std::string module_arg = "/usr/local/fb_dri/fb_dri.ko";
    for (bool appears : {true, false}) {
        SCOPED_TRACE(appears ? "device appears" : "device stays missing");
        analyzer_root root;
        fb_device fb(false);
        temp_dir bin;
        const std::string log = bin.path + "/insmod.log";
        write_file(bin.path + "/insmod", "#!/bin/sh\necho \"$@\" > '" + log + "'\n" +
                                             (appears ? ": > '" + fb.file + "'\n" : std::string()) + "exit 0\n");
        chmod((bin.path + "/insmod").c_str(), 0755);
        std::vector<std::string> env = fb.env();
        env.push_back("PATH=" + bin.path + ":/usr/bin:/bin");
        run_result r = root.run(job_args(sample_jobs()[0]), env);
        const std::string module = root.dir.path + module_arg;
        EXPECT_TRUE(contains(r.out, "Info: fb dev not open. insmod " + module + "\n")) << r.out;
        EXPECT_EQ(read_file(log), module + "\n") << "insmod gets the module path as one argument";
        if (appears) {
            EXPECT_EQ(r.status, 0) << r.out << r.err;
            EXPECT_FALSE(contains(r.out, "Error: fb dev not open (2)."));
            EXPECT_FALSE(contains(r.err, "--headless"));
            EXPECT_TRUE(read_png(root.capture_dir() + "/1.png").ok);
            EXPECT_TRUE(read_png(root.capture_dir() + "/1_white.png").ok);
        } else {
            EXPECT_EQ(r.status, 255);
            EXPECT_TRUE(contains(r.out, "Error: fb dev not open (2). insmod " + module + "\n")) << r.out;
            EXPECT_TRUE(contains(r.err, "to render the report off the device run: analyzer --headless --output DIR"))
                << r.err;
            EXPECT_FALSE(file_exists(root.capture_dir()));
        }
    }
}

class DeviceSignal : public ::testing::TestWithParam<int> {};

TEST_P(DeviceSignal, EndsWaitingRunWithStatus255)
{
    analyzer_root root;
    fb_device fb;
    const int sig = GetParam();
    run_result r = root.run(job_args(sample_jobs()[0]), fb.env(), 300, sig, "exit_app:");
    EXPECT_EQ(r.status, 255) << r.out;
    EXPECT_TRUE(contains(r.out, "Info: sig = " + std::to_string(sig) + ", run exiting...\n")) << r.out;
    EXPECT_TRUE(contains(r.out, "[del_sdr_page]\r\n[del_hdr_page]\r\n")) << r.out;
    EXPECT_FALSE(file_exists(root.capture_dir() + "/1.png"));
    // The screen as the main loop's partial redraw left it: the rows just
    // below the plot areas, under the grid clippers' overhang, show the
    // window and the chart marks, never unpainted black.
    const std::string screen = read_file(fb.file);
    ASSERT_GE(screen.size(), 1920u * 1080 * 4);
    int black = 0;
    for (int y : {271, 791})
        for (int x = 520; x < 1896; ++x)
            black += screen.compare(static_cast<size_t>(y * 1920 + x) * 4, 3, std::string(3, '\0')) == 0;
    EXPECT_EQ(black, 0);
}

INSTANTIATE_TEST_SUITE_P(Signals, DeviceSignal, ::testing::Values(SIGTERM, SIGINT, SIGQUIT));

// The reader of the framebuffer: where the visible screen lies and what
// layouts it refuses.
TEST(FramebufferLayout, VisibleScreenAndPixelFormat)
{
    fb_var_screeninfo var{};
    fb_fix_screeninfo fix{};
    var.xres = var.xres_virtual = 1920;
    var.yres = 1080;
    var.yres_virtual = 2160;
    var.yoffset = 1080;
    var.bits_per_pixel = 16;
    var.red = {11, 5, 0};
    var.green = {5, 6, 0};
    var.blue = {0, 5, 0};
    fix.type = FB_TYPE_PACKED_PIXELS;
    fix.visual = FB_VISUAL_TRUECOLOR;
    fix.line_length = 4096;  // padded lines
    fix.smem_len = 4096 * 2160;
    framebuffer_layout layout;
    ASSERT_EQ(framebuffer_capture_layout(var, fix, layout), "");
    EXPECT_EQ(layout.offset, 4096u * 1080);
    EXPECT_EQ(layout.stride, 4096u);
    EXPECT_EQ(layout.memory_size, 4096u * 2160);
    EXPECT_EQ(layout.format.bytes, 2u);
    EXPECT_EQ(layout.format.green.offset, 5u);
    EXPECT_EQ(layout.format.green.length, 6u);

    // Panned past the memory, a smaller screen, a palette, a bitfield outside the pixel.
    var.yoffset = 1081;
    EXPECT_NE(framebuffer_capture_layout(var, fix, layout), "");
    var.yoffset = 0;
    var.yres = 720;
    EXPECT_NE(framebuffer_capture_layout(var, fix, layout), "");
    var.yres = 1080;
    var.bits_per_pixel = 8;
    EXPECT_TRUE(framebuffer_capture_layout(var, fix, layout).starts_with("unsupported pixel format"));
    var.bits_per_pixel = 16;
    var.red = {12, 5, 0};
    EXPECT_EQ(framebuffer_capture_layout(var, fix, layout), "unsupported colour bitfields");
}

TEST(FramebufferLayout, EncoderConvertsEveryChannelLayoutToRgb)
{
    temp_dir dir;
    const std::string path = dir.path + "/x.png";
    // Two pixels and a padding pixel per line: BGR 32-bit, then RGB565.
    const uint32_t bgr[] = {0x00112233, 0xffa0b0c0, 0xdeadbeef, 0x00000000, 0x00ffffff, 0xdeadbeef};
    const pixel_format BGR32{4, {0, 8}, {8, 8}, {16, 8}};
    const uint16_t rgb565[] = {0xf800, 0x07e0, 0xbeef, 0x001f, 0x8410, 0xbeef};
    const pixel_format RGB565{2, {11, 5}, {5, 6}, {0, 5}};
    struct {
        const void *pixels;
        size_t stride;
        pixel_format format;
        int expect[4][3];
    } cases[] = {
        {bgr, 12, BGR32, {{0x33, 0x22, 0x11}, {0xc0, 0xb0, 0xa0}, {0, 0, 0}, {255, 255, 255}}},
        {rgb565, 6, RGB565, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {132, 130, 132}}},
    };
    for (const auto &c : cases) {
        FILE *fp = fopen(path.c_str(), "wb");
        ASSERT_NE(fp, nullptr);
        ASSERT_TRUE(write_png(fp, static_cast<const uint8_t *>(c.pixels), 2, 2, c.stride, c.format));
        fclose(fp);
        rgba_image img = read_png(path);
        ASSERT_TRUE(img.ok);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(at(img, i % 2, i / 2), (rgb{c.expect[i][0], c.expect[i][1], c.expect[i][2]})) << i;
        }
    }
}

// In process: a device that cannot be read leaves no capture, and the
// current one is not moved.
TEST(DeviceCapture, UnreadableDeviceIsReportedAndLeavesNoFile)
{
    analyzer_root root;
    unsetenv("ELM_DISPLAY");
    write_file(root.capture_dir() + "/1.png", "old");
    generation_t gen;
    ASSERT_TRUE(open_generation(gen, root.capture_dir()));
    // Not a framebuffer (no screen information), then no device at all.
    for (const char *device : {"/dev/null", "/nonexistent/fb0"}) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(save_osd_to_png(gen, 0, "{}", device), -1);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(contains(err, std::string("cannot read framebuffer ") + device)) << err;
        EXPECT_TRUE(contains(err, "capture " + root.capture_dir() + "/1.png failed")) << err;
    }
    EXPECT_EQ(read_file(root.capture_dir() + "/1.png"), "old");
    int files = 0;
    for ([[maybe_unused]] const auto &e : fs::directory_iterator(root.capture_dir()))
        ++files;
    EXPECT_EQ(files, 1) << "no temporary file is left";
}

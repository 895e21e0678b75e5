// End-to-end runs of the real binary in a temporary root, and the capture
// rotation and framebuffer handling in process.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>
#include <filesystem>

#include "app/analyzer.h"
#include "test_support.h"

namespace fs = std::filesystem;


TEST(AppRun, EmptyWindowIsCapturedDarkThenWhite)
{
    analyzer_root root;
    run_result r = root.run({"-testFilePath", root.dir.path + "/missing.csv"});
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_TRUE(contains(r.out, "exit_app:\n"));
    EXPECT_TRUE(contains(r.out, "run exit!\n"));
    EXPECT_TRUE(contains(r.out, "[save_osd_to_png]: unexist name: [" + root.capture_dir() + "/1.png]\n"));
    EXPECT_TRUE(contains(r.out, "[save_osd_to_png]: unexist name: [" + root.capture_dir() + "/1_white.png]\n"));
    EXPECT_FALSE(contains(r.out, "Info: Use default fb")) << "headless runs do not probe the framebuffer";

    rgba_image dark = read_png(root.capture_dir() + "/1.png");
    rgba_image white = read_png(root.capture_dir() + "/1_white.png");
    ASSERT_TRUE(dark.ok && white.ok);
    EXPECT_EQ(dark.width, 1920);
    EXPECT_EQ(dark.height, 1080);
    EXPECT_EQ(white.width, 1920);
    EXPECT_EQ(white.height, 1080);
    for (auto [x, y] : {std::pair{0, 0}, {1000, 500}, {1919, 1079}}) {
        EXPECT_EQ(at(dark, x, y), (rgb{37, 37, 37})) << x << "," << y;
        EXPECT_EQ(at(white, x, y), (rgb{255, 255, 255})) << x << "," << y;
    }
    EXPECT_EQ(fs::status(root.capture_dir() + "/1.png").permissions() & fs::perms::others_read, fs::perms::others_read);
    // No temporary capture files are left behind.
    for (const auto &e : fs::directory_iterator(root.capture_dir()))
        EXPECT_FALSE(e.path().filename().string().starts_with(".")) << e.path();
    // The record of a job that was never judged: no patch, and every verdict fails without a value.
    const std::string record = read_file(root.capture_dir() + "/1.json");
    EXPECT_TRUE(contains(record, "\"grayscale_dE2000_avg\": {\n      \"value\": null,\n      \"pass\": false,"))
        << record;
    EXPECT_FALSE(contains(record, "\"pass\": true")) << record;
    EXPECT_FALSE(contains(record, "\"measured\": true")) << record;
}

TEST(AppRun, CapturesRotateAcrossRuns)
{
    analyzer_root root;
    const std::string dir = root.capture_dir();
    ASSERT_EQ(root.run({}).status, 0);
    fs::resize_file(dir + "/1.png", 1);  // mark the first generation

    run_result second = root.run({});
    ASSERT_EQ(second.status, 0);
    EXPECT_TRUE(contains(second.out, " find [" + dir + "/1.png]\n rename to [" + dir + "/2.png]\n"));
    EXPECT_TRUE(contains(second.out, " find [" + dir + "/1_white.png]\n rename to [" + dir + "/2_white.png]\n"));
    EXPECT_EQ(fs::file_size(dir + "/2.png"), 1u);

    run_result third = root.run({});
    ASSERT_EQ(third.status, 0);
    EXPECT_TRUE(contains(third.out, " removed [" + dir + "/2.png]\n find [" + dir + "/1.png]\n"));
    EXPECT_GT(fs::file_size(dir + "/2.png"), 1u) << "the second generation moved up";
    EXPECT_TRUE(read_png(dir + "/1.png").ok);
    EXPECT_TRUE(read_png(dir + "/2_white.png").ok);
}

TEST(AppRun, UnusableCaptureFolderIsReportedAndRunSucceeds)
{
    analyzer_root root;
    // A file where the folder should be: the folder cannot be made.
    write_file(root.dir.path + "/mnt/mmc-disk4/img", "not a folder");
    run_result r = root.run({});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(contains(r.out, "Warning: opendir [" + root.capture_dir() + "] fail! mkdir dir.\n"));
    EXPECT_TRUE(contains(r.out, "run exit!"));
    EXPECT_FALSE(r.err.empty());
}

class AppSignal : public ::testing::TestWithParam<int> {};

TEST_P(AppSignal, EndsWaitingRunWithStatus255)
{
    analyzer_root root;
    const int sig = GetParam();
    run_result r = root.run({}, {}, 300, sig, "exit_app:");
    EXPECT_EQ(r.status, 255) << r.out;
    EXPECT_TRUE(contains(r.out, "Info: sig = " + std::to_string(sig) + ", run exiting...\n")) << r.out;
    EXPECT_TRUE(contains(r.out, "[del_sdr_page]\r\n[del_hdr_page]\r\n")) << r.out;
    EXPECT_FALSE(file_exists(root.capture_dir() + "/1.png"));
}

INSTANTIATE_TEST_SUITE_P(Signals, AppSignal, ::testing::Values(SIGTERM, SIGINT, SIGQUIT));

TEST(AppDevice, OverlongDeviceNameIsRefused)
{
    analyzer_root root;
    run_result r = root.run({}, {"ELM_DISPLAY=", "EVAS_FB_DEV=/dev/a-very-long-framebuffer-name"});
    EXPECT_EQ(r.status, 255);
    EXPECT_TRUE(contains(r.out, "Error: EVAS_FB_DEV is too long"));
}

TEST(FbDevice, WholePathFromTheEnvironmentElseTheDefault)
{
    setenv("EVAS_FB_DEV", "/dev/fb12345678", 1);
    testing::internal::CaptureStdout();
    EXPECT_EQ(choose_fb_device(), 0);
    EXPECT_STREQ(dev_node, "/dev/fb12345678");
    unsetenv("EVAS_FB_DEV");
    EXPECT_EQ(choose_fb_device(), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Info: Use env fb = /dev/fb12345678\nInfo: Use default fb = /dev/fb0\n");
    EXPECT_STREQ(dev_node, "/dev/fb0");
}

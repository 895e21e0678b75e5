// End-to-end runs of the real binary in a temporary root, and the capture
// rotation and framebuffer handling in process.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>
#include <filesystem>

#include "app/analyzer.h"
#include "test_support.h"

namespace fs = std::filesystem;

const std::string SAMPLE = sample("sdr_ideal_power24.csv");

TEST(AppRun, CapturesRotateAcrossRuns)
{
    analyzer_root root;
    const std::string dir = root.capture_dir();
    // First run: the folder is made, nothing to rotate.
    run_result first = root.run({"-testFilePath", SAMPLE});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_TRUE(contains(first.out, "exit_app:\nrun exit!\nWarning: opendir [" + dir + "] fail! mkdir dir.\n"
                                    "[save_osd_to_png]: unexist name: [" + dir + "/1.png]\n"
                                    "[save_osd_to_png]: unexist name: [" + dir + "/1_white.png]\n")) << first.out;
    EXPECT_FALSE(contains(first.out, "Info: Use default fb")) << "headless runs do not probe the framebuffer";
    EXPECT_EQ(fs::status(dir + "/1.png").permissions() & fs::perms::others_read, fs::perms::others_read);
    fs::resize_file(dir + "/1.png", 1);  // mark the first generation

    run_result second = root.run({"-testFilePath", SAMPLE});
    ASSERT_EQ(second.status, 0);
    EXPECT_TRUE(contains(second.out, " find [" + dir + "/1.png]\n rename to [" + dir + "/2.png]\n"));
    EXPECT_TRUE(contains(second.out, " find [" + dir + "/1_white.png]\n rename to [" + dir + "/2_white.png]\n"));
    EXPECT_FALSE(contains(second.out, " removed")) << "there was nothing to remove";
    EXPECT_EQ(fs::file_size(dir + "/2.png"), 1u);

    run_result third = root.run({"-testFilePath", SAMPLE});
    ASSERT_EQ(third.status, 0);
    EXPECT_TRUE(contains(third.out, " removed [" + dir + "/2.png]\n find [" + dir + "/1.png]\n"));
    EXPECT_GT(fs::file_size(dir + "/2.png"), 1u) << "the second generation moved up";
    EXPECT_TRUE(read_png(dir + "/1.png").ok);
    EXPECT_TRUE(read_png(dir + "/2_white.png").ok);
}

class AppSignal : public ::testing::TestWithParam<int> {};

TEST_P(AppSignal, EndsWaitingRunWithStatus255)
{
    analyzer_root root;
    const int sig = GetParam();
    run_result r = root.run({"-testFilePath", SAMPLE}, {}, 300, sig, "exit_app:");
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
    char dev_node[DEV_NODE_SIZE];
    testing::internal::CaptureStdout();
    EXPECT_EQ(choose_fb_device(dev_node), 0);
    EXPECT_STREQ(dev_node, "/dev/fb12345678");
    unsetenv("EVAS_FB_DEV");
    EXPECT_EQ(choose_fb_device(dev_node), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Info: Use env fb = /dev/fb12345678\nInfo: Use default fb = /dev/fb0\n");
    EXPECT_STREQ(dev_node, "/dev/fb0");
}

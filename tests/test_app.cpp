// End-to-end runs of the real binary in a temporary root, and the capture
// rotation and framebuffer handling in process.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "app/analyzer.h"
#include "app/run_mode.h"
#include "config/usage.h"
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

// --headless --output DIR: the same job as the environment route, its files
// in DIR (made when missing), the artwork of the build tree the program runs
// from, and a last line naming the files. Misused, the options say what to do.
TEST(HeadlessMode, SameReportIntoTheOutputFolderWithTheBuildsArtwork)
{
    analyzer_root root;
    const std::vector<std::string> job{"-EOTF", "Power", "-gamma", "2.2", "-testFilePath", SAMPLE};
    ASSERT_EQ(root.run(job).status, 0);
    const std::string out = root.dir.path + "/reports/new";
    std::vector<std::string> argv{ANALYZER_BIN, "--headless", "--output", out};
    argv.insert(argv.end(), job.begin(), job.end());
    run_result r = run_program(argv, {"ELM_DISPLAY=", "ANALYZER_ROOT=", "XDG_RUNTIME_DIR="});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.ends_with("\nSaved " + out + "/1.png, " + out + "/1_white.png and " + out +
                                "/1.json\n"))
        << r.out;
    EXPECT_FALSE(contains(r.out + r.err, "could not load")) << r.out << r.err;
    EXPECT_FALSE(contains(r.out, "Unrecognized parameter")) << "the long options are not the front end's";
    for (const char *f : {"/1.png", "/1_white.png"})
        EXPECT_EQ(differing_pixels(read_png(out + f), read_png(root.capture_dir() + f)), 0) << f;
    EXPECT_EQ(read_file(out + "/1.json"), read_file(root.capture_dir() + "/1.json"));

    const struct {
        std::vector<std::string> args;
        const char *error;
    } misuse[] = {
        {{"--headless"}, "analyzer: --headless needs --output DIR (see analyzer --help)\n"},
        {{"--output", out}, "analyzer: --output is for --headless runs (see analyzer --help)\n"},
        {{"--headless", "--output"}, "analyzer: --output needs its DIR (see analyzer --help)\n"},
        {{"--headless", "--output", "-gamma", "2.2"}, "analyzer: --output needs its DIR (see analyzer --help)\n"},
    };
    for (const auto &m : misuse) {
        run_result bad = root.run(m.args);
        EXPECT_EQ(bad.status, 255);
        EXPECT_EQ(bad.err, m.error);
        EXPECT_EQ(bad.out, "");
    }
}

TEST(LongOptions, TakenOutWhereAnOptionMayStand)
{
    constexpr long_option_t table[] = {{"--headless", nullptr, ""}, {"--output", "DIR", ""}, {"--help", nullptr, ""}};
    const struct {
        std::vector<std::string> args;
        std::map<std::string, std::string> given;
        std::vector<std::string> kept;
        std::string error;
    } cases[] = {
        {{"--headless", "-gamma", "2.2", "--output", "d", "x"}, {{"--headless", ""}, {"--output", "d"}},
         {"-gamma", "2.2", "x"}, ""},
        {{"-testFilePath", "--help", "-h"}, {{"--help", ""}}, {"-testFilePath", "--help"}, ""},
        {{"--version", "--output"}, {}, {"--version"}, "--output needs its DIR"},
        {{"--output", "-gamma", "2.2"}, {}, {"-gamma", "2.2"}, "--output needs its DIR"},
    };
    for (const auto &c : cases) {
        std::vector<std::string> strings{"analyzer"};
        strings.insert(strings.end(), c.args.begin(), c.args.end());
        std::vector<char *> argv = c_strings(strings);
        int argc = static_cast<int>(strings.size());
        const long_options_t found = take_long_options(argc, argv.data(), table);
        EXPECT_EQ(found.given, c.given);
        EXPECT_EQ(found.error, c.error);
        EXPECT_EQ(std::vector<std::string>(argv.begin() + 1, argv.begin() + argc), c.kept);
        EXPECT_EQ(argv[argc], nullptr);
    }
    // Where the artwork of a program lies: its installed tree, else its build's root/.
    EXPECT_EQ(artwork_root_of("/usr/local/app"), "");
    EXPECT_EQ(artwork_root_of("/srv/unpacked/usr/local/app"), "/srv/unpacked");
    const std::string build = fs::path(ANALYZER_BUILD_ROOT).parent_path();
    EXPECT_EQ(artwork_root_of(build), build + "/root");
    EXPECT_EQ(artwork_root_of("/nonexistent"), "");
}

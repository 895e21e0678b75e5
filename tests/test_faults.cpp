// What the real binary does with bad input and faults: each case ends with
// the documented status, and never leaves a truncated capture behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "test_support.h"

namespace fs = std::filesystem;

namespace {

// Both captures are complete 1920 x 1080 PNG files.
void expect_captures(const analyzer_root &root)
{
    for (const char *name : {"/1.png", "/1_white.png"}) {
        rgba_image img = read_png(root.capture_dir() + name);
        EXPECT_TRUE(img.ok) << name;
        EXPECT_EQ(img.width, 1920) << name;
    }
}

std::string lines(int n, const std::string &line)
{
    std::string out = "header\nheader\n";
    for (int i = 0; i < n; ++i)
        out += line;
    return out;
}

struct bad_input {
    const char *name;
    std::string data;
    const char *expected_line;  // a line the run must print, or ""
};

class BadTestData : public ::testing::TestWithParam<bad_input> {};

}  // namespace

TEST_P(BadTestData, RunCompletesWithBothCaptures)
{
    analyzer_root root;
    const std::string file = root.dir.path + "/data.csv";
    write_file(file, GetParam().data);
    run_result r = root.run({"-testFilePath", file});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(contains(r.out, GetParam().expected_line)) << r.out;
    EXPECT_TRUE(contains(r.out, "run exit!\n"));
    expect_captures(root);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadTestData,
    ::testing::Values(
        bad_input{"NonFinite", lines(1, "nan,nan,nan,inf,-inf,nan\n") + "1,1,1,inf,inf,inf\n0.5,0,0,1e39,-1e39,0\n", ""},
        bad_input{"Huge", lines(200000, "0.5,0.5,0.5,20.1,21.3,23.0\n"), "test_data_gray_count = 1 \r\n"}),
    [](const ::testing::TestParamInfo<bad_input> &info) { return std::string(info.param.name); });

TEST(Faults, MissingImagesAndFontAreReportedAndTheReportStillDrawn)
{
    analyzer_root root(false);
    run_result r = root.run({"-testFilePath", std::string(ANALYZER_SOURCE_DIR) + "/samples/sdr_ideal_power24.csv"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(contains(r.out, "error: [read_configure]:could not load image.\r\n"));
    EXPECT_TRUE(contains(r.out, "error: could not load image \"" + root.dir.path +
                                    "/usr/local/app/image/title_07.png\"\n"));
    expect_captures(root);
}

TEST(Faults, FullDiskKeepsThePreviousCaptureAndLeavesNoPartialFile)
{
    analyzer_root root;
    const std::string dir = root.capture_dir();
    fs::create_directories(dir);
    // Two pages: the previous capture and record fill them.
    if (mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=8k") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs here";
    write_file(dir + "/1.png", "previous");
    write_file(dir + "/1.json", "previous record");
    run_result r = root.run({});
    std::vector<std::string> left;
    for (const auto &e : fs::directory_iterator(dir))
        left.push_back(e.path().filename().string());
    std::sort(left.begin(), left.end());
    const std::string previous = read_file(dir + "/2.png");
    const std::string previous_record = read_file(dir + "/2.json");
    umount(dir.c_str());
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(contains(r.err, "capture")) << r.err;
    EXPECT_TRUE(contains(r.err, "save_results_file: " + dir + "/1.json: No space left on device")) << r.err;
    // The previous capture and record moved aside as the rotation says; nothing else is left.
    EXPECT_EQ(left, (std::vector<std::string>{"2.json", "2.png"}));
    EXPECT_EQ(previous, "previous");
    EXPECT_EQ(previous_record, "previous record");
}

TEST(Faults, SignalDuringEvaluationEndsTheRunAt255)
{
    analyzer_root root;
    // A test data file that never delivers data keeps the run in its evaluation.
    const std::string fifo = root.dir.path + "/data.fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    run_result r = root.run({"-testFilePath", fifo}, {}, 200, SIGTERM, "[start_measure]");
    EXPECT_EQ(r.status, 255);
    EXPECT_TRUE(contains(r.out, "[start_measure]: test_type = 0.\r\n"));
    EXPECT_TRUE(contains(r.out, "Info: sig = 15, run exiting...\n"));
    EXPECT_FALSE(file_exists(root.capture_dir()));
}

TEST(Faults, SignalAtStartUpEndsTheRunAt255)
{
    analyzer_root root;
    run_result r = root.run({}, {}, -1, SIGINT);
    EXPECT_EQ(r.signal, 0) << "the handler is in place from the start";
    EXPECT_EQ(r.status, 255);
    EXPECT_TRUE(contains(r.out, "Info: sig = 2, run exiting...\n")) << r.out;
}

TEST(Faults, SegmentationFaultIsReportedInRed)
{
    analyzer_root root;
    run_result r = root.run({}, {}, 600, SIGSEGV);
    EXPECT_EQ(r.status, 255);
    EXPECT_TRUE(contains(r.out, "Info: sig = 11, run exiting...\n"
                                "\033[31mError: sig = 11, \n\n\nSSSSSSSSSSSSSSSSSSSSS.\n\n\n\033[0m"))
        << r.out;
    EXPECT_FALSE(file_exists(root.capture_dir() + "/1.png"));
}

// Command line (console output of the real binary) and the test data reader.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "config/configure.h"
#include "measure/data_file.h"
#include "test_support.h"

namespace {

const std::string DEFAULTS = "Warning: Use deafult -colorSpace : DCI-P3\n"
                             "Warning: Use deafult -EOTF : 0\n"
                             "Warning: Use deafult -gamma : 2.400000\n"
                             "Warning: Use deafult -cct : 6500\n"
                             "Warning: Use deafult -lum : 0.000000\n";
const std::string RANGE = "Warning: gamma out of range, only 1.00 <= gamma_value <= 2.8 is valid.\n";
const std::string END = "Error: Configure. end.\n";

TEST(CommandLine, ConsoleOutput)
{
    temp_dir dir;
    const std::string job = dir.path + "/job.csv";
    write_file(job, "h1\nh2\n0,0,0,0,0,0\n1,1,1,95.047,100,108.883\n0.5,0.5,0.5,18.0,18.95,20.6\n");
    const std::string NO = "Error: Unrecognized parameter! ";
    struct cli_case {
        int status;
        std::vector<std::string> args;
        std::vector<std::string> expected;  // each consecutive output, in order
    };
    const cli_case cases[] = {
        // The DCI-P3 / D65 matrix is printed "%10f " per element, then an empty line.
        // No test data file: the run fails and saves nothing.
        {1, {}, {DEFAULTS + "  0.486604   0.265664   0.198201 \n  0.228990   0.691729   0.079280 \n"
                            "  0.000000   0.045113   1.043858 \n\n[start_measure]: test_type = 0.\r\n"
                            "Error: start_measure, init test data file faile!\n"}},
        {1, {"-gamma", "0.9", "-cct", "abc"}, {RANGE + NO + "-cct.\n" + NO + "abc.\n" + DEFAULTS}},
        {1, {"-gamma", "3", "-foo", "-dev", "3"},
         {RANGE + NO + "-foo.\nConfigure: The sensor is set to PR6XX.\n" + DEFAULTS}},
        {0, {"-testFilePath", job, "-gamma", "2.8", "-cct", "6714", "-dev", "9"},
         {"Configure: The Test data file path is set to " + job + ".\nConfigure: The ref gamma is set to 2.800000.\n"
          "Configure: The CCT is set to 6714. White Type is set to D65-JUDD.\nWarning: The sensor is set error!\r\n"
          "Warning: Use deafult -colorSpace : DCI-P3\nWarning: Use deafult -EOTF : 0\n"
          "Warning: Use deafult -lum : 0.000000\n",
          "bright_Y = 100.000000, dark_Y = 0.000000, test_data_gray_count = 3 \r\n"
          "reference->white_level = 100.000000, max_E = 0.508"}},
        // A value that is not a number is examined as an option of its own.
        {1, {"-cct", "6300", "-lum", "-EOTF", "HLG", "-gamma"},
         {"Configure: The CCT is set to 6301. White Type is set to P3-DCI.\n" + NO +
          "-lum.\nConfigure: The EOTF_type is set to HLG.\nError: Required argument to -gamma not specified\n"
          "Warning: Use deafult -colorSpace : DCI-P3\nWarning: Use deafult -gamma : 2.400000\n"
          "Warning: Use deafult -lum : 0.000000\n"}},
        {255, {"-colorSpace", "Rec.709", "-lum", "400", "-EOTF", "pq"},
         {"Configure: The Color Space is set to Rec.709.\nConfigure: The lum is set to 400.000000.\n"
          "Warning: -EOTF is given an unrecognized value!\n" + END}},
        {255, {"-cct", "6000", "-cct", "1234"},
         {"Configure: The CCT is set to 6000. White Type is set to D60.\n"
          "Error: -cct is given an unrecognized value!\n" + END}},
    };
    for (const cli_case &c : cases) {
        std::string trace;
        for (const std::string &a : c.args)
            trace += a + " ";
        SCOPED_TRACE(trace);
        analyzer_root root;
        run_result r = root.run(c.args);
        EXPECT_EQ(r.status, c.status);
        size_t at = 0;
        for (const std::string &e : c.expected) {
            at = r.out.find(e, at);
            ASSERT_NE(at, std::string::npos) << e << "\nin:\n" << r.out;
        }
        // A rejected value prints no defaults, runs nothing and captures nothing.
        EXPECT_EQ(file_exists(root.capture_dir() + "/1.png"), c.status == 0);
        if (c.status == 255) {
            EXPECT_EQ(r.out.find("Warning: Use deafult"), std::string::npos);
            EXPECT_EQ(r.out.find("[start_measure]"), std::string::npos);
        }
    }
}

// A value read in part, or accepted and then ignored, is noted for the
// record; the console stays as it was.
TEST(CommandLine, PartlyReadValuesAreNotedInWarnings)
{
    std::vector<std::string> args{"analyzer", "-gamma", "2,4", "-lum", "1e-30", "-EOTF", "HLG", "-dev", "3x",
                                  "-cct", "6500K"};
    settings_t settings = default_settings();
    const std::string out =
        output_of([&] { read_configure(static_cast<int>(args.size()), c_strings(args).data(), settings); });
    EXPECT_EQ(settings.warnings, (std::vector<std::string>{"-gamma 2,4 read as 2", "-dev 3x read as 3",
                                                           "-cct 6500K read as 6500",
                                                           "-lum 1e-30 ignored: the measured white is used"}));
    EXPECT_FALSE(contains(out, "read as") || contains(out, "ignored")) << out;
}

// Every data line of a file holding `text`, as "ts0,ts1,ts2,X,Y,Z" (%g).
std::vector<std::string> read_lines(const std::string &text)
{
    temp_dir dir;
    const std::string path = dir.path + "/data.csv";
    write_file(path, text);
    std::vector<std::string> lines;
    EXPECT_TRUE(read_test_data(path.c_str(), [&](const color_block_t &b) {
        char buf[160];
        snprintf(buf, sizeof buf, "%g,%g,%g,%g,%g,%g", b.ts0, b.ts1, b.ts2, b.X, b.Y, b.Z);
        lines.push_back(buf);
    }));
    return lines;
}

TEST(Reader, EdgeCases)
{
    const std::string first = "0.1,0.2,0.3,4,5,6", padded = first + std::string(255 - first.size(), ' ');
    const auto skipped = [](int line, const char *why) {
        return "Warning: test data line " + std::to_string(line) + why + ", skipped.\r\n";
    };
    const struct {
        std::string text;
        std::vector<std::string> lines;
        std::string warnings;
    } cases[] = {
        {"ts0,ts1,ts2\nX,Y,Z\n", {}, ""},
        {"only one header line", {}, ""},
        // CR LF and LF blank lines, a line of spaces, a last line without a line end.
        {"h1\r\nh2\r\n\r\n\r\n0.1,0.2,0.3,1.5,2.5,3.5\r\n\n   \n0.4,0.5,0.6,4,5,6",
         {"0.1,0.2,0.3,1.5,2.5,3.5", "0.4,0.5,0.6,4,5,6"}, ""},
        // A line that does not hold exactly six numbers is skipped, never
        // completed from another line.
        {"h1\nh2\n0.1,0.2,0.3,1,2,3\n0.7,0.8\n0.9;1,1,1,1,1\n1,1,1,1,1,1,1\n0.5,0.5,0.5,x,1,1\n",
         {"0.1,0.2,0.3,1,2,3"},
         skipped(4, " does not hold six numbers") + skipped(5, " does not hold six numbers") +
             skipped(6, " does not hold six numbers") + skipped(7, " does not hold six numbers")},
        // A line longer than 255 characters is skipped whole; one of exactly
        // 255 is read. A long header line stays a header line.
        {"h1\nh2\n" + padded + "0.7,0.8,0.9,7,8,9\n" + padded + "\n0.5,0.5,0.5,1,1,1\n",
         {first, "0.5,0.5,0.5,1,1,1"}, skipped(3, " is longer than 255 characters")},
        {std::string(300, 'h') + "\nh2\n1,1,1,1,1,1\n", {"1,1,1,1,1,1"}, ""},
        {"h1\nh2\nnan,inf,-inf,1e39,-1e39,1e-50\n-0.5,-1,-2,-3.5,-4,-5e3\n",
         {"nan,inf,-inf,inf,-inf,0", "-0.5,-1,-2,-3.5,-4,-5000"}, ""},
        // CR line ends, and CR LF split over a blank line.
        {"h1\rh2\r0.1,0.2,0.3,1,2,3\r\r\n0.4,0.5,0.6,4,5,6\r", {"0.1,0.2,0.3,1,2,3", "0.4,0.5,0.6,4,5,6"}, ""},
        // A NUL byte makes its line malformed, also where it hides the rest of an over-long line.
        {"h1\nh2\n0.5,0.5,0.5,1,1,1" + std::string(1, '\0') + std::string(260, ' ') + "1,1,1,95,10,108\n" +
             "1,1,1,95,100,108" + std::string(1, '\0') + "\n",
         {}, skipped(3, " is longer than 255 characters") + skipped(4, " does not hold six numbers")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        EXPECT_EQ(output_of([&] { EXPECT_EQ(read_lines(c.text), c.lines); }), c.warnings);
    }
}

}  // namespace

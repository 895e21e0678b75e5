// Command line (console output of the real binary) and the test data reader.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "config/configure.h"
#include "test_support.h"

namespace {

const std::string DEFAULTS = "Warning: Use deafult -colorSpace : DCI-P3\n"
                             "Warning: Use deafult -EOTF : 0\n"
                             "Warning: Use deafult -gamma : 2.400000\n"
                             "Warning: Use deafult -cct : 6500\n"
                             "Warning: Use deafult -lum : 0.000000\n";
const std::string RANGE = "Warning: gamma out of range, only 1.00 <= gamma_value <= 2.8 is valid.\n";
const std::string SENSOR = "Warning: The sensor is set error!\r\n";
const std::string END = "Error: Configure. end.\n";

struct cli_case {
    std::vector<std::string> args;
    int status;
    std::string expected;  // consecutive lines of standard output
};

TEST(CommandLine, SettingsDefaultsAndErrors)
{
    const cli_case cases[] = {
        {{"-gamma", "0.9"}, 0, RANGE + DEFAULTS},
        {{"-gamma", "3"}, 0, RANGE + DEFAULTS},
        {{"-gamma", "2.8"},
         0,
         "Configure: The ref gamma is set to 2.800000.\nWarning: Use deafult -colorSpace : DCI-P3\n"
         "Warning: Use deafult -EOTF : 0\nWarning: Use deafult -cct : 6500\n"},
        {{"-gamma", "x"}, 255, "Error: -gamma is given an unrecognized value!\n" + END},
        {{"-cct", "6300"},
         0,
         "Configure: The CCT is set to 6301. White Type is set to P3-DCI.\n"
         "Warning: Use deafult -colorSpace : DCI-P3\nWarning: Use deafult -EOTF : 0\n"
         "Warning: Use deafult -gamma : 2.400000\nWarning: Use deafult -lum : 0.000000\n"},
        {{"-cct", "6714"}, 0, "Configure: The CCT is set to 6714. White Type is set to D65-JUDD.\n"},
        {{"-cct", "6000", "-cct", "1234"},
         255,
         "Configure: The CCT is set to 6000. White Type is set to D60.\n"
         "Error: -cct is given an unrecognized value!\n" + END},
        {{"-cct", "abc"},
         0,
         "Error: Unrecognized parameter! -cct.\nError: Unrecognized parameter! abc.\n" + DEFAULTS},
        // A value that is not a number is examined as an option of its own.
        {{"-lum", "-EOTF", "HLG"},
         0,
         "Error: Unrecognized parameter! -lum.\nConfigure: The EOTF_type is set to HLG.\n"},
        {{"-foo", "-colorSpace", "Rec.709", "-lum", "400"},
         0,
         "Error: Unrecognized parameter! -foo.\nConfigure: The Color Space is set to Rec.709.\n"
         "Configure: The lum is set to 400.000000.\nWarning: Use deafult -EOTF : 0\n"},
        {{"-EOTF", "BT.1886", "-gamma"},
         0,
         "Configure: The EOTF_type is set to BT.1886.\nError: Required argument to -gamma not specified\n"
         "Warning: Use deafult -colorSpace : DCI-P3\nWarning: Use deafult -gamma : 2.400000\n"},
        {{"-dev", "3"}, 0, "Configure: The sensor is set to PR6XX.\n" + DEFAULTS},
        // Outside the sensor table: reported, the default sensor stays.
        {{"-dev", "9"}, 0, SENSOR + DEFAULTS},
        {{"-dev", "x"}, 0, SENSOR + "Error: Unrecognized parameter! -dev.\nError: Unrecognized parameter! x.\n"},
    };
    analyzer_root root;
    for (const cli_case &c : cases) {
        run_result r = root.run(c.args);
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.out.find(c.expected), std::string::npos) << r.out;
        // A rejected value prints no defaults and runs nothing.
        if (c.status != 0) {
            EXPECT_EQ(r.out.find("Warning: Use deafult"), std::string::npos);
            EXPECT_EQ(r.out.find("[start_measure]"), std::string::npos);
        }
    }
}

TEST(CommandLine, DefaultsThenMatrixThenTheRun)
{
    analyzer_root root;
    run_result r = root.run({});
    EXPECT_EQ(r.status, 0);
    size_t at = r.out.find(DEFAULTS);
    ASSERT_NE(at, std::string::npos) << r.out;
    // The DCI-P3 / D65 matrix, "%10f " per element, and an empty line.
    EXPECT_EQ(r.out.substr(at + DEFAULTS.size(), 103),
              "  0.486604   0.265664   0.198201 \n  0.228990   0.691729   0.079280 \n"
              "  0.000000   0.045113   1.043858 \n\n");
    EXPECT_NE(r.out.find("[start_measure]: test_type = 0.\r\nError: start_measure, init test data file faile!\n"),
              std::string::npos);
    EXPECT_NE(r.err.find("fopen: No such file or directory"), std::string::npos);

    r = root.run({"-EOTF", "pq"});
    EXPECT_EQ(r.status, 255);
    EXPECT_NE(r.out.find("Warning: -EOTF is given an unrecognized value!\n" + END), std::string::npos);
    EXPECT_TRUE(file_exists(root.capture_dir() + "/1.png"));  // from the first run
    EXPECT_FALSE(file_exists(root.capture_dir() + "/2.png"));

    temp_dir dir;
    std::string path = dir.path + "/job.csv";
    write_file(path, "h1\nh2\n0,0,0,0,0,0\n1,1,1,95.047,100,108.883\n0.5,0.5,0.5,18.0,18.95,20.6\n");
    r = root.run({"-testFilePath", path});
    EXPECT_NE(r.out.find("Configure: The Test data file path is set to " + path + ".\n" + DEFAULTS),
              std::string::npos);
    EXPECT_NE(r.out.find("bright_Y = 100.000000, dark_Y = 0.000000, test_data_gray_count = 3 \r\n"
                         "reference->white_level = 100.000000, max_E = 0.508"),
              std::string::npos)
        << r.out;
}

// ---- Test data reader ----

struct reader {
    temp_dir dir;
    std::string path = dir.path + "/data.csv";
    std::vector<color_block_t> lines;
    // Reads every data line of a file holding `text`.
    explicit reader(const std::string &text)
    {
        write_file(path, text);
        test_file_path = path.c_str();
        EXPECT_EQ(init_test_data_file(), 0);
        color_block_t b{};
        while (get_XYZ_from_file(&b) == 0)
            lines.push_back(b);
        EXPECT_EQ(get_XYZ_from_file(&b), -1);  // closed, stays at the end
    }
    std::vector<float> ts0() const
    {
        std::vector<float> v;
        for (const color_block_t &b : lines)
            v.push_back(b.ts0);
        return v;
    }
};

TEST(Reader, LinesBlanksAndHeaders)
{
    EXPECT_TRUE(reader("ts0,ts1,ts2\nX,Y,Z\n").lines.empty());
    EXPECT_TRUE(reader("only one header line").lines.empty());
    // CR LF and LF blank lines, a last line without a line end.
    reader r("h1\r\nh2\r\n\r\n\r\n0.1,0.2,0.3,1.5,2.5,3.5\r\n\n\n0.4,0.5,0.6,4,5,6");
    ASSERT_EQ(r.lines.size(), 2u);
    const color_block_t &b = r.lines[0];
    EXPECT_EQ(std::vector<float>({b.ts0, b.ts1, b.ts2, b.X, b.Y, b.Z}),
              std::vector<float>({0.1f, 0.2f, 0.3f, 1.5f, 2.5f, 3.5f}));
    EXPECT_EQ(r.lines[1].Z, 6.0f);
    // A long header line spills its rest into the data.
    EXPECT_EQ(reader(std::string(300, 'h') + "\nh2\n1,1,1,1,1,1\n").lines.size(), 2u);
}

TEST(Reader, UnconvertibleFieldsKeepThePreviousValues)
{
    // A line of spaces converts nothing; a short line only its leading
    // fields; a wrong separator ends the conversion.
    reader r("h1\nh2\n0.1,0.2,0.3,1,2,3\n     \n0.7,0.8\n0.9;1,1,1,1,1\n");
    ASSERT_EQ(r.lines.size(), 4u);
    EXPECT_EQ(memcmp(&r.lines[0], &r.lines[1], sizeof(color_block_t)), 0);
    EXPECT_EQ(std::vector<float>({r.lines[2].ts0, r.lines[2].ts1, r.lines[2].ts2, r.lines[2].Z}),
              std::vector<float>({0.7f, 0.8f, 0.3f, 3.0f}));
    EXPECT_EQ(r.lines[3].ts0, 0.9f);
    EXPECT_EQ(r.lines[3].ts1, 0.8f);
    EXPECT_EQ(r.lines[3].L, 0.0f);
}

TEST(Reader, LongLinesComeInPiecesOf255)
{
    std::string first = "0.1,0.2,0.3,4,5,6";
    std::string padded = first + std::string(255 - first.size(), ' ');
    // 255 + 18 characters make two data lines; at exactly 255 the line end
    // alone is a blank piece.
    reader r("h1\nh2\n" + padded + "0.7,0.8,0.9,7,8,9\n" + padded + "\n0.5,0.5,0.5,1,1,1\n");
    EXPECT_EQ(r.ts0(), std::vector<float>({0.1f, 0.7f, 0.1f, 0.5f}));
}

TEST(Reader, NonFiniteNegativeAndHugeNumbers)
{
    reader r("h1\nh2\nnan,inf,-inf,1e39,-1e39,1e-50\n-0.5,-1,-2,-3.5,-4,-5e3\n");
    ASSERT_EQ(r.lines.size(), 2u);
    const color_block_t &b = r.lines[0];
    EXPECT_TRUE(std::isnan(b.ts0));
    EXPECT_EQ(std::vector<float>({b.ts1, b.ts2, b.X, b.Y, b.Z}),
              std::vector<float>({INFINITY, -INFINITY, INFINITY, -INFINITY, 0.0f}));
    EXPECT_EQ(r.lines[1].ts0, -0.5f);
    EXPECT_EQ(r.lines[1].Z, -5000.0f);
}

TEST(Reader, MissingFileAndTenThousandLines)
{
    test_file_path = "/nonexistent/analyzer_result.csv";
    testing::internal::CaptureStderr();
    EXPECT_EQ(init_test_data_file(), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "fopen: No such file or directory\n");

    std::string text = "h1\nh2\n";
    for (int i = 0; i < 10000; ++i)
        text += "0.5,0,0," + std::to_string(i) + ",1,1\n";
    reader r(text);
    ASSERT_EQ(r.lines.size(), 10000u);
    EXPECT_EQ(r.lines.back().X, 9999.0f);
}

}  // namespace

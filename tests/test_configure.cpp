// Command line (golden output of the real binary) and the test data reader.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "color/color.h"
#include "config/configure.h"
#include "test_support.h"

namespace {

// ---- Command line, through the analyzer binary ----

const char *const DEFAULT_WARNINGS =
    "Warning: Use deafult -colorSpace : DCI-P3\n"
    "Warning: Use deafult -EOTF : 0\n"
    "Warning: Use deafult -gamma : 2.400000\n"
    "Warning: Use deafult -cct : 6500\n"
    "Warning: Use deafult -lum : 0.000000\n";

// One root for the runs that only read the console; each run leaves captures.
analyzer_root &shared_root()
{
    static analyzer_root root;
    return root;
}

run_result run(const std::vector<std::string> &args)
{
    return shared_root().run(args);
}

bool contains(const std::string &out, const std::string &text)
{
    return out.find(text) != std::string::npos;
}

// The lines that follow `head` in the output, up to `count` of them.
std::vector<std::string> lines_after(const std::string &out, const std::string &head, size_t count)
{
    std::vector<std::string> lines;
    size_t at = out.find(head);
    if (at == std::string::npos)
        return lines;
    std::istringstream in(out.substr(at + head.size()));
    std::string line;
    while (lines.size() < count && std::getline(in, line))
        lines.push_back(line);
    return lines;
}

TEST(CommandLine, NoOptionsPrintsEveryDefaultThenTheMatrix)
{
    run_result r = run({});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    ASSERT_TRUE(contains(r.out, DEFAULT_WARNINGS)) << r.out;
    EXPECT_FALSE(contains(r.out, "Configure:"));
    // DCI-P3 primaries with D65: three rows of "%10f " and an empty line.
    std::vector<std::string> rows = lines_after(r.out, DEFAULT_WARNINGS, 4);
    ASSERT_EQ(rows.size(), 4u);
    const double expect[3][3] = {{0.486604, 0.265664, 0.198201},
                                 {0.228990, 0.691729, 0.079280},
                                 {0.000000, 0.045113, 1.043858}};
    for (int i = 0; i < 3; ++i) {
        double v[3];
        ASSERT_EQ(sscanf(rows[i].c_str(), "%lf %lf %lf", &v[0], &v[1], &v[2]), 3) << rows[i];
        EXPECT_EQ(rows[i].size(), 33u) << rows[i];
        for (int j = 0; j < 3; ++j)
            EXPECT_NEAR(v[j], expect[i][j], 2e-6) << i << "," << j;
    }
    EXPECT_EQ(rows[3], "");
    // No test data file in the root: the run says so and still ends normally.
    EXPECT_TRUE(contains(r.out, "[start_measure]: test_type = 0.\r\n"
                                "Error: start_measure, init test data file faile!\n"));
    EXPECT_TRUE(contains(r.err, "fopen: No such file or directory"));
}

TEST(CommandLine, GammaRange)
{
    const std::string warning = "Warning: gamma out of range, only 1.00 <= gamma_value <= 2.8 is valid.\n";
    for (const char *g : {"0.9", "3"}) {
        run_result r = run({"-gamma", g});
        EXPECT_EQ(r.status, 0);
        EXPECT_TRUE(contains(r.out, warning + DEFAULT_WARNINGS)) << g << "\n" << r.out;
    }
    run_result r = run({"-gamma", "2.8"});
    EXPECT_TRUE(contains(r.out, "Configure: The ref gamma is set to 2.800000.\n"
                                "Warning: Use deafult -colorSpace : DCI-P3\n"
                                "Warning: Use deafult -EOTF : 0\n"
                                "Warning: Use deafult -cct : 6500\n"
                                "Warning: Use deafult -lum : 0.000000\n"))
        << r.out;

    r = run({"-gamma", "x"});
    EXPECT_EQ(r.status, 255);
    EXPECT_TRUE(contains(r.out, "Error: -gamma is given an unrecognized value!\nError: Configure. end.\n"));
}

TEST(CommandLine, CctSelectsTheWhiteRow)
{
    run_result r = run({"-cct", "6300"});
    EXPECT_TRUE(contains(r.out, "Configure: The CCT is set to 6301. White Type is set to P3-DCI.\n"
                                "Warning: Use deafult -colorSpace : DCI-P3\n"
                                "Warning: Use deafult -EOTF : 0\n"
                                "Warning: Use deafult -gamma : 2.400000\n"
                                "Warning: Use deafult -lum : 0.000000\n"))
        << r.out;

    r = run({"-cct", "6714"});
    EXPECT_TRUE(contains(r.out, "Configure: The CCT is set to 6714. White Type is set to D65-JUDD.\n")) << r.out;

    r = run({"-cct", "6000", "-cct", "1234"});
    EXPECT_EQ(r.status, 255);
    EXPECT_TRUE(contains(r.out, "Configure: The CCT is set to 6000. White Type is set to D60.\n"
                                "Error: -cct is given an unrecognized value!\n"
                                "Error: Configure. end.\n"))
        << r.out;
    EXPECT_FALSE(contains(r.out, "Warning: Use deafult"));
}

TEST(CommandLine, NotANumberIsAnUnrecognizedParameter)
{
    run_result r = run({"-cct", "abc"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(contains(r.out, std::string("Error: Unrecognized parameter! -cct.\n"
                                            "Error: Unrecognized parameter! abc.\n") +
                                    DEFAULT_WARNINGS))
        << r.out;

    // The value is examined as an option of its own.
    r = run({"-lum", "-EOTF", "HLG"});
    EXPECT_TRUE(contains(r.out, "Error: Unrecognized parameter! -lum.\n"
                                "Configure: The EOTF_type is set to HLG.\n"))
        << r.out;

    r = run({"-dev", "x"});
    EXPECT_TRUE(contains(r.out, "Warning: The sensor is set error!\r\n"
                                "Error: Unrecognized parameter! -dev.\n"
                                "Error: Unrecognized parameter! x.\n"))
        << r.out;
}

TEST(CommandLine, UnknownParameterIsSkipped)
{
    run_result r = run({"-foo", "-colorSpace", "Rec.709", "-lum", "400"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(contains(r.out, "Error: Unrecognized parameter! -foo.\n"
                                "Configure: The Color Space is set to Rec.709.\n"
                                "Configure: The lum is set to 400.000000.\n"
                                "Warning: Use deafult -EOTF : 0\n"
                                "Warning: Use deafult -gamma : 2.400000\n"
                                "Warning: Use deafult -cct : 6500\n"))
        << r.out;
}

TEST(CommandLine, MissingValueStopsTheOptions)
{
    run_result r = run({"-EOTF", "BT.1886", "-gamma"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(contains(r.out, "Configure: The EOTF_type is set to BT.1886.\n"
                                "Error: Required argument to -gamma not specified\n"
                                "Warning: Use deafult -colorSpace : DCI-P3\n"
                                "Warning: Use deafult -gamma : 2.400000\n"))
        << r.out;
    EXPECT_TRUE(contains(r.out, "[start_measure]: test_type = 0.\r\n"));
}

TEST(CommandLine, SensorIds)
{
    run_result r = run({"-dev", "3"});
    EXPECT_TRUE(contains(r.out, "Configure: The sensor is set to PR6XX.\n" + std::string(DEFAULT_WARNINGS)));
    // Outside the sensor table: reported, and the default sensor stays.
    r = run({"-dev", "9"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(contains(r.out, "Warning: The sensor is set error!\r\n" + std::string(DEFAULT_WARNINGS)))
        << r.out;
    r = run({"-dev", "-1"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(contains(r.out, "Warning: The sensor is set error!\r\n")) << r.out;
}

TEST(CommandLine, RejectedValueEndsWithoutCaptures)
{
    analyzer_root root;
    run_result r = root.run({"-EOTF", "pq"});
    EXPECT_EQ(r.status, 255);
    EXPECT_TRUE(contains(r.out, "Warning: -EOTF is given an unrecognized value!\nError: Configure. end.\n"));
    EXPECT_FALSE(contains(r.out, "Warning: Use deafult"));
    EXPECT_FALSE(contains(r.out, "[start_measure]"));
    EXPECT_FALSE(file_exists(root.capture_dir() + "/1.png"));
    EXPECT_FALSE(file_exists(root.capture_dir() + "/1_white.png"));

    r = root.run({"-colorSpace", "sRGB"});
    EXPECT_EQ(r.status, 255);
    EXPECT_TRUE(
        contains(r.out, "Error: -colorSpace is given an unrecognized value!\nError: Configure. end.\n"));
}

TEST(CommandLine, TestFilePathIsReadAndJudged)
{
    temp_dir dir;
    std::string path = dir.path + "/job.csv";
    write_file(path, "h1\nh2\n0,0,0,0,0,0\n1,1,1,95.047,100,108.883\n0.5,0.5,0.5,18.0,18.95,20.6\n");
    run_result r = run({"-testFilePath", path});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(contains(r.out, "Configure: The Test data file path is set to " + path + ".\n" +
                                    DEFAULT_WARNINGS))
        << r.out;
    EXPECT_TRUE(contains(r.out, "bright_Y = 100.000000, dark_Y = 0.000000, test_data_gray_count = 3 \r\n"
                                "reference->white_level = 100.000000, max_E = 0.508"))
        << r.out;
}

// ---- Test data reader ----

class Reader : public ::testing::Test {
  protected:
    temp_dir dir;
    std::string path = dir.path + "/data.csv";
    color_block_t block{};

    void open(const std::string &text)
    {
        write_file(path, text);
        test_file_path = path.c_str();
        ASSERT_EQ(init_test_data_file(), 0);
    }
    // Reads every remaining data line, returning how many.
    int read_all()
    {
        int n = 0;
        while (get_XYZ_from_file(&block) == 0)
            ++n;
        return n;
    }
};

TEST_F(Reader, MissingFile)
{
    test_file_path = "/nonexistent/analyzer_result.csv";
    testing::internal::CaptureStderr();
    EXPECT_EQ(init_test_data_file(), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "fopen: No such file or directory\n");
    EXPECT_EQ(get_XYZ_from_file(&block), -1);
}

TEST_F(Reader, HeaderOnlyHasNoData)
{
    open("ts0,ts1,ts2\nX,Y,Z\n");
    EXPECT_EQ(get_XYZ_from_file(&block), -1);
    EXPECT_EQ(get_XYZ_from_file(&block), -1);  // closed: stays at the end
    open("only one header line");
    EXPECT_EQ(get_XYZ_from_file(&block), -1);
}

TEST_F(Reader, BlankLinesAndLastLineWithoutNewline)
{
    open("h1\r\nh2\r\n\r\n\r\n0.1,0.2,0.3,1.5,2.5,3.5\r\n\n\n0.4,0.5,0.6,4,5,6");
    ASSERT_EQ(get_XYZ_from_file(&block), 0);
    EXPECT_EQ(block.ts0, 0.1f);
    EXPECT_EQ(block.ts1, 0.2f);
    EXPECT_EQ(block.ts2, 0.3f);
    EXPECT_EQ(block.X, 1.5f);
    EXPECT_EQ(block.Y, 2.5f);
    EXPECT_EQ(block.Z, 3.5f);
    ASSERT_EQ(get_XYZ_from_file(&block), 0);
    EXPECT_EQ(block.ts0, 0.4f);
    EXPECT_EQ(block.Z, 6.0f);
    EXPECT_EQ(get_XYZ_from_file(&block), -1);
}

TEST_F(Reader, UnconvertibleFieldsKeepThePreviousValues)
{
    open("h1\nh2\n0.1,0.2,0.3,1,2,3\n     \n0.7,0.8\n0.9;1,1,1,1,1\n");
    ASSERT_EQ(get_XYZ_from_file(&block), 0);
    color_block_t first = block;
    // A line of spaces is not blank: nothing converts, the values repeat.
    ASSERT_EQ(get_XYZ_from_file(&block), 0);
    EXPECT_EQ(memcmp(&first, &block, sizeof block), 0);
    // Leading fields only.
    ASSERT_EQ(get_XYZ_from_file(&block), 0);
    EXPECT_EQ(block.ts0, 0.7f);
    EXPECT_EQ(block.ts1, 0.8f);
    EXPECT_EQ(block.ts2, 0.3f);
    EXPECT_EQ(block.Z, 3.0f);
    // The separator must be a comma.
    ASSERT_EQ(get_XYZ_from_file(&block), 0);
    EXPECT_EQ(block.ts0, 0.9f);
    EXPECT_EQ(block.ts1, 0.8f);
    // Other fields of the block are never touched.
    EXPECT_EQ(block.L, 0.0f);
}

TEST_F(Reader, LongLinesComeInPiecesOf255)
{
    std::string first = "0.1,0.2,0.3,4,5,6";
    std::string padded = first + std::string(255 - first.size(), ' ');
    // One physical line of 255 + 18 characters: two data lines.
    // A line of exactly 255 characters: its line end alone is blank.
    open("h1\nh2\n" + padded + "0.7,0.8,0.9,7,8,9\n" + padded + "\n" + "0.5,0.5,0.5,1,1,1\n");
    ASSERT_EQ(get_XYZ_from_file(&block), 0);
    EXPECT_EQ(block.ts0, 0.1f);
    ASSERT_EQ(get_XYZ_from_file(&block), 0);
    EXPECT_EQ(block.ts0, 0.7f);
    EXPECT_EQ(block.Z, 9.0f);
    ASSERT_EQ(get_XYZ_from_file(&block), 0);
    EXPECT_EQ(block.ts0, 0.1f);
    ASSERT_EQ(get_XYZ_from_file(&block), 0);
    EXPECT_EQ(block.ts0, 0.5f);
    EXPECT_EQ(get_XYZ_from_file(&block), -1);

    // A long header line spills its rest into the data.
    open(std::string(300, 'h') + "\nh2\n1,1,1,1,1,1\n");
    EXPECT_EQ(read_all(), 2);
}

TEST_F(Reader, NonFiniteNegativeAndHugeNumbers)
{
    open("h1\nh2\nnan,inf,-inf,1e39,-1e39,1e-50\n-0.5,-1,-2,-3.5,-4,-5e3\n");
    ASSERT_EQ(get_XYZ_from_file(&block), 0);
    EXPECT_TRUE(std::isnan(block.ts0));
    EXPECT_TRUE(std::isinf(block.ts1) && block.ts1 > 0);
    EXPECT_TRUE(std::isinf(block.ts2) && block.ts2 < 0);
    EXPECT_TRUE(std::isinf(block.X) && block.X > 0);
    EXPECT_TRUE(std::isinf(block.Y) && block.Y < 0);
    EXPECT_EQ(block.Z, 0.0f);
    ASSERT_EQ(get_XYZ_from_file(&block), 0);
    EXPECT_EQ(block.ts0, -0.5f);
    EXPECT_EQ(block.Y, -4.0f);
    EXPECT_EQ(block.Z, -5000.0f);
}

TEST_F(Reader, TenThousandLines)
{
    std::string text = "h1\nh2\n";
    for (int i = 0; i < 10000; ++i)
        text += std::to_string(i % 11 / 10.0) + ",0,0," + std::to_string(i) + ",1,1\n";
    open(text);
    EXPECT_EQ(read_all(), 10000);
    EXPECT_EQ(block.X, 9999.0f);
    // The file can be opened again for another run.
    open(text);
    EXPECT_EQ(read_all(), 10000);
}

}  // namespace

// Hostile input through the same entry code as the fuzz targets: every seed
// and every input a fuzzer once failed on (kept in fuzz/corpus/) must run
// clean, in this build and in the sanitizer build.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "../fuzz/fuzz_entry.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

const std::string corpus_dir = std::string(ANALYZER_SOURCE_DIR) + "/fuzz/corpus/";
const std::string samples_dir = std::string(ANALYZER_SOURCE_DIR) + "/samples";

std::vector<std::string> corpus(const std::string &name)
{
    std::vector<std::string> files;
    for (const auto &e : fs::directory_iterator(corpus_dir + name))
        files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

const uint8_t *bytes(const std::string &s)
{
    return reinterpret_cast<const uint8_t *>(s.data());
}

std::string test_data(uint8_t pick, const std::string &file)
{
    temp_dir dir;
    const std::string input = std::string(1, static_cast<char>(pick)) + file;
    return fuzz_entry::run_test_data(bytes(input), input.size(), dir.path + "/data.csv");
}

std::string command_line(const std::string &lines)
{
    return fuzz_entry::run_command_line(bytes(lines), lines.size(), samples_dir);
}

// Target picks: EOTF | colour space << 2 | white << 5 (D65 is white 5).
constexpr uint8_t POWER_P3 = 0 | 5 << 2 | 5 << 5;
constexpr uint8_t PQ_2020 = 2 | 3 << 2 | 5 << 5;

}  // namespace

TEST(HardeningCorpus, EveryTestDataInputEvaluatesWithConsistentCounts)
{
    temp_dir dir;
    const auto files = corpus("test_data");
    ASSERT_GE(files.size(), 10u);
    for (const std::string &file : files) {
        SCOPED_TRACE(file);
        const std::string input = read_file(file);
        EXPECT_EQ(fuzz_entry::run_test_data(bytes(input), input.size(), dir.path + "/data.csv"), "");
    }
}

// The same inputs drawn as the report's chart pages, the overlays included.
TEST(HardeningCorpus, EveryTestDataInputDrawsOnTheHeadlessCanvas)
{
    ensure_headless_efl();
    temp_dir dir;
    for (const std::string &file : corpus("test_data")) {
        SCOPED_TRACE(file);
        const std::string input = read_file(file);
        EXPECT_EQ(fuzz_entry::run_test_data(bytes(input), input.size(), dir.path + "/data.csv", true), "");
    }
}

TEST(HardeningCorpus, EveryCommandLineConfiguresAndEvaluatesASample)
{
    const auto files = corpus("command_line");
    ASSERT_GE(files.size(), 10u);
    for (const std::string &file : files) {
        SCOPED_TRACE(file);
        EXPECT_EQ(command_line(read_file(file)), "");
    }
    // The path option must not be left pointing at the entry's arguments.
    EXPECT_EQ(command_line("-testFilePath\n/somewhere/else.csv"), "");
    EXPECT_STRNE(test_file_path, "/somewhere/else.csv");
}

TEST(HardeningEntry, CountsSurviveOverfullAndSuperWhiteOnlyStores)
{
    std::string ramp = "h\nh\n";
    for (int i = 0; i < 40; ++i) {
        const std::string s = std::to_string(i / 39.0);
        ramp += s + "," + s + "," + s + ",1,1,1\n";
    }
    EXPECT_EQ(test_data(PQ_2020, ramp), "");
    EXPECT_EQ(test_data_gray_count, GRAY_MAX);

    // The only grayscale patch is the super-white, which HDR leaves out.
    EXPECT_EQ(test_data(PQ_2020, "h\nh\n1.09,1.09,1.09,120,130,140\n"), "");
    EXPECT_EQ(test_data_gray_count, 0);
    EXPECT_EQ(hdr_gray_pillar_count, 0);

    EXPECT_EQ(test_data(POWER_P3, ""), "");
    EXPECT_EQ(test_data_gray_count, 0);
}

TEST(HardeningEntry, RejectedAndMissingOptionsLeaveTheTargetUsable)
{
    EXPECT_EQ(command_line("-colorSpace\nsRGB"), "");
    EXPECT_EQ(command_line("-EOTF\nHLG\n-lum"), "");
    EXPECT_EQ(reference->test_type, 3);
    EXPECT_EQ(command_line("-dev\n9"), "");
    EXPECT_EQ(sensor_id, 0);
}

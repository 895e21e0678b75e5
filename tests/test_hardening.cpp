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

std::string command_line(const std::string &lines)
{
    return fuzz_entry::run_command_line(bytes(lines), lines.size(), samples_dir);
}

}  // namespace

// Every input evaluated alone; then every input drawn as the report's chart
// pages, the overlays included.
TEST(HardeningCorpus, EveryTestDataInputEvaluatesWithConsistentCounts)
{
    ensure_headless_efl();
    temp_dir dir;
    const auto files = corpus("test_data");
    ASSERT_GE(files.size(), 10u);
    for (bool draw : {false, true})
        for (const std::string &file : files) {
            SCOPED_TRACE(file);
            const std::string input = read_file(file);
            EXPECT_EQ(fuzz_entry::run_test_data(bytes(input), input.size(), dir.path + "/data.csv", draw), "")
                << (draw ? "drawn" : "evaluated");
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
}

TEST(HardeningCorpus, EveryRecordInputIsWrittenAsValidJson)
{
    const auto files = corpus("record");
    ASSERT_GE(files.size(), 5u);
    for (const std::string &file : files) {
        SCOPED_TRACE(file);
        const std::string input = read_file(file);
        EXPECT_EQ(fuzz_entry::run_record(bytes(input), input.size(), samples_dir), "");
    }
}

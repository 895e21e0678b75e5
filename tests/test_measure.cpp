// Patch store classification, the measurement run's evaluation, and ideal
// displays from analyzer-simulate judged by the evaluation.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "config/configure.h"
#include "config/reference.h"
#include "measure/measure.h"
#include "test_support.h"

namespace {

// A fresh target: EOTF type, colour space and gamma, with its matrices.
void set_target(int test_type, const char *space = "DCI-P3", float gamma = 2.4f)
{
    init_reference();
    reference->test_type = test_type;
    reference->gamma = gamma;
    for (const standard_t &s : standard_type)
        if (std::string(s.name) == space)
            reference->standard = s;
    init_ref_matrix();
}

color_block_t signal(float s, float t, float u, float Y = 1.0f)
{
    color_block_t c{};
    c.ts0 = s;
    c.ts1 = t;
    c.ts2 = u;
    c.X = Y;
    c.Y = Y;
    c.Z = Y;
    return c;
}

void add(float s, float t, float u, float Y = 1.0f)
{
    color_block_t c = signal(s, t, u, Y);
    add_test_data(&c);
}

// Slot of the one filled gamut (or checker) record, or -1.
template <size_t N>
int filled_slot(const color_t (&slots)[N])
{
    int found = -1;
    for (size_t i = 0; i < N; ++i)
        if (slots[i].c.ts0 != 0 || slots[i].c.ts1 != 0 || slots[i].c.ts2 != 0) {
            if (found >= 0)
                return -2;
            found = static_cast<int>(i);
        }
    return found;
}

int gamut_slot_of(int test_type, float s, float t, float u)
{
    set_target(test_type);
    del_test_data();
    add(s, t, u);
    EXPECT_EQ(test_data_gray_count, 0);
    EXPECT_EQ(filled_slot(data_check), -1);
    return filled_slot(data_gamut);
}

int check_slot_of(int test_type, float s, float t, float u)
{
    set_target(test_type);
    del_test_data();
    add(s, t, u);
    EXPECT_EQ(test_data_gray_count, 0);
    EXPECT_EQ(filled_slot(data_gamut), -1);
    return filled_slot(data_check);
}

class Store : public ::testing::Test {
  protected:
    void SetUp() override
    {
        set_target(0);
        del_test_data();
    }
};

TEST_F(Store, GrayscaleIsSortedAndARepeatedLevelReplacesTheEarlierOne)
{
    add(1.0f, 1.0f, 1.0f, 100);
    add(0.0f, 0.0f, 0.0f, 0);
    add(0.5f, 0.5f, 0.5f, 20);
    ASSERT_EQ(test_data_gray_count, 3);
    EXPECT_EQ(data_gray[0].c.ts0, 0.0f);
    EXPECT_EQ(data_gray[1].c.ts0, 0.5f);
    EXPECT_EQ(data_gray[2].c.ts0, 1.0f);
    EXPECT_EQ(data_gray[2].c.Y, 100.0f);

    testing::internal::CaptureStdout();
    add(0.5f, 0.5f, 0.5f, 21);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "data cover\xEF\xBC\x8C i = 1\r\n");
    EXPECT_EQ(test_data_gray_count, 3);
    EXPECT_EQ(data_gray[1].c.Y, 21.0f);

    // (0, 0, 0) is grayscale, not gamut.
    EXPECT_EQ(filled_slot(data_gamut), -1);
    EXPECT_EQ(filled_slot(data_check), -1);

    del_test_data();
    EXPECT_EQ(test_data_gray_count, 0);
    EXPECT_EQ(data_gray[0].c.Y, 0.0f);
}

TEST_F(Store, SuperWhiteIsAboveOnePointZeroThree)
{
    add(1.03f, 1.03f, 1.03f);
    EXPECT_EQ(flag_super_white, 0);
    add(1.09f, 1.09f, 1.09f);
    EXPECT_EQ(flag_super_white, 1);
    EXPECT_EQ(test_data_gray_count, 2);
    del_test_data();
    EXPECT_EQ(flag_super_white, 0);
}

TEST(Classification, GamutSlots)
{
    // Primaries match on any level, with either table.
    EXPECT_EQ(gamut_slot_of(0, 0.5f, 0, 0), 1);
    EXPECT_EQ(gamut_slot_of(2, 0.5f, 0, 0), 1);
    EXPECT_EQ(gamut_slot_of(0, 0, 0.3f, 0), 2);
    EXPECT_EQ(gamut_slot_of(0, 0, 0, 0.9f), 3);
    EXPECT_EQ(gamut_slot_of(0, 0, 0.7f, 0.7f), 4);
    EXPECT_EQ(gamut_slot_of(0, 0.7f, 0, 0.7f), 5);
    EXPECT_EQ(gamut_slot_of(0, 0.7f, 0.7f, 0), 6);
    // Red and green are equally near and nearer than yellow with the SDR
    // table: the earlier row wins. The HDR table has yellow nearest.
    EXPECT_EQ(gamut_slot_of(0, 0.3f, 0.3f, 0), 1);
    EXPECT_EQ(gamut_slot_of(2, 0.3f, 0.3f, 0), 6);
    // HLG uses the HDR gamut table.
    EXPECT_EQ(gamut_slot_of(3, 0.3f, 0.3f, 0), 6);
    // Nothing nearer than 3.0: slot 0.
    EXPECT_EQ(gamut_slot_of(0, 3.0f, 0, 0), 0);
    EXPECT_EQ(gamut_slot_of(2, -2.0f, 0, 0), 0);
}

TEST(Classification, ColourCheckerSlots)
{
    EXPECT_EQ(check_slot_of(0, 0.2f, 0.5f, 0.1f), 13);
    EXPECT_EQ(check_slot_of(2, 0.2f, 0.5f, 0.1f), 13);
    for (int i = 0; i < CHECK_COUNT; ++i) {
        const signal_row_t &sdr = colorCheck_stand_sdr[i];
        const signal_row_t &hdr = colorCheck_stand_hdr[i];
        EXPECT_EQ(check_slot_of(0, sdr[0], sdr[1], sdr[2]), i);
        EXPECT_EQ(check_slot_of(2, hdr[0], hdr[1], hdr[2]), i);
    }
    // HLG matches checker patches against the SDR table: the SDR "Orange"
    // lies nearest to another HDR row.
    const signal_row_t &orange = colorCheck_stand_sdr[6];
    EXPECT_EQ(check_slot_of(3, orange[0], orange[1], orange[2]), 6);
    EXPECT_NE(check_slot_of(2, orange[0], orange[1], orange[2]), 6);
    // Far from every row: "Dark Skin".
    EXPECT_EQ(check_slot_of(0, 3.0f, 2.0f, 1.0f), 0);
}

TEST_F(Store, NonFiniteSignalsAreStoredWithoutHarm)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    add(nan, nan, nan);
    add(inf, inf, inf);
    add(inf, 0, 0);
    add(-inf, 0.5f, 0.1f);
    EXPECT_EQ(test_data_gray_count, 0);
    EXPECT_TRUE(std::isnan(data_check[0].c.ts0) || std::isinf(data_check[0].c.ts0));
}

// 31 levels appended, then the 32nd comes either at the end or before it.
void fill_31()
{
    del_test_data();
    for (int i = 1; i <= 31; ++i)
        add(i / 100.0f, i / 100.0f, i / 100.0f, static_cast<float>(i));
    ASSERT_EQ(test_data_gray_count, 31);
}

void expect_sorted_and_refuses_33rd()
{
    ASSERT_EQ(test_data_gray_count, GRAY_MAX);
    for (int i = 1; i < GRAY_MAX; ++i)
        EXPECT_LT(data_gray[i - 1].c.ts0, data_gray[i].c.ts0) << i;
    color_t before[GRAY_MAX];
    std::copy(data_gray, data_gray + GRAY_MAX, before);
    testing::internal::CaptureStdout();
    add(0.001f, 0.001f, 0.001f);
    add(0.9f, 0.9f, 0.9f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "[add_data_gray] Error: test_data_gray_count beyond!!\r\n"
              "[add_data_gray] Error: test_data_gray_count beyond!!\r\n");
    EXPECT_EQ(test_data_gray_count, GRAY_MAX);
    for (int i = 0; i < GRAY_MAX; ++i)
        EXPECT_EQ(data_gray[i].c.ts0, before[i].c.ts0);
}

TEST_F(Store, ThirtySecondPatchIsKeptOnBothPaths)
{
    fill_31();
    add(0.5f, 0.5f, 0.5f, 50);  // appended
    EXPECT_EQ(data_gray[31].c.Y, 50.0f);
    expect_sorted_and_refuses_33rd();

    fill_31();
    add(0.005f, 0.005f, 0.005f, 99);  // inserted first: every entry moves up
    EXPECT_EQ(data_gray[0].c.Y, 99.0f);
    EXPECT_EQ(data_gray[31].c.Y, 31.0f);
    expect_sorted_and_refuses_33rd();
}

// ---- Measurement run on files ----

struct data_file {
    temp_dir dir;
    std::string path = dir.path + "/data.csv";
    explicit data_file(const std::string &lines)
    {
        write_file(path, "header 1\nheader 2\n" + lines);
        test_file_path = path.c_str();
    }
};

std::string gray_line(float s, float Y)
{
    char buf[128];
    snprintf(buf, sizeof buf, "%f,%f,%f,%f,%f,%f\n", s, s, s, 0.9505 * Y, Y, 1.089 * Y);
    return buf;
}

// Grayscale 0.0 to 1.0, pure power law 2.2 against a white of 100 cd/m2.
std::string ramp(float white = 100.0f)
{
    std::string s;
    for (int i = 0; i <= 10; ++i)
        s += gray_line(i / 10.0f, white * std::pow(i / 10.0f, 2.2f));
    return s;
}

TEST(Run, MissingFileDrawsNothing)
{
    set_target(0);
    test_file_path = "/nonexistent/analyzer_result.csv";
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(evaluate_measure(0));
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("fopen: ", 0), 0u);
    EXPECT_EQ(out, "[start_measure]: test_type = 0.\r\nError: start_measure, init test data file faile!\n");
}

TEST(Run, SuperWhiteStaysInSdrAndLeavesHdr)
{
    data_file f(ramp(200) + gray_line(1.09f, 230));
    set_target(0);
    testing::internal::CaptureStdout();
    ASSERT_TRUE(evaluate_measure(0));
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("bright_Y = 200.000000, dark_Y = 0.000000, test_data_gray_count = 12 \r\n"),
              std::string::npos)
        << out;
    EXPECT_EQ(test_data_gray_count, 12);
    EXPECT_EQ(reference->gray_steps, 11);
    EXPECT_EQ(reference->white_level, 200.0f);
    EXPECT_EQ(reference->max_E, get_ST2084_inver_EOTF(200.0f));
    // The white slot holds the 1.0 patch.
    EXPECT_EQ(data_gamut[0].c.ts0, 1.0f);
    EXPECT_EQ(data_gamut[0].c.Y, 200.0f);

    set_target(2);
    ASSERT_TRUE(evaluate_measure(1));
    EXPECT_EQ(test_data_gray_count, 11);
    EXPECT_EQ(reference->gray_steps, 10);
    EXPECT_EQ(reference->white_level, 200.0f);
}

TEST(Run, PqPillarsStopAtTheWhitesSignalHlgCountsAll)
{
    data_file f(ramp(100));
    set_target(2);
    ASSERT_TRUE(evaluate_measure(1));
    // PQ of 100 cd/m2 is about 0.508: signals 0.0 to 0.5 lie below it.
    EXPECT_NEAR(reference->max_E, 0.508, 0.001);
    EXPECT_EQ(hdr_gray_pillar_count, 6);
    for (int i = 0; i < test_data_gray_count; ++i)
        EXPECT_EQ(data_gray[i].E_prime, get_ST2084_inver_EOTF(data_gray[i].c.Y));
    // A second run starts counting afresh.
    ASSERT_TRUE(evaluate_measure(1));
    EXPECT_EQ(hdr_gray_pillar_count, 6);

    set_target(3);
    ASSERT_TRUE(evaluate_measure(1));
    EXPECT_EQ(hdr_gray_pillar_count, 11);
}

TEST(Run, PowerAndBt1886Gammas)
{
    data_file f(ramp(100));
    set_target(0);
    ASSERT_TRUE(evaluate_measure(0));
    EXPECT_NEAR(data_gray[5].gamma, 2.2f, 1e-4);
    EXPECT_EQ(data_gray[10].gamma, 0.0f);  // the power law has no gamma at the white
    EXPECT_EQ(data_gray[0].gamma, 0.0f);

    set_target(1);
    ASSERT_TRUE(evaluate_measure(0));
    EXPECT_NEAR(data_gray[5].gamma, 2.2f, 1e-4);
    EXPECT_EQ(data_gray[10].gamma, 2.4f);  // BT.1886 at the white
}

TEST(Run, WhiteSlotIsTheChosenWhite)
{
    // (9, 0, 0) is nearer than 3.0 to no gamut row, so it lands in slot 0 first.
    data_file f(ramp(120) + "9,0,0,1,2,3\n");
    set_target(0);
    ASSERT_TRUE(evaluate_measure(0));
    EXPECT_EQ(data_gamut[0].c.ts0, 1.0f);
    EXPECT_EQ(data_gamut[0].c.Y, 120.0f);
}

TEST(Run, WithoutGrayscaleTheWhiteIs100)
{
    data_file f("0.5,0,0,10,5,1\n");
    set_target(0);
    reference->gray_steps = 7;
    ASSERT_TRUE(evaluate_measure(0));
    EXPECT_EQ(reference->white_level, 100.0f);
    EXPECT_EQ(reference->gray_steps, 7);
}

TEST(Run, SingleSuperWhitePatchIsTheWhite)
{
    data_file f(gray_line(1.09f, 150));
    set_target(0);
    ASSERT_TRUE(evaluate_measure(0));
    EXPECT_EQ(reference->white_level, 150.0f);
    EXPECT_EQ(reference->gray_steps, 0);
    set_target(2);
    ASSERT_TRUE(evaluate_measure(1));
    EXPECT_EQ(test_data_gray_count, 0);
    EXPECT_EQ(hdr_gray_pillar_count, 0);
}

TEST(Run, NonFiniteAndHugeValuesAreEvaluated)
{
    // Run under the sanitizer build to catch undefined behaviour.
    std::string lines = ramp(100) + "nan,nan,nan,1,1,1\n" + "0.35,0.35,0.35,nan,nan,nan\n" +
                        "0.45,0.45,0.45,inf,inf,inf\n" + "0.55,0.55,0.55,1e39,-1e39,1e30\n" +
                        "inf,0,0,1,1,1\n" + "0.2,0.5,0.1,-inf,inf,nan\n" + "1e30,-1e30,0,5,5,5\n" +
                        "2,2,2,nan,nan,nan\n";
    data_file f(lines);
    for (int type = 0; type < 4; ++type) {
        set_target(type);
        EXPECT_TRUE(evaluate_measure(type > 1 ? 1 : 0));
    }
}

// ---- Ideal and deviating displays from analyzer-simulate ----

void simulate(const std::string &path, std::vector<std::string> args)
{
    args.insert(args.begin(), ANALYZER_SIMULATE_BIN);
    args.insert(args.end(), {"--seed", "11", "-o", path});
    run_result r = run_program(args, {});
    ASSERT_EQ(r.status, 0) << "analyzer-simulate failed (is it built?)\n" << r.err;
}

struct simulated {
    temp_dir dir;
    std::string path = dir.path + "/sim.csv";
    simulated(const std::vector<std::string> &args, int test_type, const char *space, float gamma = 2.4f)
    {
        simulate(path, args);
        test_file_path = path.c_str();
        set_target(test_type, space, gamma);
    }
};

TEST(Simulated, IdealSdrDisplaysMatchTheTarget)
{
    struct case_t {
        const char *eotf;
        int type;
        const char *space;
        const char *gamma;
    };
    for (const case_t &c : {case_t{"Power", 0, "DCI-P3", "2.4"}, case_t{"BT.1886", 1, "Rec.709", "2.4"},
                            case_t{"Power", 0, "BT.2020", "2.2"}}) {
        SCOPED_TRACE(std::string(c.eotf) + " " + c.space);
        float gamma = std::stof(c.gamma);
        simulated s({"-EOTF", c.eotf, "-colorSpace", c.space, "-gamma", c.gamma}, c.type, c.space, gamma);
        ASSERT_TRUE(evaluate_measure(0));
        ASSERT_EQ(test_data_gray_count, 11);
        EXPECT_NEAR(reference->white_level, 100.0f, 1e-3);
        for (int i = 0; i < test_data_gray_count; ++i) {
            EXPECT_LT(data_gray[i].dE2000, 0.01f) << i;
            if (i > 0 && i < 10) {
                EXPECT_NEAR(data_gray[i].gamma, gamma, 0.001) << i;
            }
        }
        for (int i = 0; i < GAMUT_COUNT; ++i)
            EXPECT_LT(data_gamut[i].dE2000, 0.01f) << "gamut " << i;
        for (int i = 0; i < CHECK_COUNT; ++i) {
            EXPECT_GT(data_check[i].c.Y, 0.0f) << "checker " << i << " missing";
            EXPECT_LT(data_check[i].dE2000, 0.01f) << "checker " << i;
        }
    }
}

TEST(Simulated, DisplayGammaDeviationShows)
{
    simulated s({"--gamma", "2.2"}, 0, "DCI-P3");
    ASSERT_TRUE(evaluate_measure(0));
    for (int i = 1; i < 10; ++i)
        EXPECT_NEAR(data_gray[i].gamma, 2.2f, 0.001) << i;
    EXPECT_GT(data_gray[5].dE2000, 1.0f);
}

TEST(Simulated, ChromaticityShiftShows)
{
    simulated s({"--shift-x", "0.01"}, 0, "DCI-P3");
    ASSERT_TRUE(evaluate_measure(0));
    EXPECT_GT(data_gray[10].dE2000, 2.0f);
    EXPECT_NEAR(data_gray[10].c.x, 0.312712f + 0.01f, 1e-4);
    EXPECT_GT(data_check[13].dE2000, 1.0f);
}

TEST(Simulated, IdealPqDisplayClippingAt600)
{
    simulated s({"-EOTF", "PQ", "-colorSpace", "BT.2020", "--clip", "600", "--super-white"}, 2, "BT.2020");
    ASSERT_TRUE(evaluate_measure(1));
    EXPECT_EQ(flag_super_white, 1);
    ASSERT_EQ(test_data_gray_count, 11);
    EXPECT_NEAR(reference->white_level, 600.0f, 1e-3);
    // PQ(600 cd/m2) is about 0.696: 0.0 to 0.6 are pillars.
    EXPECT_EQ(hdr_gray_pillar_count, 7);
    for (int i = 0; i < test_data_gray_count; ++i) {
        EXPECT_LT(data_gray[i].dEITP, 0.01f) << i;
        EXPECT_LT(data_gray[i].dE2000, 0.01f) << i;
    }
    for (int i = 0; i < CHECK_COUNT; ++i)
        EXPECT_LT(data_check[i].dEITP, 0.01f) << "checker " << i;
}

TEST(Simulated, PqCodeOffsetShows)
{
    simulated s({"-EOTF", "PQ", "--clip", "1000", "--eotf-offset", "0.01"}, 2, "DCI-P3");
    ASSERT_TRUE(evaluate_measure(1));
    EXPECT_NEAR(data_gray[5].E_prime - data_gray[5].c.ts0, 0.01f, 1e-4);
    EXPECT_GT(data_gray[5].dEITP, 1.0f);
}

TEST(Simulated, IdealHlgDisplay)
{
    simulated s({"-EOTF", "HLG", "-colorSpace", "BT.2020", "--white", "1000"}, 3, "BT.2020");
    testing::internal::CaptureStdout();
    ASSERT_TRUE(evaluate_measure(1));
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(test_data_gray_count, 11);
    EXPECT_NEAR(reference->white_level, 1000.0f, 0.1);
    EXPECT_EQ(hdr_gray_pillar_count, 11);
    for (int i = 0; i < test_data_gray_count; ++i)
        EXPECT_LT(data_gray[i].dEITP, 0.01f) << i;
    for (int i = 0; i < CHECK_COUNT; ++i)
        EXPECT_LT(data_check[i].dEITP, 0.01f) << "checker " << i;
}

}  // namespace

// Patch store classification, the measurement run's evaluation, and
// displays modelled by analyzer-simulate judged by that evaluation.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "config/configure.h"
#include "config/reference.h"
#include "measure/measure.h"
#include "test_support.h"

namespace {

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

void add(float s, float t, float u, float Y = 1.0f)
{
    color_block_t c{};
    c.ts0 = s, c.ts1 = t, c.ts2 = u, c.X = Y, c.Y = Y, c.Z = Y;
    add_test_data(&c);
}

// Where one patch lands: "gray", "gamut N" or "check N".
std::string classify(int test_type, float s, float t, float u)
{
    set_target(test_type);
    del_test_data();
    add(s, t, u, 7.0f);
    if (test_data_gray_count == 1)
        return "gray";
    for (int i = 0; i < GAMUT_COUNT; ++i)
        if (data_gamut[i].c.Y == 7.0f)
            return "gamut " + std::to_string(i);
    for (int i = 0; i < CHECK_COUNT; ++i)
        if (data_check[i].c.Y == 7.0f)
            return "check " + std::to_string(i);
    return "lost";
}

TEST(Store, Classification)
{
    EXPECT_EQ(classify(0, 0, 0, 0), "gray");
    EXPECT_EQ(classify(0, 0.5f, 0, 0), "gamut 1");
    EXPECT_EQ(classify(2, 0.5f, 0, 0), "gamut 1");
    EXPECT_EQ(classify(0, 0, 0, 0.9f), "gamut 3");
    EXPECT_EQ(classify(0, 0.7f, 0, 0.7f), "gamut 5");
    EXPECT_EQ(classify(0, 0.7f, 0.7f, 0), "gamut 6");
    // Red and green tie, nearer than yellow: the earlier row wins.
    EXPECT_EQ(classify(0, 0.3f, 0.3f, 0), "gamut 1");
    EXPECT_EQ(classify(2, 0.3f, 0.3f, 0), "gamut 6");
    EXPECT_EQ(classify(3, 0.3f, 0.3f, 0), "gamut 6");  // HLG: HDR gamut table
    EXPECT_EQ(classify(0, 0.2f, 0.5f, 0.1f), "check 13");
    EXPECT_EQ(classify(2, 0.2f, 0.5f, 0.1f), "check 13");
    // HLG: SDR checker table. The SDR "Orange" is nearest another HDR row.
    const signal_row_t &orange = colorCheck_stand_sdr[6];
    EXPECT_EQ(classify(3, orange[0], orange[1], orange[2]), "check 6");
    EXPECT_EQ(classify(2, orange[0], orange[1], orange[2]), "check 15");
    // Nothing nearer than 3.0, or not a number: slot 0.
    EXPECT_EQ(classify(0, 3.0f, 0, 0), "gamut 0");
    EXPECT_EQ(classify(0, 3.0f, 2.0f, 1.0f), "check 0");
    EXPECT_EQ(classify(0, NAN, NAN, NAN), "check 0");
    EXPECT_EQ(classify(0, INFINITY, 0, 0), "gamut 0");
    for (int i = 0; i < CHECK_COUNT; ++i) {
        const signal_row_t &sdr = colorCheck_stand_sdr[i], &hdr = colorCheck_stand_hdr[i];
        EXPECT_EQ(classify(0, sdr[0], sdr[1], sdr[2]), "check " + std::to_string(i));
        EXPECT_EQ(classify(2, hdr[0], hdr[1], hdr[2]), "check " + std::to_string(i));
    }
}

TEST(Store, GrayscaleOrderCoverAndSuperWhite)
{
    set_target(0);
    del_test_data();
    add(1.0f, 1.0f, 1.0f, 100);
    add(0.0f, 0.0f, 0.0f, 0);
    add(0.5f, 0.5f, 0.5f, 20);
    add(1.03f, 1.03f, 1.03f, 101);
    EXPECT_EQ(flag_super_white, 0);
    testing::internal::CaptureStdout();
    add(0.5f, 0.5f, 0.5f, 21);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "data cover\xEF\xBC\x8C i = 1\r\n");
    add(1.09f, 1.09f, 1.09f, 110);
    EXPECT_EQ(flag_super_white, 1);
    ASSERT_EQ(test_data_gray_count, 5);
    const float ts[] = {0.0f, 0.5f, 1.0f, 1.03f, 1.09f}, Y[] = {0, 21, 100, 101, 110};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(data_gray[i].c.ts0, ts[i]);
        EXPECT_EQ(data_gray[i].c.Y, Y[i]);
    }
    del_test_data();
    EXPECT_EQ(test_data_gray_count + flag_super_white, 0);
    EXPECT_EQ(data_gray[0].c.Y, 0.0f);
}

TEST(Store, ThirtySecondPatchIsKeptOnBothPathsTheThirtyThirdRefused)
{
    set_target(0);
    for (float level : {0.5f, 0.005f}) {  // appended, then inserted first
        SCOPED_TRACE(level);
        del_test_data();
        for (int i = 1; i <= 31; ++i)
            add(i / 100.0f, i / 100.0f, i / 100.0f, static_cast<float>(i));
        add(level, level, level, 99);
        ASSERT_EQ(test_data_gray_count, GRAY_MAX);
        EXPECT_EQ(data_gray[level < 0.01f ? 0 : 31].c.Y, 99.0f);
        EXPECT_EQ(data_gray[level < 0.01f ? 31 : 30].c.Y, 31.0f);
        testing::internal::CaptureStdout();
        add(0.001f, 0.001f, 0.001f);
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  "[add_data_gray] Error: test_data_gray_count beyond!!\r\n");
        EXPECT_EQ(test_data_gray_count, GRAY_MAX);
        for (int i = 1; i < GRAY_MAX; ++i)
            EXPECT_LT(data_gray[i - 1].c.ts0, data_gray[i].c.ts0);
    }
}

// ---- The run's evaluation on files ----

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

// Grayscale 0.0 to 1.0 of a gamma-2.2 display.
std::string ramp(float white)
{
    std::string s;
    for (int i = 0; i <= 10; ++i)
        s += gray_line(i / 10.0f, white * std::pow(i / 10.0f, 2.2f));
    return s;
}

TEST(Run, SuperWhiteStaysInSdrAndLeavesHdr)
{
    // (9, 0, 0) is nearer to no gamut row: it takes the white slot first.
    data_file f(ramp(200) + gray_line(1.09f, 230) + "9,0,0,1,2,3\n");
    set_target(0);
    testing::internal::CaptureStdout();
    ASSERT_TRUE(evaluate_measure(0));
    EXPECT_NE(testing::internal::GetCapturedStdout().find(
                  "bright_Y = 200.000000, dark_Y = 0.000000, test_data_gray_count = 12 \r\n"),
              std::string::npos);
    EXPECT_EQ(test_data_gray_count, 12);
    EXPECT_EQ(reference->gray_steps, 11);
    EXPECT_EQ(reference->white_level, 200.0f);
    EXPECT_EQ(reference->max_E, get_ST2084_inver_EOTF(200.0f));
    EXPECT_EQ(data_gamut[0].c.ts0, 1.0f);
    EXPECT_EQ(data_gamut[0].c.Y, 200.0f);

    set_target(2);
    ASSERT_TRUE(evaluate_measure(1));
    EXPECT_EQ(test_data_gray_count, 11);
    EXPECT_EQ(reference->gray_steps, 10);
}

TEST(Run, PillarsGammasAndDegenerateFiles)
{
    data_file f(ramp(100));
    set_target(2);
    ASSERT_TRUE(evaluate_measure(1));
    // PQ of 100 cd/m2 is about 0.508: signals 0.0 to 0.5 lie below it.
    EXPECT_EQ(hdr_gray_pillar_count, 6);
    EXPECT_EQ(data_gray[3].E_prime, get_ST2084_inver_EOTF(data_gray[3].c.Y));
    set_target(3);
    ASSERT_TRUE(evaluate_measure(1));
    EXPECT_EQ(hdr_gray_pillar_count, 11);

    // Both SDR EOTFs estimate 2.2 from ts1; at the white only BT.1886 has one.
    set_target(0);
    ASSERT_TRUE(evaluate_measure(0));
    EXPECT_NEAR(data_gray[5].gamma, 2.2f, 1e-4);
    EXPECT_EQ(data_gray[10].gamma, 0.0f);
    set_target(1);
    ASSERT_TRUE(evaluate_measure(0));
    EXPECT_NEAR(data_gray[5].gamma, 2.2f, 1e-4);
    EXPECT_EQ(data_gray[10].gamma, 2.4f);

    data_file lone(gray_line(1.09f, 150));  // a single super-white patch is the white
    ASSERT_TRUE(evaluate_measure(0));
    EXPECT_EQ(reference->white_level, 150.0f);
    data_file none("0.5,0,0,10,5,1\n");  // no grayscale: white 100, steps kept
    reference->gray_steps = 7;
    ASSERT_TRUE(evaluate_measure(0));
    EXPECT_EQ(reference->white_level, 100.0f);
    EXPECT_EQ(reference->gray_steps, 7);

    test_file_path = "/nonexistent/analyzer_result.csv";
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(evaluate_measure(0));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "[start_measure]: test_type = 0.\r\nError: start_measure, init test data file faile!\n");
}

TEST(Run, NonFiniteAndHugeValuesAreEvaluated)
{
    // Meant for the sanitizer build, which stops on undefined behaviour.
    data_file f(ramp(100) + "nan,nan,nan,1,1,1\n0.35,0.35,0.35,nan,nan,nan\n0.45,0.45,0.45,inf,inf,inf\n"
                            "0.55,0.55,0.55,1e39,-1e39,1e30\ninf,0,0,1,1,1\n0.2,0.5,0.1,-inf,inf,nan\n"
                            "1e30,-1e30,0,5,5,5\n2,2,2,nan,nan,nan\n");
    for (int type = 0; type < 4; ++type) {
        set_target(type);
        EXPECT_TRUE(evaluate_measure(type > 1 ? 1 : 0));
    }
}

// ---- Modelled displays ----

struct display_case {
    std::vector<std::string> args;  // simulator options
    int type;
    const char *space;
    float gamma;
};

// Simulates the display into a file and evaluates it against its target.
void evaluate_simulated(const display_case &c)
{
    temp_dir dir;
    std::string path = dir.path + "/sim.csv";
    std::vector<std::string> argv{ANALYZER_SIMULATE_BIN, "--seed", "11", "-o", path};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    run_result r = run_program(argv, {});
    ASSERT_EQ(r.status, 0) << "analyzer-simulate failed (is it built?)\n" << r.err;
    test_file_path = path.c_str();
    set_target(c.type, c.space, c.gamma);
    testing::internal::CaptureStdout();
    ASSERT_TRUE(evaluate_measure(c.type > 1 ? 1 : 0));
    testing::internal::GetCapturedStdout();
}

TEST(Simulated, IdealDisplaysMatchTheTarget)
{
    const display_case cases[] = {
        {{}, 0, "DCI-P3", 2.4f},
        {{"-EOTF", "BT.1886", "-colorSpace", "Rec.709"}, 1, "Rec.709", 2.4f},
        {{"-colorSpace", "BT.2020", "-gamma", "2.2"}, 0, "BT.2020", 2.2f},
        {{"-EOTF", "PQ", "-colorSpace", "BT.2020", "--clip", "600", "--super-white"}, 2, "BT.2020", 2.4f},
        {{"-EOTF", "HLG", "-colorSpace", "BT.2020", "--white", "1000"}, 3, "BT.2020", 2.4f},
    };
    for (const display_case &c : cases) {
        SCOPED_TRACE(c.type);
        evaluate_simulated(c);
        ASSERT_EQ(test_data_gray_count, 11);
        for (int i = 0; i < test_data_gray_count; ++i) {
            EXPECT_LT(data_gray[i].dE2000, 0.01f) << i;
            if (c.type > 1) {
                EXPECT_LT(data_gray[i].dEITP, 0.01f) << i;
            } else if (i > 0 && i < 10) {
                EXPECT_NEAR(data_gray[i].gamma, c.gamma, 0.001) << i;
            }
        }
        for (int i = 0; i < CHECK_COUNT; ++i) {
            EXPECT_GT(data_check[i].c.Y, 0.0f) << "checker " << i << " missing";
            EXPECT_LT(c.type > 1 ? data_check[i].dEITP : data_check[i].dE2000, 0.01f) << "checker " << i;
        }
        for (int i = 0; i < GAMUT_COUNT && c.type < 2; ++i)
            EXPECT_LT(data_gamut[i].dE2000, 0.01f) << "gamut " << i;
    }
    // The PQ display clips at 600 cd/m2, whose PQ value is about 0.696.
    evaluate_simulated(cases[3]);
    EXPECT_EQ(reference->white_level, 600.0f);
    EXPECT_EQ(hdr_gray_pillar_count, 7);
}

TEST(Simulated, DeviationsShow)
{
    evaluate_simulated({{"--gamma", "2.2"}, 0, "DCI-P3", 2.4f});
    for (int i = 1; i < 10; ++i)
        EXPECT_NEAR(data_gray[i].gamma, 2.2f, 0.001) << i;
    EXPECT_GT(data_gray[5].dE2000, 1.0f);

    // Wider primaries leave the grayscale alone.
    evaluate_simulated({{"--primary-shift", "0.05"}, 0, "DCI-P3", 2.4f});
    EXPECT_LT(data_gray[5].dE2000, 0.01f);
    EXPECT_GT(data_gamut[1].dE2000, 1.0f);

    evaluate_simulated({{"-EOTF", "PQ", "--clip", "1000", "--eotf-offset", "0.01"}, 2, "DCI-P3", 2.4f});
    EXPECT_NEAR(data_gray[5].E_prime - data_gray[5].c.ts0, 0.01f, 1e-4);
    EXPECT_GT(data_gray[5].dEITP, 1.0f);
}

}  // namespace

// Patch store classification, the measurement run's evaluation, and the
// bundled sample displays judged by that evaluation.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <string>

#include "color/reference.h"
#include "measure/data_file.h"
#include "measure/measure.h"
#include "test_support.h"

namespace {

void add(patch_store_t &store, float s, float t, float u, float Y = 1.0f, int test_type = 0)
{
    color_block_t c{};
    c.ts0 = s, c.ts1 = t, c.ts2 = u, c.X = Y, c.Y = Y, c.Z = Y;
    // Built once per EOTF, before any test captures the console.
    static const std::array<reference_t, 4> targets = {make_target(DCI_P3, 0), make_target(DCI_P3, 1),
                                                       make_target(DCI_P3, 2), make_target(DCI_P3, 3)};
    add_test_data(targets[test_type], store, c);
}

// Where one patch lands: "gray", "gamut N" or "check N".
std::string classify(int test_type, float s, float t, float u)
{
    patch_store_t store;
    add(store, s, t, u, 7.0f, test_type);
    if (store.gray_count == 1)
        return "gray";
    for (int i = 0; i < GAMUT_COUNT; ++i)
        if (store.gamut[i].c.Y == 7.0f)
            return "gamut " + std::to_string(i);
    for (int i = 0; i < CHECK_COUNT; ++i)
        if (store.check[i].c.Y == 7.0f)
            return "check " + std::to_string(i);
    return "lost";
}

TEST(Store, Classification)
{
    const signal_row_t &orange = colorCheck_stand_sdr[6];
    const struct {
        int type;
        float s, t, u;
        const char *slot;
    } cases[] = {
        {0, 0, 0, 0, "gray"},
        {0, 0.5f, 0, 0, "gamut 1"},
        {0, 0, 0, 0.9f, "gamut 3"},
        {0, 0.7f, 0, 0.7f, "gamut 5"},
        {0, 0.7f, 0.7f, 0, "gamut 6"},
        // Red and green tie, nearer than yellow: the earlier row wins.
        {0, 0.3f, 0.3f, 0, "gamut 1"},
        {2, 0.3f, 0.3f, 0, "gamut 6"},
        {3, 0.3f, 0.3f, 0, "gamut 6"},  // HLG uses the HDR gamut table
        {0, 0.2f, 0.5f, 0.1f, "check 13"},
        // HLG uses the SDR checker table; its "Orange" is nearest another HDR row.
        {3, orange[0], orange[1], orange[2], "check 6"},
        {2, orange[0], orange[1], orange[2], "check 15"},
        // Nothing nearer than 3.0, or not a number: slot 0.
        {0, 3.0f, 0, 0, "gamut 0"},
        {0, 3.0f, 2.0f, 1.0f, "check 0"},
        {0, NAN, NAN, NAN, "check 0"},
        {0, INFINITY, 0, 0, "gamut 0"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(classify(c.type, c.s, c.t, c.u), c.slot) << c.type << ": " << c.s << " " << c.t << " " << c.u;
    for (int i = 0; i < CHECK_COUNT; ++i) {
        const signal_row_t &sdr = colorCheck_stand_sdr[i], &hdr = colorCheck_stand_hdr[i];
        EXPECT_EQ(classify(0, sdr[0], sdr[1], sdr[2]), "check " + std::to_string(i));
        EXPECT_EQ(classify(2, hdr[0], hdr[1], hdr[2]), "check " + std::to_string(i));
    }
}

TEST(Store, GrayscaleOrderCoverAndSuperWhite)
{
    patch_store_t store;
    for (auto [s, Y] : {std::pair{1.0f, 100.0f}, {0.0f, 0.0f}, {0.5f, 20.0f}, {1.03f, 101.0f}})
        add(store, s, s, s, Y);
    EXPECT_FALSE(store.super_white);
    EXPECT_EQ(output_of([&] { add(store, 0.5f, 0.5f, 0.5f, 21); }), "data cover\xEF\xBC\x8C i = 1\r\n");
    add(store, 1.09f, 1.09f, 1.09f, 110);
    EXPECT_TRUE(store.super_white);
    ASSERT_EQ(store.gray_count, 5);
    const float ts[] = {0.0f, 0.5f, 1.0f, 1.03f, 1.09f}, Y[] = {0, 21, 100, 101, 110};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ((std::array{store.gray[i].c.ts0, store.gray[i].c.Y}), (std::array{ts[i], Y[i]})) << i;
}

TEST(Store, ThirtySecondPatchIsKeptOnBothPathsTheThirtyThirdRefused)
{
    for (float level : {0.5f, 0.005f}) {  // appended, then inserted first
        SCOPED_TRACE(level);
        patch_store_t store;
        for (int i = 1; i <= 31; ++i)
            add(store, i / 100.0f, i / 100.0f, i / 100.0f, static_cast<float>(i));
        add(store, level, level, level, 99);
        ASSERT_EQ(store.gray_count, GRAY_MAX);
        EXPECT_EQ(store.gray[level < 0.01f ? 0 : 31].c.Y, 99.0f);
        EXPECT_EQ(store.gray[level < 0.01f ? 31 : 30].c.Y, 31.0f);
        EXPECT_EQ(output_of([&] { add(store, 0.001f, 0.001f, 0.001f); }),
                  "[add_data_gray] Error: test_data_gray_count beyond!!\r\n");
        EXPECT_EQ(store.gray_count, GRAY_MAX);
        for (int i = 1; i < GRAY_MAX; ++i)
            EXPECT_LT(store.gray[i - 1].c.ts0, store.gray[i].c.ts0);
    }
}

// A test data file with the two header lines, made the run's input.
struct data_file {
    temp_dir dir;
    std::string path = dir.path + "/data.csv";
    explicit data_file(const std::string &lines)
    {
        write_file(path, "header 1\nheader 2\n" + lines);
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

// Evaluates the file against the target, console output swallowed.
job_t evaluated(const std::string &path, int test_type, int standard = DCI_P3)
{
    const reference_t target = make_target(standard, test_type);
    job_t job;
    output_of([&] { job = evaluate(target, path.c_str()); });
    EXPECT_TRUE(job.evaluated);
    return job;
}

TEST(Run, SuperWhiteStaysInSdrAndLeavesHdr)
{
    // (9, 0, 0) is nearer to no gamut row: it takes the white slot first.
    data_file f(ramp(200) + gray_line(1.09f, 230) + "9,0,0,1,2,3\n");
    const job_t sdr = evaluated(f.path, 0);
    EXPECT_EQ(sdr.store.gray_count, 12);
    EXPECT_EQ(sdr.white.gray_steps, 11);
    EXPECT_EQ(sdr.white.bright_Y, 200.0f);
    EXPECT_EQ(sdr.white.max_E, get_ST2084_inver_EOTF(200.0f));
    EXPECT_EQ((std::array{sdr.store.gamut[0].c.ts0, sdr.store.gamut[0].c.Y}), (std::array{1.0f, 200.0f}));
    const job_t hdr = evaluated(f.path, 2);
    EXPECT_EQ(hdr.store.gray_count, 11);
    EXPECT_EQ(hdr.white.gray_steps, 10);
}

TEST(Run, PillarsGammasAndDegenerateFiles)
{
    data_file f(ramp(100));
    // PQ of 100 cd/m2 is about 0.508: signals 0.0 to 0.5 lie below it.
    EXPECT_EQ(evaluated(f.path, 2).hdr_gray_pillar_count, 6);
    EXPECT_EQ(evaluated(f.path, 3).hdr_gray_pillar_count, 11);

    // Both SDR EOTFs estimate 2.2 from ts1; at the white only BT.1886 has one.
    for (int type : {0, 1}) {
        const job_t job = evaluated(f.path, type);
        EXPECT_NEAR(job.store.gray[5].gamma, 2.2f, 1e-4) << type;
        EXPECT_EQ(job.store.gray[10].gamma, type == 0 ? 0.0f : 2.4f) << type;
    }

    data_file lone(gray_line(1.09f, 150));  // a single super-white patch is the white
    EXPECT_EQ(evaluated(lone.path, 0).white.bright_Y, 150.0f);
    data_file none("0.5,0,0,10,5,1\n");  // no grayscale: white 100, not measured
    const job_t job = evaluated(none.path, 0);
    EXPECT_EQ(job.white.bright_Y, 100.0f);
    EXPECT_FALSE(job.white.measured);
    EXPECT_EQ(job.store.gray_count, 0);

    // Replaced patches: a hundred said one by one, one line for the rest.
    std::string same;
    for (int i = 0; i < 250; ++i)
        same += gray_line(0.5f, 21);
    data_file repeated(ramp(100) + same);
    const reference_t target = make_target(DCI_P3, 0);
    job_t flooded;
    const std::string out = output_of([&] { flooded = evaluate(target, repeated.path.c_str()); });
    std::string kept;
    for (const std::string &w : flooded.data_warnings)
        kept += w + "\n";
    const std::string rest = "Warning: 150 more grayscale patches were refused or replaced.";
    EXPECT_EQ(count_of(out, "data cover"), LINE_WARNINGS_MAX);
    EXPECT_EQ(count_of(kept, "data cover"), LINE_WARNINGS_MAX);
    EXPECT_TRUE(contains(out, "data cover\xEF\xBC\x8C i = 5\r\n" + rest + "\r\n")) << out;
    EXPECT_TRUE(contains(kept, "i = 5\n" + rest + "\n"));
}

// A job is a value: evaluating one leaves the target as it was and nothing
// of it behind for the next, in either order.
TEST(Run, JobsAreIndependentAndLeaveTheTargetAlone)
{
    data_file a(ramp(200) + gray_line(1.09f, 230) + "0.2,0.5,0.1,10,20,5\n"), b("0.5,0,0,10,5,1\n");
    const reference_t target = make_target(BT2020, 3);  // HLG without a peak: the white stands in
    const reference_t before = target;
    reference_t tiny_peak = target, no_curve = target;
    tiny_peak.peak_lum = 1e-8f;  // as good as none: the white stands in, and the record says so
    no_curve.test_type = static_cast<eotf_t>(eotf_table.size());
    testing::internal::CaptureStdout();
    const job_t first = evaluate(target, a.path.c_str()), other = evaluate(target, b.path.c_str()),
                again = evaluate(target, a.path.c_str()), missing = evaluate(target, "/nonexistent/data.csv"),
                tiny = evaluate(tiny_peak, a.path.c_str()), unjudged = evaluate(no_curve, a.path.c_str());
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(target.peak_lum, 0.0f);
    EXPECT_EQ(memcmp(&before.white.color, &target.white.color, sizeof target.white.color), 0);
    EXPECT_EQ((std::array{first.white.hlg_peak, other.white.hlg_peak, tiny.white.hlg_peak}),
              (std::array{200.0f, 100.0f, 200.0f}));
    EXPECT_FALSE(unjudged.evaluated);
    EXPECT_EQ(other.store.gray_count, 0);
    EXPECT_FALSE(other.store.check_measured[13]);
    // Arrays of floats and bools: no padding to compare.
    EXPECT_EQ(memcmp(first.store.gray.data(), again.store.gray.data(), sizeof first.store.gray), 0);
    EXPECT_EQ(memcmp(first.store.check.data(), again.store.check.data(), sizeof first.store.check), 0);
    EXPECT_EQ((std::array{first.store.gray_count, first.hdr_gray_pillar_count}),
              (std::array{again.store.gray_count, again.hdr_gray_pillar_count}));
    EXPECT_EQ(first.store.check_measured, again.store.check_measured);
    EXPECT_EQ(first.summary.verdicts[HDR_GRAY_DE2000_AVG].value, again.summary.verdicts[HDR_GRAY_DE2000_AVG].value);
    // The missing peak is reported once per job that is judged.
    EXPECT_EQ(count_of(out, "peak_lum == 0"), 4);
    // A file that cannot be read gives a job with no figure, every verdict failing.
    EXPECT_FALSE(missing.evaluated);
    for (const verdict_t &v : missing.summary.verdicts)
        EXPECT_FALSE(v.pass || v.has_value);
}

// The bundled samples of ideal displays, written once by the simulator, under
// the targets they were made for.
TEST(Samples, IdealDisplaysMatchTheTarget)
{
    const struct {
        const char *file;
        int type, standard;
    } cases[] = {
        {"sdr_ideal_power24.csv", 0, DCI_P3},
        {"sdr_ideal_bt1886.csv", 1, REC709},
        {"pq_ideal_600.csv", 2, BT2020},
        {"hlg_ideal.csv", 3, BT2020},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file);
        const job_t job = evaluated(sample(c.file), c.type, c.standard);
        const auto &data_gray = job.store.gray;
        const auto &data_check = job.store.check;
        const auto &data_gamut = job.store.gamut;
        ASSERT_EQ(job.store.gray_count, 11);
        for (int i = 0; i < job.store.gray_count; ++i) {
            EXPECT_LT(data_gray[i].dE2000, 0.01f) << i;
            if (c.type > 1) {
                EXPECT_LT(data_gray[i].dEITP, 0.01f) << i;
            } else if (i > 0 && i < 10) {
                EXPECT_NEAR(data_gray[i].gamma, 2.4f, 0.001) << i;
            }
        }
        for (int i = 0; i < CHECK_COUNT; ++i) {
            EXPECT_GT(data_check[i].c.Y, 0.0f) << "checker " << i << " missing";
            EXPECT_LT(c.type > 1 ? data_check[i].dEITP : data_check[i].dE2000, 0.01f) << "checker " << i;
        }
        for (int i = 0; i < GAMUT_COUNT && c.type < 2; ++i)
            EXPECT_LT(data_gamut[i].dE2000, 0.01f) << "gamut " << i;
        // The PQ display clips at 600 cd/m2, whose PQ value is about 0.696.
        if (c.type == 2) {
            EXPECT_EQ(job.white.bright_Y, 600.0f);
            EXPECT_EQ(job.hdr_gray_pillar_count, 7);
        }
    }
}

// A verdict follows the number as the report prints it ("%0.4f") against the
// limit as the panel prints it: a display exactly 0.1 off its target gamma
// passes for every target and both SDR curves, one 0.0002 further off fails.
// The ramps are written with nine digits, so only the evaluation rounds.
TEST(Verdicts, TotalGammaAtTheToleranceForEveryTarget)
{
    int cases = 0, wrong = 0;
    for (int type : {0, 1})
        for (int tenth = 10; tenth <= 28; ++tenth) {
            const float target = static_cast<float>(tenth / 10.0);
            for (const auto &[offset, pass] : {std::pair{0.1, true}, {-0.1, true}, {0.1002, false}, {-0.1002, false}}) {
                const double display = tenth / 10.0 + offset;
                std::string lines;
                for (int i = 0; i <= 10; ++i) {
                    char line[128];
                    const double Y = 100.0 * std::pow(i / 10.0, display);
                    snprintf(line, sizeof line, "%.1f,%.1f,%.1f,%.9g,%.9g,%.9g\n", i / 10.0, i / 10.0, i / 10.0,
                             0.95047 * Y, Y, 1.08883 * Y);
                    lines += line;
                }
                data_file f(lines);
                const reference_t ref = make_target(DCI_P3, type, target);
                job_t job;
                output_of([&] { job = evaluate(ref, f.path.c_str()); });
                const verdict_t v = job.summary.verdicts[SDR_TOTAL_GAMMA];
                ++cases;
                if (v.pass != pass) {
                    ++wrong;
                    ADD_FAILURE() << "EOTF " << type << ", target " << target << ", display " << display
                                  << ": gamma " << v.value << (v.pass ? " passes" : " fails");
                }
            }
        }
    EXPECT_EQ(cases, 152);
    EXPECT_EQ(wrong, 0) << "of " << cases;
}

// Each limit holds for the value that prints exactly at it and fails one
// step of the last printed digit beyond it.
TEST(Verdicts, ValueThatPrintsAtTheLimitPasses)
{
    const struct {
        verdict_id id;
        float at, beyond;
    } cases[] = {
        {SDR_GRAY_DE2000_AVG, 1.50003f, 1.5001f},   {SDR_GAMUT_DE2000_MAX, 2.50004f, 2.5001f},
        {SDR_CHECKER_DE2000_AVG, 1.50004f, 1.50006f}, {HDR_GRAY_DE2000_AVG, 1.50003f, 1.5001f},
        {HDR_GRAY_DEICTCP_AVG, 2.00004f, 2.0001f},  {HDR_EOTF_DIFF_MAX, 0.05004f, 0.0501f},
        {HDR_CHECKER_DEICTCP_AVG, 2.00002f, 2.00008f},
    };
    for (const auto &c : cases) {
        EXPECT_TRUE(judge(c.id, c.at, 2.4f).pass) << verdict_limits[c.id].key << " " << c.at;
        EXPECT_FALSE(judge(c.id, c.beyond, 2.4f).pass) << verdict_limits[c.id].key << " " << c.beyond;
        for (float bad : {NAN, INFINITY, -INFINITY})
            EXPECT_FALSE(judge(c.id, bad, 2.4f).pass) << verdict_limits[c.id].key << " " << bad;
    }
    // The gamma's own target rounds as the panel prints it ("%0.3g").
    EXPECT_TRUE(judge(SDR_TOTAL_GAMMA, 1.9000002f, 1.8f).pass);
    EXPECT_TRUE(judge(SDR_TOTAL_GAMMA, 2.34996f, 2.45f).pass);
    EXPECT_FALSE(judge(SDR_TOTAL_GAMMA, 2.3499f, 2.45f).pass);
}

}  // namespace

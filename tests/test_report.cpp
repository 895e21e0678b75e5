// End-to-end reports: the real binary, headless, on the bundled samples and
// on simulated displays; console lines and pixels of both captures.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

// The verdict image of a chart (x, y, width of its plot) sits at the right
// end of its title bar.
enum class verdict { pass, fail, none };
verdict verdict_of(const rgba_image &img, const int (&chart)[3])
{
    const int left = chart[0] + chart[2] - 38, top = chart[1] - 39;
    long r = 0, g = 0;
    for (int j = top; j < top + 38; ++j)
        for (int i = left; i < left + 38; ++i) {
            rgb c = at(img, i, j);
            r += c.r;
            g += c.g;
        }
    if (g > r * 3 / 2)
        return verdict::pass;
    if (r > g * 3 / 2)
        return verdict::fail;
    return verdict::none;
}

struct report {
    analyzer_root root;
    run_result run;
    rgba_image dark, white;
    explicit report(std::vector<std::string> args, const std::string &data_file)
    {
        args.insert(args.end(), {"-testFilePath", data_file});
        run = root.run(args);
        dark = read_png(root.capture_dir() + "/1.png");
        white = read_png(root.capture_dir() + "/1_white.png");
    }
};

// Writes a simulated display's test data file into the report's root.
std::string simulate(const temp_dir &dir, const std::vector<std::string> &options)
{
    std::vector<std::string> argv{ANALYZER_SIMULATE_BIN, "--seed", "7", "-o", dir.path + "/sim.csv"};
    argv.insert(argv.end(), options.begin(), options.end());
    run_result r = run_program(argv, {});
    EXPECT_EQ(r.status, 0) << r.err;
    return dir.path + "/sim.csv";
}

// SDR charts: grayscale dE, EOTF, gamut dE, colour checker (x, y, width).
constexpr int SDR_GRAY[] = {1040, 60, 860}, SDR_EOTF[] = {1040, 330, 860}, SDR_GAMUT[] = {520, 60, 500},
              SDR_CHECKER[] = {20, 850, 1880};
// HDR charts: grayscale dE2000, dE ICtCp, EOTF, colour checker.
constexpr int HDR_GRAY[] = {520, 80, 680}, HDR_ITP[] = {520, 426, 680}, HDR_EOTF[] = {1220, 80, 680},
              HDR_CHECKER[] = {20, 772, 1880};

const rgb GREEN_LINE{0, 200, 0};

// Every verdict of the four charts is a pass.
void expect_all_pass(const rgba_image &img, const int (*const (&charts)[4])[3])
{
    for (const int(*chart)[3] : charts)
        EXPECT_EQ(verdict_of(img, *chart), verdict::pass) << "chart at " << (*chart)[0] << "," << (*chart)[1];
}

constexpr const int (*SDR_CHARTS[4])[3] = {&SDR_GRAY, &SDR_EOTF, &SDR_GAMUT, &SDR_CHECKER};
constexpr const int (*HDR_CHARTS[4])[3] = {&HDR_GRAY, &HDR_ITP, &HDR_EOTF, &HDR_CHECKER};

}  // namespace

class SdrIdeal : public ::testing::TestWithParam<sample_job> {};

TEST_P(SdrIdeal, PassesAllFourVerdictsInBothCaptures)
{
    report rep(GetParam().options, sample(GetParam().file));
    ASSERT_EQ(rep.run.status, 0) << rep.run.out;
    ASSERT_TRUE(rep.dark.ok && rep.white.ok);
    const std::string &out = rep.run.out;
    EXPECT_NE(out.find("[start_measure]: test_type = 0.\r\n"), std::string::npos);
    EXPECT_TRUE(contains(out, "bright_Y = 100.000000, dark_Y = 0.000000, test_data_gray_count = 11 \r\n"));
    EXPECT_NE(out.find("old_status = -1, new_status = 3\n"), std::string::npos);
    EXPECT_NE(out.find("max_val_y = 0.600000\r\n"), std::string::npos);
    EXPECT_EQ(count_of(out, "color x = "), 3);
    for (const rgba_image *img : {&rep.dark, &rep.white}) {
        expect_all_pass(*img, SDR_CHARTS);
        // The colour checker's threshold line at dE 3 keeps its green in both styles.
        for (int x : {60, 500, 1859})
            EXPECT_EQ(at(*img, x, 1008), GREEN_LINE) << x;
    }
    // Frame (left and right edges of the checker chart) and plot background.
    EXPECT_EQ(at(rep.dark, 20, 950), (rgb{192, 192, 192}));
    EXPECT_EQ(at(rep.dark, 1900, 950), (rgb{192, 192, 192}));
    EXPECT_EQ(at(rep.white, 20, 950), (rgb{63, 63, 63}));
    EXPECT_EQ(at(rep.dark, 1500, 900), (rgb{32, 32, 32}));
    EXPECT_EQ(at(rep.white, 1500, 900), (rgb{255, 255, 255}));
    EXPECT_EQ(at(rep.dark, 1500, 450), (rgb{32, 32, 32})) << "EOTF plot area";
    // The window itself: dark, then white.
    EXPECT_EQ(at(rep.dark, 5, 1075), (rgb{37, 37, 37}));
    EXPECT_EQ(at(rep.white, 5, 1075), (rgb{255, 255, 255}));
}

INSTANTIATE_TEST_SUITE_P(Samples, SdrIdeal,
                         ::testing::Values(sample_jobs()[0], sample_jobs()[1]), sample_name);

TEST(SdrReport, Gamma22DisplayFailsTheTotalGammaVerdict)
{
    report rep({"-EOTF", "Power", "-gamma", "2.4"}, sample("sdr_gamma22_vs24.csv"));
    ASSERT_EQ(rep.run.status, 0);
    ASSERT_TRUE(rep.dark.ok);
    EXPECT_EQ(verdict_of(rep.dark, SDR_EOTF), verdict::fail);
    EXPECT_EQ(verdict_of(rep.white, SDR_EOTF), verdict::fail);
}

TEST(HdrReport, IdealPqDisplayClippingAt600Passes)
{
    report rep({"-EOTF", "PQ", "-colorSpace", "BT.2020"}, sample("pq_ideal_600.csv"));
    ASSERT_EQ(rep.run.status, 0) << rep.run.out;
    ASSERT_TRUE(rep.dark.ok && rep.white.ok);
    const std::string &out = rep.run.out;
    EXPECT_NE(out.find("[start_measure]: test_type = 1.\r\n"), std::string::npos);
    EXPECT_NE(out.find("test_data_gray_count = 12 \r\n"), std::string::npos);
    EXPECT_NE(out.find("old_status = -1, new_status = 4\ninit_hdr_page\n"), std::string::npos);
    EXPECT_NE(out.find("PQ max E' = 0.69"), std::string::npos);
    for (const rgba_image *img : {&rep.dark, &rep.white}) {
        expect_all_pass(*img, HDR_CHARTS);
        EXPECT_EQ(at(*img, 1100, 280), GREEN_LINE);
        EXPECT_EQ(at(*img, 1100, 626), GREEN_LINE);
        EXPECT_EQ(at(*img, 1500, 972), GREEN_LINE);
    }
    // The reference clip runs flat from the knee at the white's PQ value to
    // the right edge: its stroke is three pixels thick around y 266.
    const rgb clip = at(rep.dark, 1800, 267);
    EXPECT_EQ(clip, (rgb{120, 120, 120}));
    EXPECT_EQ(at(rep.dark, 1220, 400), (rgb{192, 192, 192})) << "EOTF frame";
    EXPECT_EQ(at(rep.white, 1220, 400), (rgb{63, 63, 63}));
}

class HlgReport : public ::testing::TestWithParam<bool> {};

TEST_P(HlgReport, PeakLuminanceFallsBackToTheWhiteOnce)
{
    const bool with_lum = GetParam();
    std::vector<std::string> args{"-EOTF", "HLG", "-colorSpace", "BT.2020"};
    if (with_lum) {
        args.push_back("-lum");
        args.push_back("1000");
    }
    report rep(args, sample("hlg_ideal.csv"));
    ASSERT_EQ(rep.run.status, 0) << rep.run.out;
    ASSERT_TRUE(rep.dark.ok && rep.white.ok);
    EXPECT_EQ(count_of(rep.run.out, "Error: get_HLG_EOTF, peak_lum == 0, gamma error!\r\n"), with_lum ? 0 : 1);
    EXPECT_NE(rep.run.out.find("init_hdr_page\n"), std::string::npos);
    // The sample's white is 1000 cd/m2, so the fallback gives the same target.
    for (const rgba_image *img : {&rep.dark, &rep.white}) {
        expect_all_pass(*img, HDR_CHARTS);
        EXPECT_EQ(at(*img, 1100, 280), GREEN_LINE);
    }
}

INSTANTIATE_TEST_SUITE_P(Lum, HlgReport, ::testing::Bool());

struct pq_case {
    const char *name;
    std::vector<std::string> display;
    verdict eotf, itp_gray, itp_checker;
};

class PqDisplay : public ::testing::TestWithParam<pq_case> {};

TEST_P(PqDisplay, VerdictsFollowTheLimits)
{
    temp_dir dir;
    std::vector<std::string> opts{"-EOTF", "PQ", "-colorSpace", "BT.2020", "--clip", "1000"};
    opts.insert(opts.end(), GetParam().display.begin(), GetParam().display.end());
    report rep({"-EOTF", "PQ", "-colorSpace", "BT.2020"}, simulate(dir, opts));
    ASSERT_EQ(rep.run.status, 0) << rep.run.out;
    ASSERT_TRUE(rep.dark.ok);
    // verdict::none marks a verdict the case does not judge.
    const pq_case &c = GetParam();
    for (auto [want, chart] : {std::pair{c.eotf, &HDR_EOTF}, {c.itp_gray, &HDR_ITP}, {c.itp_checker, &HDR_CHECKER}})
        if (want != verdict::none) {
            EXPECT_EQ(verdict_of(rep.dark, *chart), want) << (*chart)[0] << "," << (*chart)[1];
        }
}

INSTANTIATE_TEST_SUITE_P(
    Simulated, PqDisplay,
    // A grayscale error in PQ code values is judged by the EOTF limit of 0.05
    // (0.06 is about 75 % too bright at mid-grey); a colour cast by dE ICtCp.
    ::testing::Values(pq_case{"Offset006", {"--eotf-offset", "0.06"}, verdict::fail, verdict::none, verdict::none},
                      pq_case{"Offset003", {"--eotf-offset", "0.03"}, verdict::pass, verdict::none, verdict::none},
                      pq_case{"Cast0015", {"--shift-x", "0.015"}, verdict::pass, verdict::fail, verdict::fail},
                      pq_case{"Cast0003", {"--shift-x", "0.003"}, verdict::pass, verdict::pass, verdict::pass}),
    [](const ::testing::TestParamInfo<pq_case> &info) { return std::string(info.param.name); });

namespace {

// The bundled ideal Power 2.4 sample (24 lines of gamut and checker
// patches, 11 of grayscale), its lines split into grayscale lines
// (equal signals) and the others, headers dropped.
struct sample_lines {
    std::string gray, colour;
    sample_lines()
    {
        const std::string text = read_file(sample("sdr_ideal_power24.csv"));
        size_t pos = 0;
        for (int n = 0; pos < text.size(); ++n) {
            const size_t end = text.find('\n', pos);
            const std::string line = text.substr(pos, end - pos + 1);
            pos = end == std::string::npos ? text.size() : end + 1;
            if (n < 2)
                continue;
            const std::string s = line.substr(0, line.find(','));
            (line.rfind(s + "," + s + "," + s + ",", 0) == 0 ? gray : colour) += line;
        }
    }
};

// An ideal Power 2.4 display's grayscale of `levels` signals from 0 to 1, at
// D65 and 100 cd/m², and a super white at 1.09 when asked.
std::string gray_ramp(int levels, bool super_white)
{
    std::string out;
    char line[160];
    for (int i = 0; i <= levels; ++i) {
        const double s = i < levels ? static_cast<double>(i) / (levels - 1) : 1.09;
        if (i == levels && !super_white)
            break;
        const double Y = 100 * std::pow(s, 2.4);
        snprintf(line, sizeof line, "%.6f,%.6f,%.6f,%.9g,%.9g,%.9g\n", s, s, s, Y * 0.3127 / 0.329, Y,
                 Y * (1 - 0.3127 - 0.329) / 0.329);
        out += line;
    }
    return out;
}

const std::vector<std::string> POWER24 = {"-EOTF", "Power", "-gamma", "2.4"};

struct job : report {
    job(const temp_dir &dir, const std::string &lines, const std::vector<std::string> &args = POWER24)
        : report(args, write(dir, lines))
    {
    }
    static std::string write(const temp_dir &dir, const std::string &lines)
    {
        write_file(dir.path + "/job.csv", "h1\nh2\n" + lines);
        return dir.path + "/job.csv";
    }
    // The verdicts of the four SDR charts in the dark and the white capture.
    void expect(const std::vector<verdict> &want)
    {
        for (size_t i = 0; i < want.size(); ++i) {
            EXPECT_EQ(verdict_of(dark, *SDR_CHARTS[i]), want[i]) << "chart " << i;
            EXPECT_EQ(verdict_of(white, *SDR_CHARTS[i]), want[i]) << "chart " << i;
        }
    }
};

constexpr verdict P = verdict::pass, F = verdict::fail;

}  // namespace

TEST(ImperfectJobs, WhatWasNotMeasuredNeverPasses)
{
    const sample_lines s;
    temp_dir dir;
    {
        SCOPED_TRACE("grayscale only: the gamut and checker charts fail");
        job j(dir, s.gray);
        j.expect({P, P, F, F});
        EXPECT_EQ(count_of(j.run.out, "Warning: 6 of 7 gamut patches were not measured: the gamut verdict fails.\r\n"), 1);
        EXPECT_EQ(count_of(j.run.out, "Warning: 18 of 18 color checker patches were not measured"), 1);
    }
    {
        SCOPED_TRACE("no grayscale: no white, nothing passes");
        job j(dir, s.colour);
        j.expect({F, F, F, F});
        EXPECT_EQ(count_of(j.run.out, "no grayscale patch: no white, no verdict can pass"), 1);
        EXPECT_EQ(count_of(j.run.out, "Warning: 1 of 7 gamut patches"), 1);
    }
    {
        SCOPED_TRACE("a checker patch missing fails the checker chart only");
        std::string colour = s.colour;
        const size_t dark_skin = colour.find("0.454902,0.317647,0.262745,");
        ASSERT_NE(dark_skin, std::string::npos);
        colour.erase(dark_skin, colour.find('\n', dark_skin) + 1 - dark_skin);
        job j(dir, s.gray + colour);
        j.expect({P, P, P, F});
        EXPECT_EQ(count_of(j.run.out, "Warning: 1 of 18 color checker patches"), 1);
    }
}

TEST(ImperfectJobs, MalformedLinesAndRefusedPatchesChangeNothing)
{
    const sample_lines s;
    temp_dir dir;
    {
        SCOPED_TRACE("a short line after a checker line is skipped, not completed");
        job j(dir, s.colour + "0.5,0.5,0.5\n" + std::string(300, '1') + "\n" + s.gray);
        j.expect({P, P, P, P});
        EXPECT_EQ(count_of(j.run.out, "data cover"), 0);
        EXPECT_EQ(count_of(j.run.out, "Warning: test data line 27 does not hold six numbers, skipped.\r\n"), 1);
        EXPECT_EQ(count_of(j.run.out, "Warning: test data line 28 is longer than 255 characters, skipped.\r\n"), 1);
    }
    {
        SCOPED_TRACE("32 levels and a refused super white: the white stays the 100 % level");
        job j(dir, gray_ramp(32, true) + s.colour);
        j.expect({P, P, P, P});
        EXPECT_EQ(count_of(j.run.out, "[add_data_gray] Error: test_data_gray_count beyond!!\r\n"), 1);
        EXPECT_EQ(count_of(j.run.out, "bright_Y = 100.000000, dark_Y = 0.000000, test_data_gray_count = 32 \r\n"), 1);
    }
}

TEST(ImperfectJobs, NotANumberFailsAndABadLumIsRefused)
{
    {
        SCOPED_TRACE("an HDR patch reading nan fails the EOTF verdict");
        std::string text = read_file(sample("pq_ideal_600.csv"));
        const size_t half = text.find("0.500000,0.500000,0.500000,");
        ASSERT_NE(half, std::string::npos);
        const size_t y = text.find(',', text.find(',', half + 27) + 1);
        text.replace(half + 27, y - half - 27, "nan,nan");
        temp_dir dir;
        write_file(dir.path + "/nan.csv", text);
        report r({"-EOTF", "PQ", "-colorSpace", "BT.2020"}, dir.path + "/nan.csv");
        EXPECT_EQ(verdict_of(r.dark, HDR_EOTF), verdict::fail);
        EXPECT_EQ(verdict_of(r.dark, HDR_GRAY), verdict::fail);
        EXPECT_EQ(verdict_of(r.dark, HDR_CHECKER), verdict::pass);
    }
    {
        SCOPED_TRACE("-lum -5 is refused with a warning; the HLG peak comes from the white");
        report r({"-EOTF", "HLG", "-colorSpace", "BT.2020", "-lum", "-5"}, sample("hlg_ideal.csv"));
        EXPECT_EQ(count_of(r.run.out, "Warning: lum out of range, only 0 < lum_value <= 10000 is valid.\n"), 1);
        EXPECT_EQ(count_of(r.run.out, "Warning: Use deafult -lum"), 1);
        expect_all_pass(r.dark, HDR_CHARTS);
    }
}

// The results record: against what the report draws for every sample, both
// outputs of it (the analyzer's 1.json, analyzer-results), and what neither
// program may write.
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "archive/record_input.h"
#include "chart_probe.h"
#include "charts/hdr/draw_hdr_data.h"
#include "charts/sdr/draw_sdr_data.h"
#include "config/configure.h"
#include "measure/results.h"

namespace fs = std::filesystem;

namespace {

std::string format(const char *fmt, float v)
{
    char text[64];
    snprintf(text, sizeof text, fmt, static_cast<double>(v));
    return text;
}

run_result run_results(const std::vector<std::string> &args)
{
    std::vector<std::string> argv{ANALYZER_RESULTS_BIN};
    argv.insert(argv.end(), args.begin(), args.end());
    return run_program(argv, {});
}

class SampleRecord : public ChartTest, public ::testing::WithParamInterface<sample_job> {};

// The value labels of a bar chart, in drawing order.
std::vector<std::string> labels(canvas_t *c)
{
    std::vector<std::string> t;
    for (Evas_Object *o : objects(c->data_text_list))
        t.push_back(text(o));
    return t;
}

// The labels a chart draws for one result of the record's patches.
std::vector<std::string> expected_labels(const results_json &patches, const char *key, int decimals, size_t count)
{
    std::vector<std::string> t;
    for (size_t i = 0; i < count && i < patches.size(); ++i)
        t.push_back(format(decimals == 2 ? "<align=center font_size=14> %0.2f" : "<align=center font_size=14> %0.3f",
                           patches[i][key].get<float>()));
    return t;
}

}  // namespace

TEST_P(SampleRecord, HoldsTheNumbersTheReportDraws)
{
    const sample_job &c = GetParam();
    std::vector<std::string> args{"analyzer"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    std::vector<char *> argv = c_strings(args);
    const std::string file = sample(c.file);
    settings_t settings = default_settings();
    job_t job;
    output_of([&] {
        ASSERT_EQ(read_configure(static_cast<int>(args.size()), argv.data(), settings), 0);
        job = evaluate(settings.target, file.c_str());
        ASSERT_TRUE(job.evaluated);
        show_page(pages, report_page(job), job);
        render_page_data(pages, report_page(job), job);
    });
    const int kind = job.kind == REPORT_HDR ? 1 : 0;
    // Through the text, as both outputs write it.
    const results_json r = results_json::parse(results_record(job, "", "", {}).dump());
    ASSERT_EQ(r["report"], kind == 0 ? "SDR" : "HDR");

    // Caption and icon of each chart from the record's verdict.
    struct chart {
        int slot;
        verdict_id id;
    };
    const std::vector<chart> charts =
        kind == 0 ? std::vector<chart>{{SDR_SLOT_GRAY_DE, SDR_GRAY_DE2000_AVG},
                                       {SDR_SLOT_GRAY_EOTF, SDR_TOTAL_GAMMA},
                                       {SDR_SLOT_GAMUT_DE, SDR_GAMUT_DE2000_MAX},
                                       {SDR_SLOT_CHECKER, SDR_CHECKER_DE2000_AVG}}
                  : std::vector<chart>{{HDR_SLOT_GRAY_DE2000, HDR_GRAY_DE2000_AVG},
                                       {HDR_SLOT_GRAY_DEITP, HDR_GRAY_DEICTCP_AVG},
                                       {HDR_SLOT_EOTF, HDR_EOTF_DIFF_MAX},
                                       {HDR_SLOT_CHECKER, HDR_CHECKER_DEICTCP_AVG}};
    const auto page = page_canvases(pages, report_page(job));
    ASSERT_EQ(r["verdicts"].size(), 4u);
    for (const chart &ch : charts) {
        const results_json &v = r["verdicts"][verdict_limits[ch.id].key];
        SCOPED_TRACE(verdict_limits[ch.id].key);
        ASSERT_TRUE(v["value"].is_number());
        EXPECT_EQ(verdict_of(page[ch.slot]).text,
                  std::string(verdict_limits[ch.id].caption) + format(" %0.4f", v["value"].get<float>()));
        EXPECT_EQ(verdict_of(page[ch.slot]).pass, v["pass"].get<bool>());
        EXPECT_EQ(v["value"].get<float>(), job.summary.verdicts[ch.id].value) << "float precision";
    }

    // The value labels above the bars from the record's patches.
    const results_json &p = r["patches"];
    ASSERT_EQ(p["grayscale"].size(), static_cast<size_t>(job.store.gray_count));
    ASSERT_EQ(p["gamut"].size(), 7u);
    ASSERT_EQ(p["checker"].size(), 18u);
    if (kind == 0) {
        EXPECT_EQ(labels(page[SDR_SLOT_GRAY_DE]), expected_labels(p["grayscale"], "dE2000", 2, 32));
        EXPECT_EQ(labels(page[SDR_SLOT_GAMUT_DE]), expected_labels(p["gamut"], "dE2000", 2, 7));
        EXPECT_EQ(labels(page[SDR_SLOT_CHECKER]), expected_labels(p["checker"], "dE2000", 3, 18));
        EXPECT_EQ(p["gamut"][3]["name"], "Blue");
    } else {
        const size_t pillars = static_cast<size_t>(job.hdr_gray_pillar_count);
        EXPECT_EQ(labels(page[HDR_SLOT_GRAY_DE2000]), expected_labels(p["grayscale"], "dE2000", 2, pillars));
        EXPECT_EQ(labels(page[HDR_SLOT_GRAY_DEITP]), expected_labels(p["grayscale"], "dEICTCP", 2, pillars));
        EXPECT_EQ(labels(page[HDR_SLOT_CHECKER]), expected_labels(p["checker"], "dEICTCP", 3, 18));
    }
    EXPECT_EQ(p["checker"][17]["name"], "Cyan");
    for (int i = 0; i < job.store.gray_count; ++i) {
        const color_t &g = job.store.gray[i];
        const results_json &j = p["grayscale"][i];
        EXPECT_EQ(j["signal"][0].get<float>(), g.c.ts0);
        EXPECT_EQ(j["XYZ"][1].get<float>(), g.c.Y);
        EXPECT_EQ(j["E"].get<float>(), g.E_prime);
        EXPECT_TRUE(j["measured"].get<bool>());
    }
    EXPECT_EQ(r["white_level"].get<float>(), job.white.bright_Y);
}

INSTANTIATE_TEST_SUITE_P(Samples, SampleRecord, ::testing::ValuesIn(sample_jobs()), sample_name);

TEST(Results, AnalyzerWritesTheRecordBesideTheCapturesAndRotatesIt)
{
    analyzer_root root;
    const std::string dir = root.capture_dir();
    root.serial_reader("echo SN=A1B2C3\n");
    const std::vector<std::string> sdr{"-EOTF", "Power", "-gamma", "2.4", "-testFilePath",
                                       sample("sdr_gamma22_vs24.csv")};
    ASSERT_EQ(root.run(sdr).status, 0);
    const std::string first = read_file(dir + "/1.json");
    // Both captures carry the same record in their text chunk.
    for (const char *png : {"/1.png", "/1_white.png"})
        EXPECT_EQ(results_json::parse(png_record_text((dir + png).c_str()).value_or("")), results_json::parse(first))
            << png;

    const std::vector<std::string> hdr{"-EOTF", "PQ", "-colorSpace", "BT.2020", "-dev", "5", "-gamma", "3.0",
                                       "-lum", "abc", "-testFilePath", sample("pq_ideal_600.csv")};
    ASSERT_EQ(root.run(hdr).status, 0);
    EXPECT_EQ(read_file(dir + "/2.json"), first);
    results_json written = results_json::parse(read_file(dir + "/1.json"));
    EXPECT_EQ(written["serial_number"], "A1B2C3");
    EXPECT_EQ(written["sensor"], "CA-410");
    // What the command line skipped, as the console reported it.
    EXPECT_EQ(results_json::parse(first)["warnings"], results_json::array());
    EXPECT_EQ(written["warnings"], results_json({"Warning: gamma out of range, only 1.00 <= gamma_value <= 2.8 is valid.",
                                                 "Error: Unrecognized parameter! -lum.", "Error: Unrecognized parameter! abc."}));

    // analyzer-results judges the same job to the same record; it has no
    // panel, so no serial number.
    run_result r = run_results(hdr);
    ASSERT_EQ(r.status, 0) << r.err;
    written["serial_number"] = "";
    EXPECT_EQ(r.out, written.dump(2) + "\n");
    EXPECT_TRUE(contains(r.err, "[start_measure]: test_type = 1.\r\n")) << "console lines go to stderr";
}

TEST(Results, ArchiveOfJobsAsJsonLines)
{
    temp_dir dir;
    // A NaN reading, a red patch and nothing else of the gamut or checker.
    const std::string nan_job = dir.path + "/nan.csv", no_gray = dir.path + "/no_gray.csv";
    // Its malformed lines print more than a buffer of console lines.
    write_file(nan_job, "h\nh\n0,0,0,0,0,0\n0.5,0.5,0.5,nan,nan,nan\n1,1,1,95.047,100,108.883\n"
                        "0.780392,0,0,41.2,21.3,1.9\n");
    for (int i = 0; i < 100; ++i)
        write_file(nan_job, read_file(nan_job) + "x\n");
    write_file(no_gray, "h\nh\n0.780392,0,0,41.2,21.3,1.9\n");
    // Files that cannot be read, or never end, get no line, at once.
    const std::string fifo = dir.path + "/data.fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    run_result r = run_results({"-EOTF", "Power", "-dev", "8", nan_job, dir.path + "/missing.csv", fifo, "/dev/zero",
                                dir.path, no_gray});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(count_of(r.err, "analyzer-results: cannot read the test data file"), 4) << r.err;
    EXPECT_TRUE(contains(r.err, "read_test_data: /dev/zero: not a regular file\n")) << r.err;
    EXPECT_TRUE(contains(r.err, "analyzer-results: cannot read the test data file \"" + dir.path + "/missing.csv\"\n"))
        << r.err;
    const std::string missing = dir.path + "/missing.csv: ";
    EXPECT_TRUE(contains(r.err, missing + "[start_measure]: test_type = 0.\r\n" + missing +
                                    "fopen: No such file or directory\n"))
        << "standard error lines stay whole, each led by its file:\n" << r.err;
    const std::vector<results_json> jobs = json_lines(r.out);
    ASSERT_EQ(jobs.size(), 2u) << r.out;

    const results_json &p = jobs[0]["patches"];
    EXPECT_EQ(jobs[0]["sensor"], "I1D3");
    EXPECT_EQ(jobs[1]["test_data_file"], no_gray) << "skipped files leave no line";
    EXPECT_EQ(p["grayscale"][1]["XYZ"], results_json::parse("[null, null, null]"));
    EXPECT_TRUE(p["grayscale"][1]["dE2000"].is_null());
    EXPECT_TRUE(jobs[0]["verdicts"]["grayscale_dE2000_avg"]["value"].is_null());
    EXPECT_FALSE(jobs[0]["verdicts"]["grayscale_dE2000_avg"]["pass"].get<bool>());
    EXPECT_EQ(jobs[0]["white_level"].get<float>(), 100.0f);
    EXPECT_TRUE(p["gamut"][1]["measured"].get<bool>());
    EXPECT_EQ(p["gamut"][1]["name"], "Red");
    EXPECT_FALSE(p["gamut"][2]["measured"].get<bool>());
    EXPECT_TRUE(p["gamut"][2]["dE2000"].is_null());
    EXPECT_FALSE(p["checker"][0]["measured"].get<bool>());

    EXPECT_TRUE(jobs[1]["white_level"].is_null()) << "no grayscale, no white";
    EXPECT_TRUE(jobs[1]["patches"]["grayscale"].empty());
}

TEST(Results, RejectedOptionStopsBeforeAnyFile)
{
    run_result r = run_results({"-EOTF", "pq", sample("pq_ideal_600.csv")});
    EXPECT_EQ(r.status, 255);
    EXPECT_TRUE(r.out.empty());
    EXPECT_TRUE(contains(r.err, "Warning: -EOTF is given an unrecognized value!\nError: Configure. end.\n")) << r.err;
    EXPECT_FALSE(contains(r.err, "[start_measure]"));
}

TEST(Results, HelpAndVersionRunNoJobAndLeaveTheCaptureFolderAlone)
{
    analyzer_root root;
    ASSERT_EQ(root.run({"-testFilePath", sample("sdr_ideal_power24.csv")}).status, 0);
    const std::string saved = read_file(root.capture_dir() + "/1.json");
    const std::string png = read_file(root.capture_dir() + "/1.png");
    for (const char *flag : {"--help", "-h"}) {
        for (const run_result &r : {root.run({"-EOTF", "PQ", flag}), run_results({flag})}) {
            EXPECT_EQ(r.status, 0);
            for (const char *part : {"-colorSpace", "Rec.709", "-EOTF", "HLG", "-gamma", "1.0 to 2.8", "-cct",
                                     "6301 P3-DCI", "-lum", "-dev", "8 I1D3", "-testFilePath", "--version",
                                     "\nEnvironment:\n  ANALYZER_ROOT ", "\nFiles:\n", "\nExit status:\n  0 "})
                EXPECT_TRUE(contains(r.out, part)) << part << "\n" << r.out;
            EXPECT_FALSE(contains(r.out + r.err, "[start_measure]"));
        }
    }
    EXPECT_TRUE(contains(root.run({"--help"}).out, "--headless"));
    EXPECT_EQ(root.run({"--version", "-EOTF", "PQ"}).out, "analyzer 1.0.0\n");
    EXPECT_EQ(run_results({"--version"}).out, "analyzer-results 1.0.0\n");
    EXPECT_EQ(read_file(root.capture_dir() + "/1.json"), saved);
    EXPECT_EQ(read_file(root.capture_dir() + "/1.png"), png);
    EXPECT_FALSE(file_exists(root.capture_dir() + "/2.png"));
}

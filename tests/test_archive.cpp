// The archive of many jobs: the overall pass and the data's warnings in the
// record, records read back from 1.json, PNG captures and JSON Lines, CSV,
// the summary and its picture, and jobs judged on several threads.
#include <sstream>
#include <string>
#include <vector>

#include "app/capture.h"
#include "archive/batch_summary.h"
#include "archive/record_input.h"
#include "chart_probe.h"
#include "draw/draw_basic.h"
#include "measure/results.h"
#include "summary/draw_summary_page.h"

namespace {

const std::vector<std::string> POWER_24 = {"-EOTF", "Power", "-gamma", "2.4"};

run_result run_results(std::vector<std::string> args, const std::vector<std::string> &files)
{
    args.insert(args.begin(), ANALYZER_RESULTS_BIN);
    args.insert(args.end(), files.begin(), files.end());
    return run_program(args, {"ANALYZER_ROOT=" ANALYZER_BUILD_ROOT});
}

// A reader of RFC 4180 text, independent of the writer: fields split at
// commas outside quotes, "" inside quotes a quote, rows ended by CR LF.
std::vector<std::vector<std::string>> read_csv(const std::string &text)
{
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                rows.back().back() += text[++i];
            else if (c == '"')
                quoted = false;
            else
                rows.back().back() += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            rows.back().emplace_back();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            rows.emplace_back(1);
        } else {
            rows.back().back() += c;
        }
    }
    rows.pop_back();  // after the last line end
    return rows;
}

// A batch of known outcomes: the ideal display passes, the gamma 2.2 display
// fails all but the gamut, the empty file fails everything without a value.
struct batch {
    temp_dir dir;
    std::string ideal = dir.path + "/ideal.csv", ideal2 = dir.path + "/ideal2.csv",
                gamma22 = dir.path + "/gamma22.csv", empty = dir.path + "/empty.csv";
    batch()
    {
        write_file(ideal, read_file(sample("sdr_ideal_power24.csv")));
        write_file(ideal2, read_file(ideal));
        write_file(gamma22, read_file(sample("sdr_gamma22_vs24.csv")));
        write_file(empty, "");
    }
    std::vector<std::string> files() const { return {ideal, gamma22, empty, ideal2}; }
};

}  // namespace

TEST(Archive, RecordCarriesTheOverallPassAndTheDataWarnings)
{
    batch b;
    // A short job: black, white, a line that is no patch, nothing else.
    const std::string short_job = b.dir.path + "/short.csv";
    write_file(short_job, "h\nh\n0,0,0,0,0,0\n1,1,1,95.047,100,108.883\n1,2\n");
    const run_result r = run_results(POWER_24, {b.ideal, b.gamma22, b.empty, short_job});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<results_json> jobs = json_lines(r.out);
    ASSERT_EQ(jobs.size(), 4u);
    for (const results_json &j : jobs) {
        bool all = true;
        for (const auto &[key, v] : j["verdicts"].items())
            all = all && v["pass"].get<bool>();
        EXPECT_EQ(j["pass"].get<bool>(), all) << j["test_data_file"];
    }
    EXPECT_TRUE(jobs[0]["pass"].get<bool>());
    EXPECT_FALSE(jobs[1]["pass"].get<bool>());
    EXPECT_EQ(jobs[0]["data_warnings"], results_json::array());
    EXPECT_EQ(jobs[2]["data_warnings"],
              results_json({"Warning: the test data holds no grayscale patch: no white, no verdict can pass.",
                            "Warning: 7 of 7 gamut patches were not measured: the gamut verdict fails.",
                            "Warning: 18 of 18 color checker patches were not measured: the color checker verdict fails."}));
    EXPECT_EQ(jobs[3]["data_warnings"],
              results_json({"Warning: test data line 5 does not hold six numbers, skipped.",
                            "Warning: 6 of 7 gamut patches were not measured: the gamut verdict fails.",
                            "Warning: 18 of 18 color checker patches were not measured: the color checker verdict fails."}));
    // Every console line of a job names its file.
    EXPECT_TRUE(contains(r.err, short_job + ": Warning: test data line 5 does not hold six numbers, skipped.\r\n"));
    std::istringstream lines(r.err.substr(r.err.find("[start_measure]") - b.ideal.size() - 2));
    for (std::string line; std::getline(lines, line);)
        EXPECT_EQ(line.rfind(b.dir.path, 0), 0u) << line;

    // The overall pass follows each verdict's pass flag.
    job_t job;
    const reference_t target = make_target(DCI_P3, 0);
    output_of([&] { job = evaluate(target, b.ideal.c_str()); });
    ASSERT_TRUE(job_passes(job.summary));
    for (verdict_id id : report_verdicts(false)) {
        job_t failing = job;
        failing.summary.verdicts[id].pass = false;
        EXPECT_FALSE(results_record(failing, "", "", {})["pass"].get<bool>()) << verdict_limits[id].key;
    }
}

TEST(Archive, CsvReadsBackRowForRowAsTheRecords)
{
    batch b;
    // A name a spreadsheet would split or cut without quoting.
    const std::string odd = b.dir.path + "/a,\"b\"\nc.csv";
    write_file(odd, read_file(b.gamma22));
    std::vector<std::string> files = b.files();
    files.push_back(odd);
    const run_result csv = run_results({"--csv", "-EOTF", "Power", "-gamma", "2.4"}, files);
    const run_result json = run_results(POWER_24, files);
    ASSERT_EQ(csv.status, 0) << csv.err;
    const std::vector<std::vector<std::string>> rows = read_csv(csv.out);
    const std::vector<results_json> jobs = json_lines(json.out);
    ASSERT_EQ(rows.size(), jobs.size() + 1);
    const std::vector<std::string> &header = rows[0];
    ASSERT_EQ(header.size(), 20u);
    EXPECT_EQ(header[0], "file");
    EXPECT_EQ(header.back(), "pass");
    auto column = [&](const std::string &name) { return std::find(header.begin(), header.end(), name) - header.begin(); };
    for (size_t i = 0; i < jobs.size(); ++i) {
        const std::vector<std::string> &row = rows[i + 1];
        const results_json &j = jobs[i];
        SCOPED_TRACE(j["test_data_file"].get<std::string>());
        ASSERT_EQ(row.size(), header.size());
        EXPECT_EQ(row[0], j["test_data_file"]);
        EXPECT_EQ(row[1], j["report"]);
        EXPECT_EQ(row[2], j["target"]["eotf"]);
        EXPECT_EQ(row[3], j["target"]["color_space"]);
        EXPECT_EQ(std::stof(row[4]), j["target"]["gamma"].get<float>());
        EXPECT_EQ(row.back(), j["pass"].get<bool>() ? "true" : "false");
        for (const auto &[key, v] : j["verdicts"].items()) {
            const std::string &value = row[column(key)];
            EXPECT_EQ(v["value"].is_null() ? value.empty() : std::stof(value) == v["value"].get<float>(), true) << key;
            EXPECT_EQ(row[column(key + "_pass")], v["pass"].get<bool>() ? "true" : "false") << key;
        }
    }
    // A verdict of the other report is empty.
    EXPECT_EQ(rows[1][column("eotf_diff_max")], "");
}

TEST(Archive, SummaryCountsAnArchiveWithKnownOutcomesAndDrawsIt)
{
    batch b;
    const std::string png = b.dir.path + "/summary.png";
    const run_result r = run_results({"--summary", "--summary-png", png, "-EOTF", "Power", "-gamma", "2.4"}, b.files());
    ASSERT_EQ(r.status, 0) << r.err;
    for (const std::string &line : std::vector<std::string>{
             "Jobs: 4, passed 2 (50.0 %), failed 2\n",
             "Verdict                         jobs  failed  no value      worst  file of the worst\n",
          "SDR grayscale_dE2000_avg           4       2         1     1.6492  " + b.gamma22 + "\n",
          "SDR total_gamma                    4       2         1     2.2000  " + b.gamma22 + "\n",
          "SDR gamut_dE2000_max               4       1         1     1.1439  " + b.gamma22 + "\n",
          "SDR checker_dE2000_avg             4       2         1     2.4545  " + b.gamma22 + "\n",
          "Power DCI-P3                       4       2     50.0 %\n", "Jobs whose data carried warnings: 1\n",
          "  " + b.empty + ": 3, first: Warning: the test data holds no grayscale patch: no white, no verdict can pass.\n"})
        EXPECT_TRUE(contains(r.out, line)) << line << r.out;
    EXPECT_FALSE(contains(r.out, "HDR ")) << "no HDR job, no HDR verdict";

    // The page: per verdict a pass-rate bar, green up to its rate (gamut 3
    // of 4, the others 2 of 4) and red above.
    const rgba_image img = read_png(png);
    ASSERT_TRUE(img.ok);
    EXPECT_EQ(img.width, 1920);
    EXPECT_EQ(img.height, 1080);
    for (int i = 0; i < 4; ++i) {
        const int x = 520 + 345 * i + 172;
        SCOPED_TRACE(i);
        EXPECT_EQ(at(img, x, 305), (rgb{0, 180, 0}));
        EXPECT_EQ(at(img, x, i == 2 ? 135 : 195), (rgb{0, 180, 0}));
        EXPECT_EQ(at(img, x, 65), (rgb{200, 40, 40}));
    }

    // Without ANALYZER_ROOT the page takes the artwork of the tree the
    // program lies in (the build's root/); without artwork it draws nothing.
    std::vector<std::string> args{ANALYZER_RESULTS_BIN, "--summary-png", b.dir.path + "/own.png"};
    for (const std::string &f : b.files())
        args.push_back(f);
    EXPECT_EQ(run_program(args, {"ANALYZER_ROOT="}).status, 0);
    EXPECT_EQ(differing_pixels(read_png(b.dir.path + "/own.png"), img, 0), 0);
    temp_dir bare;
    args[2] = b.dir.path + "/bare.png";
    const run_result none = run_program(args, {"ANALYZER_ROOT=" + bare.path});
    EXPECT_EQ(none.status, 1);
    EXPECT_TRUE(contains(none.err, "analyzer-summary-png: missing " + bare.path + "/usr/local/app/image/")) << none.err;
    EXPECT_FALSE(file_exists(b.dir.path + "/bare.png"));
}

TEST(Archive, DeviceRecordsSummariseAsTheirTestDataJudgedAgain)
{
    analyzer_root root;
    const std::vector<std::string> target{"-EOTF", "Power", "-gamma", "2.4"};
    const std::string data = sample("sdr_gamma22_vs24.csv");
    std::vector<std::string> args = target;
    args.insert(args.end(), {"-testFilePath", data});
    ASSERT_EQ(root.run(args).status, 0);
    const std::string dir = root.capture_dir();
    // Records printed by analyzer-results, one per line, read back too.
    const std::string lines = root.dir.path + "/jobs.jsonl";
    write_file(lines, run_results(target, {data, data}).out);

    // Records are taken as they were judged, whatever the target options say.
    const run_result read = run_results({"--csv", "-EOTF", "PQ"}, {dir + "/1.json", dir + "/1.png", lines});
    ASSERT_EQ(read.status, 0) << read.err;
    const std::vector<std::vector<std::string>> rows = read_csv(read.out),
                                                 again = read_csv(run_results({"--csv", "-EOTF", "Power", "-gamma", "2.4"}, {data}).out);
    ASSERT_EQ(rows.size(), 5u) << read.out;
    ASSERT_EQ(again.size(), 2u);
    // The file of a 1.json or a PNG is the record file: every device's
    // records name the same test data path.
    const std::string files[] = {dir + "/1.json", dir + "/1.png", data, data};
    for (size_t i = 1; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i][0], files[i - 1]) << i;
        EXPECT_TRUE(std::equal(rows[i].begin() + 1, rows[i].end(), again[1].begin() + 1)) << i;
    }
    std::string summary = run_results({"--summary", "-EOTF", "Power", "-gamma", "2.4"}, {data}).out;
    for (size_t at = 0; (at = summary.find(data, at)) != std::string::npos; at += dir.size() + 6)
        summary.replace(at, data.size(), dir + "/1.png");
    EXPECT_EQ(run_results(std::vector<std::string>{"--summary"}, {dir + "/1.png"}).out, summary);

    // A PNG without the record and a JSON file that is none are neither
    // test data nor records; the others are still read.
    const std::string not_json = root.dir.path + "/other.json";
    write_file(not_json, "{\"format\": \"something else\"}\n");
    const std::string logo = std::string(ANALYZER_BUILD_ROOT) + "/usr/local/app/image/tervane.png";
    const run_result neither = run_results(std::vector<std::string>{"--csv"}, {logo, dir + "/1.json", not_json});
    EXPECT_EQ(neither.status, 1);
    EXPECT_EQ(read_csv(neither.out).size(), 2u);
    EXPECT_TRUE(contains(neither.err, logo + ": analyzer-results: no analyzer-results text chunk\n"
                                             "analyzer-results: cannot read the test data file \"" + logo + "\"\n"))
        << neither.err;
    EXPECT_TRUE(contains(neither.err, not_json + ": analyzer-results: line 1 is not a results record\n")) << neither.err;
}

TEST(Archive, HostileRecordsAreRefusedAndTheOthersRead)
{
    batch b;
    const results_json good = json_lines(run_results(POWER_24, {b.ideal}).out).at(0);
    ASSERT_TRUE(good["pass"].get<bool>());
    // Records as a 1.json holds them: members of the wrong type make none;
    // a pass the verdicts deny, or a verdict without a value, fails.
    const struct {
        const char *name;
        const char *member;  // JSON pointer
        results_json value;
        const char *read;  // the CSV's pass, or null: refused
    } cases[] = {
        {"format", "/format", 5, nullptr},
        {"verdict_pass", "/verdicts/total_gamma/pass", "yes", nullptr},
        {"eotf", "/target/eotf", 1, nullptr},
        {"denied", "/verdicts/gamut_dE2000_max/pass", false, "false"},
        {"no_value", "/verdicts/total_gamma/value", nullptr, "false"},
    };
    std::vector<std::string> files{b.ideal};
    for (const auto &c : cases) {
        results_json r = good;
        r[results_json::json_pointer(c.member)] = c.value;
        files.push_back(b.dir.path + "/" + c.name + ".json");
        write_file(files.back(), r.dump(2) + "\n");
    }
    // A BOM, blanks and CR LF line ends still make one record.
    std::string crlf = good.dump(2) + "\n";
    for (size_t at = 0; (at = crlf.find('\n', at)) != std::string::npos; at += 2)
        crlf.insert(at, "\r");
    files.push_back(b.dir.path + "/bom.json");
    write_file(files.back(), "\xEF\xBB\xBF \r\n" + crlf);
    // A line over 1 MiB is no record, even one whose head is whole; a PNG
    // text chunk over 1 MiB is left unread.
    results_json padded = good;
    padded["pad"] = std::string(RECORD_LINE_MAX, 'x');
    files.push_back(b.dir.path + "/long.jsonl");
    write_file(files.back(), padded.dump() + "\n" + good.dump() + "\n");
    files.push_back(b.dir.path + "/big.png");
    FILE *fp = fopen(files.back().c_str(), "wb");
    const uint32_t pixel = 0;
    ASSERT_TRUE(write_png(fp, reinterpret_cast<const uint8_t *>(&pixel), 1, 1, 4, ARGB32, padded.dump()));
    fclose(fp);

    const run_result r = run_results({"--csv"}, files);
    EXPECT_EQ(r.status, 1);
    const std::vector<std::vector<std::string>> rows = read_csv(r.out);
    ASSERT_EQ(rows.size(), 6u) << r.out << r.err;
    for (size_t i = 0, row = 2; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        if (cases[i].read == nullptr) {
            EXPECT_TRUE(contains(r.err, files[i + 1] + ": analyzer-results: not a results record\n")) << r.err;
            continue;
        }
        EXPECT_EQ(rows[row][0], files[i + 1]);
        EXPECT_EQ(rows[row++].back(), cases[i].read);
    }
    EXPECT_EQ(rows[3][std::find(rows[0].begin(), rows[0].end(), "total_gamma_pass") - rows[0].begin()], "false");
    EXPECT_EQ(rows[4][0], b.dir.path + "/bom.json");
    EXPECT_TRUE(std::equal(rows[4].begin() + 1, rows[4].end(), rows[1].begin() + 1)) << "as judged";
    EXPECT_TRUE(contains(r.err, "long.jsonl: analyzer-results: line 1 is not a results record (longer than 1 MiB)\n"));
    EXPECT_EQ(rows[5][0], b.ideal);
    EXPECT_TRUE(contains(r.err, "big.png: analyzer-results: no analyzer-results text chunk\n")) << r.err;

    // A file name that is not UTF-8 reads as in its record, also on the page.
    const std::string odd = b.dir.path + "/odd\xff.csv";
    write_file(odd, read_file(b.gamma22));
    const run_result named = run_results({"--csv", "--summary-png", b.dir.path + "/odd.png"}, {odd});
    EXPECT_EQ(named.status, 0) << named.err;
    EXPECT_EQ(read_csv(named.out).at(1).at(0), b.dir.path + "/odd\xEF\xBF\xBD.csv");
    EXPECT_TRUE(read_png(b.dir.path + "/odd.png").ok);
}

TEST(Archive, JobsOnManyThreadsKeepTheOrderAndEachRecordWhole)
{
    temp_dir dir;
    std::vector<std::string> files;
    for (int i = 0; i < 40; ++i) {
        const sample_job &s = sample_jobs()[static_cast<size_t>(i) % 3];
        files.push_back(dir.path + "/job" + std::to_string(i) + ".csv");
        write_file(files.back(), read_file(sample(s.file)));
    }
    const run_result one = run_results({"--jobs", "1", "-EOTF", "PQ"}, files);
    const run_result four = run_results({"--jobs", "4", "-EOTF", "PQ"}, files);
    ASSERT_EQ(four.status, 0);
    EXPECT_EQ(four.out, one.out);
    EXPECT_EQ(four.err, one.err);
    const std::vector<results_json> jobs = json_lines(four.out);
    ASSERT_EQ(jobs.size(), files.size());
    for (size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(jobs[i]["test_data_file"], files[i]);
    for (const std::vector<std::string> &bad : {std::vector<std::string>{"--jobs", "0"}, {"--jobs"}, {"--csv", "--summary"}})
        EXPECT_EQ(run_results(bad, files).status, 255) << bad[0];
}

TEST_F(ChartTest, SummaryPageDrawsEveryVerdictsPassRateAndHistogram)
{
    batch_summary_t s;
    // Three SDR jobs, one HDR job; the gray dE2000 of the SDR jobs 1.0, 2.0
    // and NaN.
    for (int i = 0; i < 4; ++i) {
        job_row_t row;
        row.hdr = i == 3;
        row.file = "job" + std::to_string(i);
        row.eotf = i == 3 ? "<b>PQ&" : "Power";
        for (verdict_id id : report_verdicts(row.hdr))
            row.verdicts[id] = {true, i == 2 ? NAN : 1.0f + i, i == 0, verdict_limits[id].around_target ? 2.4f : NAN};
        add_job(s, row);
    }
    summary_page_t page;
    draw_summary_page(page, s);
    ASSERT_EQ(page.shown.size(), 8u);
    EXPECT_NE(std::find(page.texts.begin(), page.texts.end(), "<font_size=16 align=left>&lt;b&gt;PQ&amp; "),
              page.texts.end()) << "a target's name is text, not markup";
    ASSERT_EQ(page.histograms.size(), 8u);
    // Per verdict a green bar as high as its pass rate and the red rest.
    const std::vector<Evas_Object *> bars = objects(page.pass_rates->data_list, "rectangle", LAYER_DATA_BAR);
    ASSERT_EQ(bars.size(), 16u);
    for (size_t i = 0; i < 8; ++i) {
        int x, y, w, h;
        evas_object_geometry_get(bars[2 * i + 1], &x, &y, &w, &h);
        EXPECT_EQ(colour(bars[2 * i + 1]), "0,180,0") << i;
        EXPECT_EQ(h, i < 4 ? 83 : 0) << i;  // 1 of 3 SDR jobs passes, the HDR job fails
        EXPECT_EQ(colour(bars[2 * i]), "200,40,40") << i;
    }
    // The SDR gray dE2000 histogram: bins of 0.075 from 0, the job at 1.0 in
    // bin 13 (passed), at 2.0 in bin 26 (failed); the NaN is counted apart.
    EXPECT_EQ(s.verdicts[SDR_GRAY_DE2000_AVG].histogram.bins[13], 1u);
    EXPECT_EQ(s.verdicts[SDR_GRAY_DE2000_AVG].histogram.passed[13], 1u);
    EXPECT_EQ(s.verdicts[SDR_GRAY_DE2000_AVG].histogram.bins[26], 1u);
    EXPECT_EQ(s.verdicts[SDR_GRAY_DE2000_AVG].no_value, 1u);
    EXPECT_EQ(verdict_of(page.histograms[0]).text, "\xE2\x89\xA4 1.5: 2 of 3 fail");
    EXPECT_FALSE(verdict_of(page.histograms[0]).pass);
    del_summary_page(page);

    for (auto [count, top] : {std::pair{0, 4}, {4, 4}, {5, 8}, {9, 20}, {41, 80}, {81, 200}, {100000, 200000}})
        EXPECT_EQ(count_scale_max(count), static_cast<uint64_t>(top)) << count;
}

// What the real binary does with bad input and faults: each case ends with
// the documented status, and never leaves a truncated capture behind.
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "test_support.h"

namespace fs = std::filesystem;

namespace {

// Both captures are complete 1920 x 1080 PNG files.
void expect_captures(const analyzer_root &root)
{
    for (const char *name : {"/1.png", "/1_white.png"}) {
        rgba_image img = read_png(root.capture_dir() + name);
        EXPECT_TRUE(img.ok) << name;
        EXPECT_EQ(img.width, 1920) << name;
    }
}

std::string lines(int n, const std::string &line)
{
    std::string out = "header\nheader\n";
    for (int i = 0; i < n; ++i)
        out += line;
    return out;
}

// A job of its own: a copy of an SDR sample named `name`.csv, so that its
// record names it.
std::vector<std::string> job(const analyzer_root &root, const std::string &name)
{
    const std::string file = root.dir.path + "/" + name + ".csv";
    if (!file_exists(file))
        write_file(file, read_file(std::string(ANALYZER_SOURCE_DIR) + "/samples/sdr_ideal_power24.csv"));
    return {"-testFilePath", file};
}

// The files of a folder by name, each with the job it belongs to: the name
// of the test data file its record names, "tmp" for a temporary file, or its
// text when it holds no record.
std::map<std::string, std::string> folder(const std::string &dir)
{
    std::map<std::string, std::string> files;
    for (const auto &e : fs::directory_iterator(dir, fs::directory_options::skip_permission_denied)) {
        const std::string name = e.path().filename().string();
        const std::string text = name.ends_with(".png") ? png_text_chunk(e.path(), "analyzer-results") : read_file(e.path());
        const auto record = nlohmann::json::parse(text, nullptr, false);
        files[name] = name.starts_with(".partial-") ? "tmp"
                      : record.is_object()          ? fs::path(record["test_data_file"].get<std::string>()).stem().string()
                                                    : text;
    }
    return files;
}

// The job of each generation ("1" and "2"); "mixed" when its files came
// from different jobs, "" when it has none.
std::array<std::string, 2> generations(const std::map<std::string, std::string> &files)
{
    std::array<std::string, 2> jobs;
    for (const auto &[name, job] : files) {
        std::string &g = jobs[name[0] == '2'];
        if (name[0] == '1' || name[0] == '2')
            g = g.empty() || g == job ? job : "mixed";
    }
    return jobs;
}

// Mounts of this test stay in a mount namespace of its own (root only).
bool private_mounts()
{
    static const bool ok = unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    return ok;
}

struct bad_input {
    const char *name;
    std::string data;
    const char *expected_line;  // a line the run must print, or ""
};

class BadTestData : public ::testing::TestWithParam<bad_input> {};

}  // namespace

TEST_P(BadTestData, RunCompletesWithBothCaptures)
{
    analyzer_root root;
    const std::string file = root.dir.path + "/data.csv";
    write_file(file, GetParam().data);
    run_result r = root.run({"-testFilePath", file});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(contains(r.out, GetParam().expected_line)) << r.out;
    EXPECT_TRUE(contains(r.out, "run exit!\n"));
    expect_captures(root);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadTestData,
    ::testing::Values(
        bad_input{"NonFinite", lines(1, "nan,nan,nan,inf,-inf,nan\n") + "1,1,1,inf,inf,inf\n0.5,0,0,1e39,-1e39,0\n", ""},
        bad_input{"Huge", lines(200000, "0.5,0.5,0.5,20.1,21.3,23.0\n"), "test_data_gray_count = 1 \r\n"}),
    [](const ::testing::TestParamInfo<bad_input> &info) { return std::string(info.param.name); });

TEST(Faults, MissingImagesAndFontAreReportedAndTheReportStillDrawn)
{
    analyzer_root root(false);
    run_result r = root.run({"-testFilePath", std::string(ANALYZER_SOURCE_DIR) + "/samples/sdr_ideal_power24.csv"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(contains(r.out, "error: [read_configure]:could not load image.\r\n"));
    EXPECT_TRUE(contains(r.out, "error: could not load image \"" + root.dir.path +
                                    "/usr/local/app/image/title_07.png\"\n"));
    expect_captures(root);
}

// A report that cannot be saved whole leaves the saved generations as they
// were, and the run fails.
TEST(Faults, ReportThatCannotBeSavedKeepsTheSavedGenerationsAndFails)
{
    const auto write_previous = [](const std::string &dir) {
        for (const char *name : {"1.png", "1_white.png", "1.json", "2.png", "2_white.png", "2.json"})
            write_file(dir + "/" + name, std::string("previous ") + name);
        return true;
    };
    rlimit unlimited{};
    getrlimit(RLIMIT_FSIZE, &unlimited);
    const struct {
        const char *name;
        std::function<bool(const std::string &dir)> make;
    } faults[] = {
        {"full disk", [&](const std::string &dir) {
             fs::create_directories(dir);
             return private_mounts() && mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=64k") == 0 && write_previous(dir);
         }},
        {"read-only folder", [&](const std::string &dir) {
             return write_previous(dir) && private_mounts() && mount(dir.c_str(), dir.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
                    mount(nullptr, dir.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) == 0;
         }},
        {"file size limit", [&](const std::string &dir) {
             const rlimit small{64 << 10, unlimited.rlim_max};
             return write_previous(dir) && setrlimit(RLIMIT_FSIZE, &small) == 0;
         }},
        {"folder is a file", [](const std::string &dir) {
             write_file(fs::path(dir).parent_path().string(), "not a folder");
             return true;
         }},
    };
    for (const auto &fault : faults) {
        SCOPED_TRACE(fault.name);
        analyzer_root root;
        const std::string dir = root.capture_dir();
        if (!fault.make(dir)) {
            std::printf("[  SKIPPED ] %s: cannot be set up here\n", fault.name);
            continue;
        }
        const auto snapshot = [&] { return fs::is_directory(dir) ? folder(dir) : decltype(folder(dir)){}; };
        const auto before = snapshot();
        run_result r = root.run(job(root, "new"));
        setrlimit(RLIMIT_FSIZE, &unlimited);
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_TRUE(contains(r.err, "analyzer: the report of " + root.dir.path + "/new.csv was not saved\n")) << r.err;
        EXPECT_EQ(snapshot(), before);
        umount2(dir.c_str(), MNT_DETACH);
    }
}

// SIGKILL right after each file system step of the capture (file written,
// synced, moved, removed): each generation keeps the files of one job, and
// the next run cleans up and saves a whole one.
TEST(Faults, KillAtEveryStepOfTheCaptureLeavesWholeGenerations)
{
    analyzer_root first;
    const std::string dir = first.capture_dir(), log = first.dir.path + "/steps.log";
    ASSERT_EQ(first.run(job(first, "a")).status, 0);
    std::vector<std::string> logged = preload_env(FS_STEPS_LIB);
    logged.push_back("FS_STEPS_LOG=" + log);
    ASSERT_EQ(first.run(job(first, "b"), logged).status, 0);
    // Every file is written and synced before anything moves; the folder is synced last.
    const std::string steps = std::regex_replace(read_file(log), std::regex("\\.partial-\\w{6}"), "tmp");
    EXPECT_EQ(steps, "mkostemp tmp\nfsync tmp\nmkostemp tmp\nfsync tmp\nmkostemp tmp\nfsync tmp\n"
                     "unlinkat 2.png\nunlinkat 2_white.png\nunlinkat 2.json\n"
                     "renameat 1.png 2.png\nrenameat 1_white.png 2_white.png\nrenameat 1.json 2.json\n"
                     "renameat tmp 1.png\nrenameat tmp 1_white.png\nrenameat tmp 1.json\nfsync analyzer_data\n");
    const int step_count = count_of(steps, "\n");

    // Chains of runs in parallel, each from a copy of this folder: runs killed
    // at every fourth step, then a normal run.
    constexpr int CHAINS = 4;
    struct state {
        int step;  // 0: the normal run
        run_result run;
        std::map<std::string, std::string> files;
    };
    std::array<analyzer_root, CHAINS> roots;
    std::array<std::vector<state>, CHAINS> states;
    std::vector<std::thread> chains;
    for (int c = 0; c < CHAINS; ++c) {
        fs::create_directories(roots[c].capture_dir());
        fs::copy(dir, roots[c].capture_dir(), fs::copy_options::recursive);
        chains.emplace_back([&, c] {
            for (int step = c + 1; step <= step_count + CHAINS; step += CHAINS) {
                const bool killed = step <= step_count;
                std::vector<std::string> env = preload_env(FS_STEPS_LIB);
                env.push_back("FS_STEPS_KILL_AT=" + std::to_string(killed ? step : 0));
                const std::string name = killed ? "killed" + std::to_string(step) : "last";
                states[c].push_back({killed ? step : 0, roots[c].run(job(roots[c], name), env), {}});
                states[c].back().files = folder(roots[c].capture_dir());
            }
        });
    }
    for (std::thread &t : chains)
        t.join();
    int kills = 0;
    for (const auto &chain : states) {
        for (const state &s : chain) {
            SCOPED_TRACE("killed after step " + std::to_string(s.step));
            const auto [current, previous] = generations(s.files);
            EXPECT_NE(current, "mixed");
            EXPECT_NE(previous, "mixed");
            if (s.step > 0) {
                kills += s.run.signal == SIGKILL;
                continue;
            }
            EXPECT_EQ(s.run.status, 0) << s.run.err;
            EXPECT_EQ(current, "last");
            EXPECT_EQ(s.files.size(), s.files.count("2.png") + s.files.count("2_white.png") + s.files.count("2.json") + 3)
                << "no temporary file is left";
        }
    }
    EXPECT_EQ(kills, step_count);
}

// Two jobs started at once in one folder: one waits for the other, and each
// generation holds the files of one job.
TEST(Faults, TwoJobsAtOnceEachSaveAWholeGeneration)
{
    for (int attempt = 0; attempt < 5; ++attempt) {
        analyzer_root root;
        const std::vector<std::string> x = job(root, "x"), y = job(root, "y");
        run_result a, b;
        std::thread other([&] { b = root.run(y); });
        a = root.run(x);
        other.join();
        EXPECT_EQ(a.status, 0) << a.err;
        EXPECT_EQ(b.status, 0) << b.err;
        const auto files = folder(root.capture_dir());
        const auto [current, previous] = generations(files);
        EXPECT_EQ(files.size(), 6u);
        EXPECT_TRUE((current == "x" && previous == "y") || (current == "y" && previous == "x"))
            << current << " / " << previous;
    }
}

// A test data file that cannot be read, is no regular file or never ends
// leaves the saved reports alone, and the run fails at once.
TEST(Faults, UnreadableTestDataKeepsTheSavedReports)
{
    analyzer_root root;
    const std::string fifo = root.dir.path + "/data.fifo", missing = root.dir.path + "/missing.csv";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(root.run(job(root, "a")).status, 0);
    ASSERT_EQ(root.run(job(root, "b")).status, 0);
    const auto saved = folder(root.capture_dir());
    for (const std::string &file : {missing, fifo}) {
        run_result r = root.run({"-testFilePath", file});
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(contains(r.err, "analyzer: cannot read the test data file \"" + file + "\"")) << r.err;
        EXPECT_FALSE(contains(r.out, "save_osd_to_png")) << "no rotation";
        EXPECT_EQ(folder(root.capture_dir()), saved);
    }
    const auto start = std::chrono::steady_clock::now();
    run_result r = run_program({ANALYZER_RESULTS_BIN, fifo, "/dev/zero", root.dir.path, missing}, {});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "") << "no record for a file that was not read";
    EXPECT_TRUE(contains(r.err, "read_test_data: /dev/zero: not a regular file\n")) << r.err;
    EXPECT_EQ(count_of(r.err, "analyzer-results: cannot read the test data file"), 4) << r.err;
}

TEST(Faults, SignalDuringEvaluationEndsTheRunAt255)
{
    analyzer_root root;
    // A serial-number reader that does not answer keeps the run before its main loop.
    write_file(root.dir.path + "/opt/bin/fw_printenv", "#!/bin/sh\nexec sleep 3\n");
    fs::permissions(root.dir.path + "/opt/bin/fw_printenv", fs::perms::owner_all);
    run_result r = root.run(job(root, "a"), {}, 200, SIGTERM, "[start_measure]");
    EXPECT_EQ(r.status, 255);
    EXPECT_TRUE(contains(r.out, "[start_measure]: test_type = 0.\r\n"));
    EXPECT_TRUE(contains(r.out, "Info: sig = 15, run exiting...\n"));
    EXPECT_FALSE(contains(r.out, "exit_app:"));
    EXPECT_FALSE(file_exists(root.capture_dir()));
}

TEST(Faults, SignalAtStartUpEndsTheRunAt255)
{
    analyzer_root root;
    run_result r = root.run({}, {}, -1, SIGINT);
    EXPECT_EQ(r.signal, 0) << "the handler is in place from the start";
    EXPECT_EQ(r.status, 255);
    EXPECT_TRUE(contains(r.out, "Info: sig = 2, run exiting...\n")) << r.out;
}

TEST(Faults, SegmentationFaultIsReportedInRed)
{
    analyzer_root root;
    run_result r = root.run({}, {}, 600, SIGSEGV);
    EXPECT_EQ(r.status, 255);
    EXPECT_TRUE(contains(r.out, "Info: sig = 11, run exiting...\n"
                                "\033[31mError: sig = 11, \n\n\nSSSSSSSSSSSSSSSSSSSSS.\n\n\n\033[0m"))
        << r.out;
    EXPECT_FALSE(file_exists(root.capture_dir() + "/1.png"));
}

// What the real binary does with bad input and faults: each case ends with
// the documented status, and never leaves a truncated capture behind.
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <array>
#include <atomic>
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
        write_file(file, read_file(sample("sdr_ideal_power24.csv")));
    return {"-testFilePath", file};
}

// The files of a folder by name, each with the job it belongs to: the name
// of the test data file its record names, "tmp" for a temporary file, or its
// text when it holds no record.
std::map<std::string, std::string> folder(const std::string &dir)
{
    std::map<std::string, std::string> files;
    std::error_code no_folder;
    for (const auto &e : fs::directory_iterator(dir, no_folder)) {
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

}  // namespace

// Odd test data: the run completes with both captures.
TEST(Faults, BadTestDataRunCompletesWithBothCaptures)
{
    const struct {
        std::string data;
        const char *line;  // a line the run must print
    } files[] = {
        {lines(1, "nan,nan,nan,inf,-inf,nan\n") + "1,1,1,inf,inf,inf\n0.5,0,0,1e39,-1e39,0\n", "run exit!\n"},
        // Huge, read to its end: the last line is a level of its own.
        {lines(200000, "0.5,0.5,0.5,20.1,21.3,23.0\n") + "1,1,1,95,100,108\n", "test_data_gray_count = 2 \r\n"},
    };
    for (const auto &f : files) {
        analyzer_root root;
        const std::string file = root.dir.path + "/data.csv";
        write_file(file, f.data);
        run_result r = root.run({"-testFilePath", file});
        EXPECT_EQ(r.status, 0) << r.out;
        EXPECT_TRUE(contains(r.out, f.line)) << r.out;
        expect_captures(root);
    }
}

// A report without its images or font is not saved: one line names the
// missing file and the folders looked in, and the saved generation stays.
TEST(Faults, MissingImageOrFontFailsBeforeDrawingAndKeepsTheSavedGeneration)
{
    for (const char *hidden : {"image", "font"}) {
        SCOPED_TRACE(hidden);
        analyzer_root root;
        ASSERT_EQ(root.run({"-testFilePath", sample("sdr_ideal_power24.csv")}).status, 0);
        const auto contents = [&] {
            std::map<std::string, std::string> files;
            for (const auto &e : fs::directory_iterator(root.capture_dir()))
                files[e.path().filename()] = read_file(e.path());
            return files;
        };
        const auto saved = contents();
        const std::string app = root.dir.path + "/usr/local/app";
        fs::remove(app + "/" + hidden);
        fs::create_directory(app + "/" + hidden);
        run_result r = root.run({"-testFilePath", sample("sdr_ideal_power24.csv")});
        EXPECT_EQ(r.status, 1);
        const std::string file = app + (hidden == std::string("image") ? "/image/tervane.png" : "/font/arial.ttf");
        EXPECT_EQ(r.err, "analyzer: missing " + file + ": the report's images and font are looked for under " + app +
                             "/image and " + app + "/font (ANALYZER_ROOT re-roots them); nothing was drawn or saved\n");
        EXPECT_FALSE(contains(r.out, "could not load image")) << r.out;
        EXPECT_EQ(contents(), saved);
    }
}

// A job that cannot be read or saved whole leaves the saved generations as
// they were, and the run fails.
TEST(Faults, FailedJobKeepsTheSavedGenerations)
{
    rlimit unlimited{};
    getrlimit(RLIMIT_FSIZE, &unlimited);
    const rlimit small{64 << 10, unlimited.rlim_max};
    const std::string unread = "analyzer: cannot read the test data file", unsaved = "analyzer: the report of";
    const auto previous = [](const std::string &dir) {
        for (const char *name : {"1.png", "1_white.png", "1.json", "2.png", "2_white.png", "2.json"})
            write_file(dir + "/" + name, name);
        return true;
    };
    // Each case starts from a saved generation 1 and 2 in the folder.
    const struct {
        const char *name;
        std::function<bool(const std::string &dir)> make;
        const char *data;  // the test data file, "" for a good one
        std::string err;
    } faults[] = {
        {"missing test data file", [](auto &) { return true; }, "missing.csv", unread},
        {"test data FIFO", [](auto &dir) { return mkfifo((dir + "/../fifo").c_str(), 0600) == 0; }, "img/fifo", unread},
        {"full disk", [&](auto &dir) {
             return private_mounts() && mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=64k") == 0 && previous(dir);
         }, "", "No space left on device"},
        {"read-only folder", [](auto &dir) {
             return private_mounts() && mount(dir.c_str(), dir.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
                    mount(nullptr, dir.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) == 0;
         }, "", "Read-only file system"},
        {"file size limit", [&](auto &) { return setrlimit(RLIMIT_FSIZE, &small) == 0; }, "", "File too large"},
        {"folder is a file", [](auto &dir) { return fs::remove_all(dir) && (write_file(dir, "file"), true); }, "", unsaved},
        {"folder under a previous name", [](auto &dir) { return fs::remove(dir + "/2.png") && fs::create_directory(dir + "/2.png"); },
         "", "/2.png: Is a directory"},
    };
    for (const auto &fault : faults) {
        SCOPED_TRACE(fault.name);
        analyzer_root root;
        const std::string dir = root.capture_dir();
        if (!previous(dir) || !fault.make(dir)) {
            std::printf("[  SKIPPED ] %s: cannot be set up here\n", fault.name);
            continue;
        }
        const auto before = folder(dir);
        run_result r = root.run(*fault.data ? std::vector<std::string>{"-testFilePath", root.dir.path + "/mnt/mmc-disk4/" + fault.data}
                                            : job(root, "new"));
        setrlimit(RLIMIT_FSIZE, &unlimited);
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_TRUE(contains(r.err, fault.err)) << r.err;
        EXPECT_TRUE(contains(r.err, *fault.data ? unread : unsaved)) << r.err;
        EXPECT_EQ(folder(dir), before);
        umount2(dir.c_str(), MNT_DETACH);
    }
}

// SIGKILL right after each file system step of the capture (file synced,
// removed, moved): each generation keeps the files of one job. Then two jobs
// at once: one waits for the other, the stale temporary files go, and each
// generation holds the whole files of one of them.
TEST(Faults, KilledOrConcurrentJobsLeaveWholeGenerations)
{
    analyzer_root first;
    const std::string log = first.dir.path + "/steps.log";
    ASSERT_EQ(first.run(job(first, "a")).status, 0);
    std::vector<std::string> logged = preload_env(FS_STEPS_LIB);
    logged.push_back("FS_STEPS_LOG=" + log);
    ASSERT_EQ(first.run(job(first, "b"), logged).status, 0);
    // Every file is written and synced before anything moves; the folder is synced last.
    const std::string steps = std::regex_replace(read_file(log), std::regex("\\.partial-\\w{6}"), "tmp");
    EXPECT_EQ(steps, "fsync tmp\nfsync tmp\nfsync tmp\nunlinkat 2.png\nunlinkat 2_white.png\nunlinkat 2.json\n"
                     "renameat 1.png 2.png\nrenameat 1_white.png 2_white.png\nrenameat 1.json 2.json\n"
                     "renameat tmp 1.png\nrenameat tmp 1_white.png\nrenameat tmp 1.json\nfsync analyzer_data\n");
    const int step_count = count_of(steps, "\n");

    // Chains of runs in parallel, each from a copy of this folder: runs killed
    // at every fourth step, then two jobs at once.
    constexpr int CHAINS = 4;
    std::array<analyzer_root, CHAINS> roots;
    std::atomic<int> kills{0};
    std::vector<std::thread> chains;
    for (int c = 0; c < CHAINS; ++c) {
        fs::create_directories(roots[c].dir.path + "/mnt/mmc-disk4/img");
        fs::copy(first.capture_dir(), roots[c].capture_dir(), fs::copy_options::recursive);
        chains.emplace_back([&, c, x = job(roots[c], "x"), y = job(roots[c], "y")] {
            for (int step = c + 1; step <= step_count; step += CHAINS) {
                std::vector<std::string> env = preload_env(FS_STEPS_LIB);
                env.push_back("FS_STEPS_KILL_AT=" + std::to_string(step));
                kills += roots[c].run(job(roots[c], "job" + std::to_string(step)), env).signal == SIGKILL;
                const auto [current, previous] = generations(folder(roots[c].capture_dir()));
                EXPECT_NE(current, "mixed") << "killed after step " << step;
                EXPECT_NE(previous, "mixed") << "killed after step " << step;
            }
            run_result other;
            std::thread at_once([&] { other = roots[c].run(y); });
            const run_result r = roots[c].run(x);
            at_once.join();
            EXPECT_EQ(r.status + other.status, 0) << r.err << other.err;
            const auto files = folder(roots[c].capture_dir());
            const auto [current, previous] = generations(files);
            EXPECT_TRUE(current + previous == "xy" || current + previous == "yx") << current << " / " << previous;
            EXPECT_EQ(files.size(), 6u) << "whole, and no temporary file is left";
        });
    }
    for (std::thread &t : chains)
        t.join();
    EXPECT_EQ(kills, step_count);
}

TEST(Faults, SignalDuringEvaluationEndsTheRunAt255)
{
    analyzer_root root;
    // A serial-number reader that does not answer keeps the run before its main loop.
    root.serial_reader("exec sleep 3\n");
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

// What the real binary does with bad input and faults: each case ends with
// the documented status, and never leaves a truncated capture behind.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/file.h>
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

#include "app/generation.h"
#include "archive/record_input.h"
#include "measure/data_file.h"
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
        const std::string text = name.ends_with(".png") ? png_record_text(e.path().c_str()).value_or("") : read_file(e.path());
        const auto record = nlohmann::json::parse(text, nullptr, false);
        files[name] = name.starts_with(TEMP_PREFIX) ? "tmp"
                      : record.is_object()          ? fs::path(record["test_data_file"].get<std::string>()).stem().string()
                                                    : text;
    }
    return files;
}

// The job of each generation ("1" and "2"); "mixed" when its files came
// from different jobs, "part of <job>" when it lacks some, "" when it has none.
std::array<std::string, 2> generations(const std::map<std::string, std::string> &files)
{
    std::array<std::string, 2> jobs;
    std::array<size_t, 2> count{};
    for (const auto &[name, job] : files) {
        if (name[0] != '1' && name[0] != '2')
            continue;
        const bool g = name[0] == '2';
        jobs[g] = jobs[g].empty() || jobs[g] == job ? job : "mixed";
        ++count[g];
    }
    for (int g = 0; g < 2; ++g)
        if (count[g] != 0 && count[g] != JOB_FILE_COUNT && jobs[g] != "mixed")
            jobs[g] = "part of " + jobs[g];
    return jobs;
}

// Mounts of this test stay in a mount namespace of its own (root only).
bool private_mounts()
{
    static const bool ok = unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    return ok;
}

// Mounts a copy of `image` (an ext4 file system as the disk holds it at this
// moment: what was not yet written out is lost, as in a power cut) on the
// parent folder of `root`'s capture folder.
bool mount_copy(const std::string &image, const std::string &copy, const analyzer_root &root)
{
    fs::copy_file(image, copy, fs::copy_options::overwrite_existing);
    const std::string dir = fs::path(root.capture_dir()).parent_path();
    fs::create_directories(dir);
    return run_program({"/bin/mount", "-o", "loop", copy, dir}, {}).status == 0;
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
        bool room_made = false;  // the previous generation was removed to make room
    } faults[] = {
        {"missing test data file", [](auto &) { return true; }, "missing.csv", unread},
        {"test data FIFO", [](auto &dir) { return mkfifo((dir + "/../fifo").c_str(), 0600) == 0; }, "img/fifo", unread},
        {"full disk", [&](auto &dir) {
             return private_mounts() && mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=64k") == 0 && previous(dir);
         }, "", "No space left on device", true},
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
        auto expected = before;
        if (fault.room_made)
            std::erase_if(expected, [](const auto &file) { return file.first[0] == '2'; });
        EXPECT_EQ(folder(dir), expected);
        umount2(dir.c_str(), MNT_DETACH);
    }
}

// A job killed (SIGKILL) or cut by a power cut right after each file system
// step of its capture (file synced, removed, moved), then a normal job: that
// job's files are the current generation, whole, and the previous generation
// is whole too: the files of the job before or of the cut job. The power cut
// is a copy of an ext4 image taken right after the kill, before anything
// more reached its disk. A user's file that looks like a temporary one stays.
// Then two jobs at once: one waits for the other, and
// each generation holds the whole files of one of them.
TEST(Faults, CutJobsAreFinishedOrUndoneByTheNextJob)
{
    analyzer_root first;
    const std::string log = first.dir.path + "/steps.log";
    ASSERT_EQ(first.run(job(first, "a")).status, 0);
    std::vector<std::string> logged = preload_env(FS_STEPS_LIB);
    logged.push_back("FS_STEPS_LOG=" + log);
    ASSERT_EQ(first.run(job(first, "b"), logged).status, 0);
    // Every file is written and synced, then the rotation's record; the
    // folder is synced before anything moves and after the last rename.
    const std::string steps =
        std::regex_replace(read_file(log), std::regex(std::string("\\") + TEMP_PREFIX + "\\w{6}"), "tmp");
    EXPECT_EQ(steps, "fsync tmp\nfsync tmp\nfsync tmp\nfsync tmp\nrenameat tmp .analyzer-rotation\nfsync analyzer_data\n"
                     "unlinkat 2.png\nunlinkat 2_white.png\nunlinkat 2.json\n"
                     "renameat 1.png 2.png\nrenameat 1_white.png 2_white.png\nrenameat 1.json 2.json\n"
                     "renameat tmp 1.png\nrenameat tmp 1_white.png\nrenameat tmp 1.json\nfsync analyzer_data\n"
                     "unlinkat .analyzer-rotation\n");
    const int step_count = count_of(steps, "\n");
    // A user's file is never taken for a temporary one.
    write_file(first.capture_dir() + "/.partial-notes1", "notes");
    const std::string disk = first.dir.path + "/disk.img";
    const bool power_cuts = private_mounts() && (write_file(disk, ""), fs::resize_file(disk, 8 << 20), true) &&
                            run_program({"/sbin/mkfs.ext4", "-q", "-F", "-d", first.dir.path + "/mnt/mmc-disk4/img", disk},
                                        {}).status == 0;
    if (!power_cuts)
        std::printf("[  SKIPPED ] power cuts: no loop-mounted ext4 here\n");

    // Chains of runs in parallel, each step in a fresh copy of the folder.
    constexpr int CHAINS = 6;
    std::atomic<int> kills{0}, cuts{0}, finished{0};
    std::vector<std::thread> chains;
    for (int c = 0; c < CHAINS; ++c) {
        chains.emplace_back([&, c] {
            for (int step = c + 1; step <= step_count; step += CHAINS) {
                SCOPED_TRACE("cut after step " + std::to_string(step));
                analyzer_root killed, cut;
                const std::string img = killed.dir.path + "/disk.img", cut_job = "k" + std::to_string(step);
                if (power_cuts) {
                    mount_copy(disk, img, killed);
                } else {
                    fs::create_directories(killed.dir.path + "/mnt/mmc-disk4/img");
                    fs::copy(first.capture_dir(), killed.capture_dir(), fs::copy_options::recursive);
                }
                std::vector<std::string> env = preload_env(FS_STEPS_LIB);
                env.push_back("FS_STEPS_KILL_AT=" + std::to_string(step));
                kills += killed.run(job(killed, cut_job), env).signal == SIGKILL;
                const bool cut_taken = power_cuts && mount_copy(img, cut.dir.path + "/cut.img", cut);
                const auto [current, previous] = generations(folder(killed.capture_dir()));
                EXPECT_NE(current, "mixed");
                EXPECT_NE(previous, "mixed");
                // The next job, after the kill and after the power cut at once.
                const auto next = [&](const analyzer_root &root) {
                    const run_result r = root.run(job(root, "n"));
                    EXPECT_EQ(r.status, 0) << r.err;
                    finished += contains(r.err, "finished the rotation of a job that was cut short");
                    const auto files = folder(root.capture_dir());
                    const auto [now, before] = generations(files);
                    EXPECT_EQ(now, "n");
                    EXPECT_TRUE(before == "b" || before == cut_job) << before;
                    EXPECT_EQ(files.size(), 2 * JOB_FILE_COUNT + 1) << "whole, and no temporary file or record is left";
                    EXPECT_EQ(files.at(".partial-notes1"), "notes");
                    cuts += &root == &cut;
                    umount2(fs::path(root.capture_dir()).parent_path().c_str(), MNT_DETACH);
                };
                std::thread after_cut([&] {
                    if (cut_taken)
                        next(cut);
                });
                next(killed);
                after_cut.join();
            }
            if (c > 0)
                return;
            analyzer_root both;
            fs::create_directories(both.dir.path + "/mnt/mmc-disk4/img");
            fs::copy(first.capture_dir(), both.capture_dir(), fs::copy_options::recursive);
            run_result other;
            std::thread at_once([&] { other = both.run(job(both, "y")); });
            const run_result r = both.run(job(both, "x"));
            at_once.join();
            EXPECT_EQ(r.status + other.status, 0) << r.err << other.err;
            const auto files = folder(both.capture_dir());
            const auto [current, previous] = generations(files);
            EXPECT_TRUE(current + previous == "xy" || current + previous == "yx") << current << " / " << previous;
            EXPECT_EQ(files.size(), 2 * JOB_FILE_COUNT + 1) << "whole, and no temporary file is left";
        });
    }
    for (std::thread &t : chains)
        t.join();
    EXPECT_EQ(kills, step_count);
    EXPECT_EQ(cuts, power_cuts ? step_count : 0);
    // Killed between the record and the last rename, the cut job is finished.
    EXPECT_GE(finished, 11);
    std::printf("%d kills, %d power cuts, each followed by a whole job; the cut job finished %d times\n", kills.load(),
                cuts.load(), finished.load());
}

// A cut rotation whose staged files are gone is undone: the current files
// come back, and the next job rotates them as usual.
TEST(Faults, CutRotationWithoutItsStagedFilesIsUndone)
{
    analyzer_root root;
    ASSERT_EQ(root.run(job(root, "b")).status, 0);
    std::vector<std::string> env = preload_env(FS_STEPS_LIB);
    env.push_back("FS_STEPS_KILL_AT=10");  // 1.png just moved to 2.png
    EXPECT_EQ(root.run(job(root, "k"), env).signal, SIGKILL);
    for (const auto &e : fs::directory_iterator(root.capture_dir()))
        if (e.path().filename().string().starts_with(TEMP_PREFIX))
            fs::remove(e.path());
    const run_result r = root.run(job(root, "n"));
    EXPECT_TRUE(contains(r.err, "undid the rotation of a job that was cut short")) << r.err;
    const auto files = folder(root.capture_dir());
    EXPECT_EQ(generations(files), (std::array<std::string, 2>{"n", "b"}));
    EXPECT_EQ(files.size(), 2 * JOB_FILE_COUNT);
}

// A record that is not the program's own moves no file: it is removed. One
// that cannot be read now stays, and the job saves nothing. A rotation that
// fails after its record is written is undone at once.
TEST(Faults, StrangeRotationRecordsMoveNothingAndAFailedRotationIsUndone)
{
    const auto record = [](const std::string &dir, const std::string &staged, const std::string &inode_of) {
        struct stat st{};
        lstat(inode_of.c_str(), &st);
        std::string text = "analyzer-rotation 1\n";
        for (int k = 0; k < JOB_FILE_COUNT; ++k)
            text += staged + " " + std::to_string(st.st_ino) + " 0\n";
        write_file(dir + "/" + ROTATION_RECORD, text);
    };
    const std::string staged = std::string(TEMP_PREFIX) + "Ab12Cd", removed = "cannot be read; removed";
    rlimit files{};
    getrlimit(RLIMIT_NOFILE, &files);
    const struct {
        const char *name;
        std::function<void(const std::string &dir, const std::string &outside)> make;
        std::string err;
    } cases[] = {
        {"a name through a link out of the folder", [&](auto &dir, auto &outside) {
             fs::create_directory_symlink(outside, dir + "/" + TEMP_PREFIX);
             record(dir, std::string(TEMP_PREFIX) + "/group", outside + "/group");
         }, removed},
        {"a staged folder", [&](auto &dir, auto &) {
             fs::create_directory(dir + "/" + staged);
             record(dir, staged, dir + "/" + staged);
         }, removed},
        {"a FIFO", [](auto &dir, auto &) { mkfifo((dir + "/" + ROTATION_RECORD).c_str(), 0600); }, removed},
        {"no descriptor left", [&](auto &dir, auto &outside) {
             record(dir, staged, outside + "/group");
             const int lowest = open("/dev/null", O_RDONLY);
             close(lowest);
             const rlimit one_more{static_cast<rlim_t>(lowest) + 1, files.rlim_max};
             setrlimit(RLIMIT_NOFILE, &one_more);
         }, "cannot read"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        temp_dir top;
        const std::string dir = top.path + "/f", outside = top.path + "/o";
        fs::create_directories(dir);
        fs::create_directories(outside);
        write_file(outside + "/group", "theirs");
        testing::internal::CaptureStderr();
        c.make(dir, outside);
        generation_t g;
        const bool opened = open_generation(g, dir, 1);
        setrlimit(RLIMIT_NOFILE, &files);
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(opened, c.err == removed);
        EXPECT_TRUE(contains(err, c.err)) << err;
        EXPECT_EQ(fs::exists(fs::symlink_status(dir + "/" + ROTATION_RECORD)), !opened);
        EXPECT_EQ(read_file(outside + "/group"), "theirs");
        EXPECT_FALSE(fs::exists(dir + "/1.png"));
    }
    // The last staged file cannot be installed: the current files come back.
    temp_dir dir;
    for (const char *name : {"1.png", "1_white.png", "1.json", "2.png", "2_white.png", "2.json"})
        write_file(dir.path + "/" + name, name[0] == '1' ? "old" : "older");
    {
        generation_t g;
        ASSERT_TRUE(open_generation(g, dir.path, 1));
        for (const job_file_t &f : job_files)
            ASSERT_TRUE(stage_file(g, f.kind, [](FILE *fp) { return fputs("new", fp) >= 0; }));
        unlink((dir.path + "/" + g.staged[FILE_RECORD]).c_str());
        testing::internal::CaptureStderr();
        testing::internal::CaptureStdout();
        EXPECT_EQ(commit_generation(g), -1);
        testing::internal::GetCapturedStdout();
        EXPECT_TRUE(contains(testing::internal::GetCapturedStderr(), "cannot install " + dir.path + "/1.json"));
    }
    EXPECT_EQ(folder(dir.path).size(), 3u) << "the previous generation went as the rotation removes it";
    for (const char *name : {"1.png", "1_white.png", "1.json"})
        EXPECT_EQ(read_file(dir.path + "/" + name), "old") << name;
}

// A job that cannot have the folder's lock in time, or is stopped while it
// waits, saves nothing and changes nothing; it never goes on unlocked.
TEST(Faults, HeldLockFailsTheJobAndChangesNothing)
{
    temp_dir dir;
    for (const char *name : {"1.json", "2.json"})
        write_file(dir.path + "/" + name, "old");
    const int holder = open(dir.path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_EQ(flock(holder, LOCK_EX), 0);
    const auto before = folder(dir.path);
    generation_t g;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(open_generation(g, dir.path, 0.2));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "open_generation: " + dir.path +
                                                          " is held by another job for over 0 s; nothing saved\n");
    EXPECT_EQ(folder(dir.path), before);
    close(holder);
    // A termination signal ends the wait at once.
    analyzer_root root;
    fs::create_directories(root.capture_dir());
    const int held = open(root.capture_dir().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    const run_result r = root.run(job(root, "a"), {}, 300, SIGTERM, "run exit!");
    EXPECT_EQ(r.status, 255);
    EXPECT_TRUE(contains(r.err, "stopped waiting for another job; nothing saved\n")) << r.err;
    EXPECT_TRUE(contains(r.err, "analyzer: stopped by signal 15; the capture folder was left as it was\n"));
    EXPECT_FALSE(contains(r.err, "was not saved")) << "the held folder is said once";
    EXPECT_TRUE(fs::is_empty(root.capture_dir()));
    close(held);
}

// The signal ends the serial-number reader too, and leaves no private
// folder of a headless run behind.
TEST(Faults, SignalDuringEvaluationEndsTheRunAt255)
{
    analyzer_root root;
    // A serial-number reader that does not answer keeps the run before its main loop.
    const std::string pid_file = root.dir.path + "/reader.pid", tmp = root.dir.path + "/tmp";
    root.serial_reader("echo $$ > " + pid_file + "\nexec sleep 1000\n");
    fs::create_directories(tmp);
    std::vector<std::string> argv{ANALYZER_BIN, "--headless", "--output", root.capture_dir()};
    for (const std::string &arg : job(root, "a"))
        argv.push_back(arg);
    run_result r = run_program(argv, root.environment({"HOME=/nonexistent", "XDG_RUNTIME_DIR=", "TMPDIR=" + tmp}), 200,
                               SIGTERM, "[start_measure]");
    EXPECT_EQ(r.status, 255);
    EXPECT_TRUE(fs::is_empty(tmp));
    const int pid = std::atoi(read_file(pid_file).c_str());
    const auto sleeps = [&] { return contains(read_file("/proc/" + std::to_string(pid) + "/stat"), ") S"); };
    for (int wait = 0; wait < 100 && sleeps(); ++wait)
        usleep(10'000);
    EXPECT_GT(pid, 0);
    EXPECT_FALSE(sleeps()) << "the reader outlived the run";
    if (sleeps())
        kill(pid, SIGKILL);
    EXPECT_TRUE(contains(r.out, "[start_measure]: test_type = 0.\r\n"));
    EXPECT_TRUE(contains(r.out, "Info: sig = 15, run exiting...\n"));
    EXPECT_FALSE(contains(r.out, "exit_app:"));
    EXPECT_FALSE(file_exists(root.capture_dir()));
    EXPECT_TRUE(contains(r.err, "analyzer: stopped by signal 15; the capture folder was left as it was\n")) << r.err;
}

// A termination signal while the report is saved (at its first step, and
// after the last) never cuts the save short: the run ends with 255 and says
// the report was saved.
TEST(Faults, SignalWhileSavingEndsTheRunAfterTheSave)
{
    for (const char *step : {"1", "11"}) {  // the first and the last step in an empty folder
        SCOPED_TRACE(step);
        analyzer_root root;
        std::vector<std::string> env = preload_env(FS_STEPS_LIB);
        env.insert(env.end(), {"FS_STEPS_SIGNAL=15", std::string("FS_STEPS_KILL_AT=") + step});
        const run_result r = root.run(job(root, "a"), env);
        EXPECT_EQ(r.status, 255);
        EXPECT_TRUE(contains(r.out, "Info: sig = 15, run exiting...\n")) << r.out;
        EXPECT_TRUE(contains(r.err, "analyzer: stopped by signal 15; the report was saved\n")) << r.err;
        EXPECT_EQ(generations(folder(root.capture_dir()))[0], "a");
    }
}

// Bytes that are not UTF-8, in the test data file's name, an unknown option
// and the serial number: the console keeps them, the record (1.json, the PNG
// text chunk, analyzer-results) holds U+FFFD for each; analyzer-results
// judges the files after such a name.
TEST(Faults, BytesThatAreNotUtf8ReachTheRecordAsReplacementCharacters)
{
    analyzer_root root;
    root.serial_reader("printf 'SN=\\377\\30042\\n'\n");
    const std::string odd = root.dir.path + "/bad\xff.csv", U = "\xEF\xBF\xBD";
    write_file(odd, read_file(sample("sdr_ideal_power24.csv")));
    const run_result r = root.run({"-testFilePath", odd, "-\xfe"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(contains(r.out, "Configure: The Test data file path is set to " + odd + ".\n"));
    EXPECT_TRUE(contains(r.out, "Error: Unrecognized parameter! -\xfe.\n"));
    for (const std::string &text :
         {read_file(root.capture_dir() + "/1.json"), png_record_text((root.capture_dir() + "/1_white.png").c_str()).value_or("")}) {
        const auto record = nlohmann::json::parse(text, nullptr, false);
        ASSERT_TRUE(record.is_object()) << text;
        EXPECT_EQ(record["test_data_file"], root.dir.path + "/bad" + U + ".csv");
        EXPECT_EQ(record["serial_number"], U + U + "42");
        EXPECT_EQ(record["warnings"], nlohmann::json::array({"Error: Unrecognized parameter! -" + U + "."}));
    }
    const run_result lines = run_program({ANALYZER_RESULTS_BIN, odd, sample("sdr_ideal_power24.csv")}, {});
    EXPECT_EQ(lines.status, 0) << lines.err;
    ASSERT_EQ(count_of(lines.out, "\n"), 2) << lines.out;
    EXPECT_TRUE(nlohmann::json::parse(lines.out.substr(lines.out.find('\n') + 1))["verdicts"].is_object());
}

// A serial-number reader that never ends is killed at its time limit; a
// million bad lines give a hundred warnings and one summary line, which a
// pipe nobody reads holds. The job ends saved, its record noting both.
TEST(Faults, HungReaderAndFloodOfBadLinesEndWithTheJobSaved)
{
    analyzer_root root;
    root.serial_reader("exec sleep 1000\n");
    const std::string file = root.dir.path + "/flood.csv";
    write_file(file, lines(1000000, "x\n") + "1,1,1,95,100,108\n");
    const run_result r = root.run({"-testFilePath", file});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(count_of(r.out, "Warning: test data line "), LINE_WARNINGS_MAX);
    EXPECT_TRUE(contains(r.out, "Warning: test data line 102 does not hold six numbers, skipped.\r\n"
                                "Warning: 999900 more test data lines were skipped.\r\n"));
    EXPECT_LT(r.out.size(), 64u << 10);
    const auto record = nlohmann::json::parse(read_file(root.capture_dir() + "/1.json"));
    EXPECT_EQ(record["lines_skipped"], 1000000);
    EXPECT_EQ(record["serial_number"], "");
    EXPECT_EQ(record["warnings"],
              nlohmann::json::array({"Warning: the serial-number reader did not finish within 5 s; no serial number"}));
}

// With less free space than a generation, the previous generation goes
// first, as the rotation removes it anyway: the job is saved.
TEST(Faults, FullDiskMakesRoomFromThePreviousGeneration)
{
    analyzer_root root;
    const std::string dir = root.capture_dir();
    fs::create_directories(dir);
    if (!private_mounts() || mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "no tmpfs mount here";
    for (const char *name : {"1.png", "1_white.png", "1.json", "2.png", "2_white.png", "2.json"})
        write_file(dir + "/" + name, name[0] == '1' ? "old" : "older");
    write_file(dir + "/2.png", std::string(900 << 10, 'o'));
    const run_result r = root.run(job(root, "new"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(contains(r.err, "no space left; removed the previous generation (2.*)")) << r.err;
    EXPECT_EQ(generations(folder(dir))[0], "new");
    for (const char *name : {"2.png", "2_white.png", "2.json"})
        EXPECT_EQ(read_file(dir + "/" + name), "old");
    umount2(dir.c_str(), MNT_DETACH);
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

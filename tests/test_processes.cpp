// The run starts no process but the commands the program runs itself, and
// leaves none behind: the real binary, headless and in device mode, traced
// with ptrace so that every process it causes is seen, however short-lived.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ptrace.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "test_support.h"

namespace fs = std::filesystem;

namespace {

struct started_process {
    pid_t pid;
    pid_t parent;
    std::string program;  // its command line after its last exec, blank-separated
};

struct traced_run {
    int status = -1;
    std::string out;
    std::vector<started_process> started;  // every process but the analyzer
    std::vector<pid_t> outlived;           // alive when the analyzer exited
};

std::string proc_file(pid_t pid, const char *name)
{
    return read_file("/proc/" + std::to_string(pid) + "/" + name);
}

// The field "Name:\t<value>" of /proc/<pid>/status, or -1.
long status_field(pid_t pid, const std::string &name)
{
    std::istringstream s(proc_file(pid, "status"));
    std::string line;
    while (std::getline(s, line))
        if (line.rfind(name + ":", 0) == 0)
            return std::stol(line.substr(name.size() + 1));
    return -1;
}

bool still_running(pid_t pid)
{
    const std::string stat = proc_file(pid, "stat");
    const size_t paren = stat.rfind(')');
    return paren != std::string::npos && paren + 2 < stat.size() && stat[paren + 2] != 'Z' &&
           stat[paren + 2] != 'X';
}

// Runs the analyzer under ptrace, following every fork, vfork and clone.
traced_run trace_analyzer(const std::vector<std::string> &args, const std::vector<std::string> &env)
{
    traced_run run;
    temp_dir out_dir;
    const std::string out_path = out_dir.path + "/out";
    std::vector<std::string> argv{ANALYZER_BIN};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<std::string> envs = merged_environment(env);
    const std::vector<char *> argp = c_strings(argv), envp = c_strings(envs);

    const pid_t child = fork();
    if (child == 0) {
        if (freopen(out_path.c_str(), "w", stdout) == nullptr || freopen("/dev/null", "w", stderr) == nullptr)
            _exit(126);
        ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
        raise(SIGSTOP);
        execve(argp[0], argp.data(), envp.data());
        _exit(127);
    }
    int ws = 0;
    waitpid(child, &ws, 0);
    ptrace(PTRACE_SETOPTIONS, child, nullptr,
           PTRACE_O_TRACEFORK | PTRACE_O_TRACEVFORK | PTRACE_O_TRACECLONE | PTRACE_O_TRACEEXEC |
               PTRACE_O_EXITKILL);
    ptrace(PTRACE_CONT, child, nullptr, nullptr);

    std::map<pid_t, size_t> processes;  // live processes (not threads) -> index in started
    std::set<pid_t> seen{child};        // tasks whose first stop has been taken
    bool analyzer_gone = false;
    for (;;) {
        const pid_t pid = waitpid(-1, &ws, __WALL);
        if (pid < 0)
            break;
        if (WIFEXITED(ws) || WIFSIGNALED(ws)) {
            processes.erase(pid);
            if (pid == child) {
                run.status = WIFEXITED(ws) ? WEXITSTATUS(ws) : -1;
                analyzer_gone = true;
                for (const auto &[p, index] : processes) {
                    (void)index;
                    if (still_running(p))
                        run.outlived.push_back(p);
                    kill(p, SIGKILL);
                }
            }
            continue;
        }
        if (!WIFSTOPPED(ws))
            continue;
        const int event = ws >> 16;
        int deliver = 0;
        if (event == PTRACE_EVENT_FORK || event == PTRACE_EVENT_VFORK || event == PTRACE_EVENT_CLONE) {
            unsigned long msg = 0;
            ptrace(PTRACE_GETEVENTMSG, pid, nullptr, &msg);
            const auto task = static_cast<pid_t>(msg);
            // A clone of a thread shares its thread group; anything else is a process.
            if (event != PTRACE_EVENT_CLONE || status_field(task, "Tgid") == task) {
                processes[task] = run.started.size();
                run.started.push_back({task, static_cast<pid_t>(status_field(pid, "Tgid")), "(no exec)"});
                if (analyzer_gone)
                    kill(task, SIGKILL);
            }
        } else if (event == PTRACE_EVENT_EXEC) {
            if (auto it = processes.find(pid); it != processes.end()) {
                std::string cmd = proc_file(pid, "cmdline");
                std::replace(cmd.begin(), cmd.end(), '\0', ' ');
                run.started[it->second].program = cmd;
            }
        } else if (event == 0 && WSTOPSIG(ws) == SIGSTOP && seen.insert(pid).second) {
            // The stop every new task starts with (it may come before its
            // parent's fork event).
        } else if (event == 0 && WSTOPSIG(ws) != SIGTRAP) {
            deliver = WSTOPSIG(ws);
        }
        ptrace(PTRACE_CONT, pid, nullptr, reinterpret_cast<void *>(static_cast<long>(deliver)));
    }
    run.out = read_file(out_path);
    return run;
}

// The commands the program runs itself, and what they start in turn.
bool own_command(const started_process &p, const std::map<pid_t, const started_process *> &by_pid)
{
    for (const started_process *q = &p; q != nullptr;) {
        std::istringstream words(q->program);
        for (std::string w; words >> w;) {
            const std::string base = fs::path(w).filename().string();
            if (base == "fw_printenv" || base == "insmod")
                return true;
        }
        auto it = by_pid.find(q->parent);
        q = it != by_pid.end() ? it->second : nullptr;
    }
    return false;
}

// The run in a root that has a serial-number reader, so that the one command
// a normal run starts is there to be seen.
traced_run traced_job(const std::vector<std::string> &mode_env)
{
    analyzer_root root;
    root.serial_reader("echo SN=20261207\n");
    // A home and runtime folder of its own: a toolkit daemon that another
    // program left running elsewhere is not found, so one would be started.
    for (const char *sub : {"/home", "/run"})
        fs::create_directories(root.dir.path + sub);
    fs::permissions(root.dir.path + "/run", fs::perms::owner_all);
    std::vector<std::string> env = root.environment(mode_env);
    env.push_back("HOME=" + root.dir.path + "/home");
    env.push_back("XDG_RUNTIME_DIR=" + root.dir.path + "/run");
    env.push_back("XDG_CACHE_HOME=");
    // LeakSanitizer stops the process with ptrace of its own, which a traced
    // process cannot; leaks are checked by the other tests.
    std::string asan_options = "ASAN_OPTIONS=";
    for (const std::string &e : merged_environment(env))
        if (e.starts_with(asan_options))
            asan_options = e;
    env.push_back(asan_options + ":detect_leaks=0");
    return trace_analyzer({"-EOTF", "Power", "-gamma", "2.4", "-testFilePath", sample("sdr_ideal_power24.csv")}, env);
}

void expect_nothing_but_the_job(const traced_run &run)
{
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_TRUE(contains(run.out, "run exit!")) << run.out;
    std::map<pid_t, const started_process *> by_pid;
    for (const started_process &p : run.started)
        by_pid[p.pid] = &p;
    bool reader_seen = false;
    for (const started_process &p : run.started) {
        reader_seen = reader_seen || contains(p.program, "fw_printenv");
        EXPECT_TRUE(own_command(p, by_pid)) << "the run started " << p.program << " (pid " << p.pid << ")";
    }
    // The serial-number reader is seen: the trace follows the program's children.
    EXPECT_TRUE(reader_seen);
    EXPECT_TRUE(run.outlived.empty()) << run.outlived.size() << " process(es) outlived the analyzer";
}

}  // namespace

TEST(Processes, NoneStartedButTheProgramsOwnCommandsNoneLeftBehind)
{
    SCOPED_TRACE("headless");
    expect_nothing_but_the_job(traced_job({}));
    fb_device fb;
    SCOPED_TRACE("device mode");
    expect_nothing_but_the_job(traced_job(fb.env()));
}

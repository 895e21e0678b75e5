#include "app/command.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

extern char **environ;

namespace {

// Owns one of posix_spawn's objects (file actions, attributes) from its
// init to its destroy.
template <typename T, int (*init)(T *), int (*destroy)(T *)>
struct spawn_object {
    T value;
    spawn_object() { init(&value); }
    ~spawn_object() { destroy(&value); }
    spawn_object(const spawn_object &) = delete;
    spawn_object &operator=(const spawn_object &) = delete;
};
using file_actions =
    spawn_object<posix_spawn_file_actions_t, posix_spawn_file_actions_init, posix_spawn_file_actions_destroy>;
using spawn_attributes = spawn_object<posix_spawnattr_t, posix_spawnattr_init, posix_spawnattr_destroy>;

// The process group of the command with a time limit while it runs, else 0.
volatile sig_atomic_t timed_group = 0;

double now_seconds()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Milliseconds left until `deadline` (no deadline: -1, wait without end).
int ms_left(double deadline)
{
    if (deadline <= 0)
        return -1;
    const double left = deadline - now_seconds();
    return left > 0 ? static_cast<int>(left * 1000) + 1 : 0;
}

// Closes a descriptor it owns.
struct fd_closer {
    int fd = -1;
    ~fd_closer() { reset(); }
    void reset()
    {
        if (fd >= 0)
            close(fd);
        fd = -1;
    }
};

}  // namespace

command_result run_command(const std::vector<std::string> &args, bool capture_output, double time_limit)
{
    command_result res;
    if (args.empty()) {
        res.start_error = EINVAL;
        return res;
    }
    std::vector<char *> argv;
    for (const std::string &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);

    file_actions actions;
    fd_closer read_end, write_end;
    if (capture_output) {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) {
            res.start_error = errno;
            return res;
        }
        read_end.fd = fds[0];
        write_end.fd = fds[1];
        posix_spawn_file_actions_adddup2(&actions.value, write_end.fd, STDOUT_FILENO);
    }
    spawn_attributes attributes;
    sigset_t mask{};
    if (time_limit > 0) {
        // Its own process group, so that its children go with it at the limit
        // or at a termination signal; such a signal waits until the group is
        // known, and the command starts with the signals as they were.
        sigset_t terminating{};
        sigemptyset(&terminating);
        for (const int sig : {SIGTERM, SIGINT, SIGQUIT})
            sigaddset(&terminating, sig);
        sigprocmask(SIG_BLOCK, &terminating, &mask);
        posix_spawnattr_setpgroup(&attributes.value, 0);
        posix_spawnattr_setsigmask(&attributes.value, &mask);
        posix_spawnattr_setflags(&attributes.value, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK);
    }
    pid_t pid;
    const int rc = posix_spawnp(&pid, argv[0], &actions.value, &attributes.value, argv.data(), environ);
    write_end.reset();
    if (time_limit > 0) {
        timed_group = rc == 0 ? pid : 0;
        sigprocmask(SIG_SETMASK, &mask, nullptr);
    }
    if (rc != 0) {
        res.start_error = rc;
        return res;
    }
    const double deadline = time_limit > 0 ? now_seconds() + time_limit : 0;
    if (capture_output) {
        char buf[4096];
        for (;;) {
            pollfd p{read_end.fd, POLLIN, 0};
            const int ready = poll(&p, 1, ms_left(deadline));
            if (ready == 0) {
                res.timed_out = true;
                break;
            }
            const ssize_t n = ready > 0 ? read(read_end.fd, buf, sizeof buf) : -1;
            if (n > 0)
                res.output.append(buf, static_cast<size_t>(n));
            else if (n == 0 || errno != EINTR)
                break;
        }
    }
    int status = 0;
    for (;;) {
        if (res.timed_out)
            kill(-pid, SIGKILL);
        const pid_t done = waitpid(pid, &status, res.timed_out || deadline <= 0 ? 0 : WNOHANG);
        if (done == pid)
            break;
        if (done < 0 && errno != EINTR) {
            timed_group = 0;
            return res;
        }
        if (done == 0 && ms_left(deadline) == 0) {
            res.timed_out = true;
        } else if (done == 0) {
            const timespec step{0, 10'000'000};
            nanosleep(&step, nullptr);
        }
    }
    timed_group = 0;
    res.status = status;
    return res;
}

void kill_timed_command()
{
    if (timed_group > 0)
        kill(-timed_group, SIGKILL);
}

#include "app/command.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char **environ;

namespace {

// Owns a spawn file-actions object.
struct file_actions {
    posix_spawn_file_actions_t fa;
    file_actions() { posix_spawn_file_actions_init(&fa); }
    ~file_actions() { posix_spawn_file_actions_destroy(&fa); }
    file_actions(const file_actions &) = delete;
    file_actions &operator=(const file_actions &) = delete;
};

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

command_result run_command(const std::vector<std::string> &args, bool capture_output)
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
        posix_spawn_file_actions_adddup2(&actions.fa, write_end.fd, STDOUT_FILENO);
    }
    pid_t pid;
    const int rc = posix_spawnp(&pid, argv[0], &actions.fa, nullptr, argv.data(), environ);
    write_end.reset();
    if (rc != 0) {
        res.start_error = rc;
        return res;
    }
    if (capture_output) {
        char buf[4096];
        for (;;) {
            const ssize_t n = read(read_end.fd, buf, sizeof buf);
            if (n > 0)
                res.output.append(buf, static_cast<size_t>(n));
            else if (n == 0 || errno != EINTR)
                break;
        }
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return res;
    }
    res.status = status;
    return res;
}

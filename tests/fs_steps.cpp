// Watches the file system steps of the program under test, loaded with
// LD_PRELOAD: every call of fsync, renameat and unlinkat that the program
// makes itself is one step.
//
//   FS_STEPS_LOG      append one line per step: the call and the base names
//                     of its files ("renameat .analyzer-partial-Ab12Cd 1.png")
//   FS_STEPS_KILL_AT  end the process with SIGKILL right after step N
//   FS_STEPS_SIGNAL   send this signal there instead of SIGKILL
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <string>

namespace {

std::atomic<long> steps{0};

std::string base(std::string path)
{
    return path.substr(path.rfind('/') + 1);
}

// Logs the step and ends the process when it is the one to die at.
void step(const std::string &what)
{
    if (const char *log = getenv("FS_STEPS_LOG")) {
        const std::string line = what + "\n";
        const int fd = open(log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        [[maybe_unused]] ssize_t n = write(fd, line.data(), line.size());
        close(fd);
    }
    const char *kill_at = getenv("FS_STEPS_KILL_AT");
    const char *sig = getenv("FS_STEPS_SIGNAL");
    if (kill_at != nullptr && ++steps == atol(kill_at))
        kill(getpid(), sig != nullptr ? atoi(sig) : SIGKILL);
}

template <typename F>
F real(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" int fsync(int fd)
{
    const int r = real<int (*)(int)>("fsync")(fd);
    char path[4096] = {};
    [[maybe_unused]] ssize_t n = readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), path, sizeof path - 1);
    step("fsync " + base(path));
    return r;
}

extern "C" int renameat(int from_dir, const char *from, int to_dir, const char *to)
{
    const int r = real<int (*)(int, const char *, int, const char *)>("renameat")(from_dir, from, to_dir, to);
    step("renameat " + base(from) + " " + base(to));
    return r;
}

extern "C" int unlinkat(int dir, const char *name, int flags)
{
    const int r = real<int (*)(int, const char *, int)>("unlinkat")(dir, name, flags);
    step("unlinkat " + base(name));
    return r;
}

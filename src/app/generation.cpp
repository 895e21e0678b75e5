#include "app/generation.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "app/folder_lock.h"

namespace {

bool exists(int dir_fd, const char *name)
{
    struct stat st{};
    return fstatat(dir_fd, name, &st, AT_SYMLINK_NOFOLLOW) == 0;
}

bool is_folder(int dir_fd, const char *name)
{
    struct stat st{};
    return fstatat(dir_fd, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
}

bool is_temp_name(const char *name)
{
    const size_t prefix = sizeof TEMP_PREFIX - 1;
    return std::strncmp(name, TEMP_PREFIX, prefix) == 0 && std::strlen(name) == prefix + 6;
}

// Removes the temporary files of earlier runs that were killed.
void remove_stale_temporaries(int dir_fd)
{
    const int fd = openat(dir_fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *d = fd >= 0 ? fdopendir(fd) : nullptr;
    if (d == nullptr) {
        if (fd >= 0)
            close(fd);
        return;
    }
    std::vector<std::string> stale;
    while (const dirent *e = readdir(d))
        if (is_temp_name(e->d_name))
            stale.emplace_back(e->d_name);
    closedir(d);
    for (const std::string &name : stale)
        unlinkat(dir_fd, name.c_str(), 0);
}

// What the rotation did to each kind, for its console lines.
struct rotation_t {
    std::array<bool, JOB_FILE_COUNT> had_current{}, removed{}, moved{};
};

int fail(const generation_t &g, const char *what, const char *name, int err)
{
    fprintf(stderr, "commit_generation: cannot %s %s/%s: %s\n", what, g.dir.c_str(), name, strerror(err));
    return -1;
}

// The rename sequence. At every step the current names hold files of one
// job and the previous names files of one job, whatever moment a kill ends it.
int rotate_and_install(generation_t &g, rotation_t &r)
{
    const int fd = g.dir_fd;
    // A folder under a name of the rotation stops it before anything moves.
    for (const job_file_t &f : job_files)
        for (const char *name : {f.current, f.previous})
            if (is_folder(fd, name))
                return fail(g, "replace", name, EISDIR);
    bool any_current = false;
    for (const job_file_t &f : job_files)
        any_current |= r.had_current[f.kind] = exists(fd, f.current);
    // The previous generation goes as a whole, so that none of its files
    // stays beside the files of another job.
    if (any_current) {
        for (const job_file_t &f : job_files) {
            r.removed[f.kind] = unlinkat(fd, f.previous, 0) == 0;
            if (!r.removed[f.kind] && errno != ENOENT)
                return fail(g, "remove", f.previous, errno);
        }
    }
    // The current generation becomes the previous one; on a failure what
    // moved goes back, so the current files are never lost.
    for (const job_file_t &f : job_files) {
        if (!r.had_current[f.kind])
            continue;
        if (renameat(fd, f.current, fd, f.previous) != 0) {
            const int err = errno;
            for (const job_file_t &back : job_files)
                if (r.moved[back.kind] && renameat(fd, back.previous, fd, back.current) == 0)
                    r.moved[back.kind] = false;
            return fail(g, "move aside", f.current, err);
        }
        r.moved[f.kind] = true;
    }
    for (const job_file_t &f : job_files) {
        if (renameat(fd, g.staged[f.kind].c_str(), fd, f.current) != 0)
            return fail(g, "install", f.current, errno);
        g.staged[f.kind].clear();
    }
    // The renames reach the disk before the job counts as saved.
    if (fsync(fd) != 0)
        return fail(g, "sync", ".", errno);
    return 0;
}

void print_rotation(const generation_t &g, const rotation_t &r)
{
    for (const job_file_t &f : job_files) {
        if (f.reporter == nullptr)
            continue;
        const std::string current = g.dir + "/" + f.current, previous = g.dir + "/" + f.previous;
        if (r.removed[f.kind])
            printf(" removed [%s]\n", previous.c_str());
        if (!r.had_current[f.kind]) {
            printf("[%s]: unexist name: [%s]\n", f.reporter, current.c_str());
            continue;
        }
        printf(" find [%s]\n", current.c_str());
        if (r.moved[f.kind])
            printf(" rename to [%s]\n", previous.c_str());
    }
    fflush(stdout);
}

}  // namespace

generation_t::~generation_t()
{
    if (dir_fd < 0)
        return;
    for (const std::string &name : staged)
        if (!name.empty())
            unlinkat(dir_fd, name.c_str(), 0);
    close(dir_fd);
}

bool open_generation(generation_t &g, const std::string &dir, double lock_wait_seconds)
{
    g.dir = dir;
    g.dir_fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (g.dir_fd < 0) {
        printf("Warning: opendir [%s] fail! mkdir dir.\n", dir.c_str());
        fflush(stdout);
        std::error_code ec;
        std::filesystem::create_directories(dir, ec);
        g.dir_fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (g.dir_fd < 0) {
            fprintf(stderr, "open_generation: %s: %s\n", dir.c_str(), ec ? ec.message().c_str() : strerror(errno));
            return false;
        }
    }
    g.locked = lock_folder(g.dir_fd, lock_wait_seconds);
    if (!g.locked)
        fprintf(stderr, "open_generation: %s is still in use after %.0f s; going on\n", dir.c_str(), lock_wait_seconds);
    else
        remove_stale_temporaries(g.dir_fd);
    return true;
}

bool stage_file(generation_t &g, job_file_kind kind, const std::function<bool(FILE *)> &write)
{
    std::string path = g.dir + "/" + TEMP_PREFIX + "XXXXXX";
    const int fd = mkostemp(path.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    const std::string name = path.substr(g.dir.size() + 1);
    // mkstemp makes the file private; these files are read like any other.
    fchmod(fd, 0644);
    FILE *fp = fdopen(fd, "wb");
    bool ok = fp != nullptr && write(fp) && fflush(fp) == 0 && fsync(fd) == 0;
    int saved = errno;
    if (fp == nullptr)
        close(fd);
    else if (fclose(fp) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    if (!ok) {
        unlinkat(g.dir_fd, name.c_str(), 0);
        errno = saved;
        return false;
    }
    if (!g.staged[kind].empty())
        unlinkat(g.dir_fd, g.staged[kind].c_str(), 0);
    g.staged[kind] = name;
    return true;
}

int commit_generation(generation_t &g)
{
    for (const std::string &name : g.staged)
        if (name.empty())
            return -1;
    rotation_t r;
    const int status = rotate_and_install(g, r);
    print_rotation(g, r);
    return status;
}

#include "app/generation.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
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

// The file's inode number; 0 when there is no such file.
uintmax_t inode_of(int dir_fd, const char *name)
{
    struct stat st{};
    return fstatat(dir_fd, name, &st, AT_SYMLINK_NOFOLLOW) == 0 ? st.st_ino : 0;
}

bool is_folder(int dir_fd, const char *name)
{
    struct stat st{};
    return fstatat(dir_fd, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
}

// The prefix and six letters or digits, as mkstemp makes them: never a path.
bool is_temp_name(const char *name)
{
    const size_t prefix = sizeof TEMP_PREFIX - 1;
    if (std::strncmp(name, TEMP_PREFIX, prefix) != 0 || std::strlen(name) != prefix + 6)
        return false;
    for (const char *c = name + prefix; *c != '\0'; ++c)
        if (!std::isalnum(static_cast<unsigned char>(*c)))
            return false;
    return true;
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

int fail(const generation_t &g, const char *what, const char *name, int err, const char *who = "commit_generation")
{
    fprintf(stderr, "%s: cannot %s %s/%s: %s\n", who, what, g.dir.c_str(), name, strerror(err));
    return -1;
}

// Writes a new file in the folder through `write` under a temporary name and
// flushes it to the disk. Returns that name, or "" (errno set) when it fails.
std::string write_temporary(const generation_t &g, const std::function<bool(FILE *)> &write)
{
    std::string path = g.dir + "/" + TEMP_PREFIX + "XXXXXX";
    const int fd = mkostemp(path.data(), O_CLOEXEC);
    if (fd < 0)
        return "";
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
        return "";
    }
    return name;
}

// One kind's line of the intent record: the staged file by name and inode,
// and the inode of the current file it replaces (0: there is none). The
// inodes tell where each file is after a cut, whatever name it has by then.
struct intent_t {
    std::string staged;
    uintmax_t staged_inode = 0, current_inode = 0;
};
using intent_record = std::array<intent_t, JOB_FILE_COUNT>;

constexpr const char INTENT_HEADER[] = "analyzer-rotation 1\n";

// Writes the record and syncs the folder, so that it is on the disk before
// the first file is removed.
bool write_intent(const generation_t &g, const intent_record &rec)
{
    std::string text = INTENT_HEADER;
    for (const intent_t &i : rec)
        text += i.staged + " " + std::to_string(i.staged_inode) + " " + std::to_string(i.current_inode) + "\n";
    const std::string name =
        write_temporary(g, [&](FILE *fp) { return fwrite(text.data(), 1, text.size(), fp) == text.size(); });
    if (name.empty())
        return false;
    if (renameat(g.dir_fd, name.c_str(), g.dir_fd, ROTATION_RECORD) != 0 || fsync(g.dir_fd) != 0) {
        const int err = errno;
        unlinkat(g.dir_fd, name.c_str(), 0);
        errno = err;
        return false;
    }
    return true;
}

enum class intent_state { none, read, unreadable, failed };

// Reads the record a cut rotation left. Only names of the program's own
// temporary files that are regular files (or gone) are accepted from it. A
// record that cannot be read for another reason (an I/O error, no
// descriptor left) is `failed`: it stays for a later job.
intent_state read_intent(int dir_fd, intent_record &rec)
{
    const int fd = openat(dir_fd, ROTATION_RECORD, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? intent_state::none : errno == ELOOP ? intent_state::unreadable : intent_state::failed;
    struct stat st{};
    char text[512] = {};
    const ssize_t n = fstat(fd, &st) != 0 ? -1 : S_ISREG(st.st_mode) ? read(fd, text, sizeof text - 1) : 0;
    const int err = errno;
    close(fd);
    errno = err;
    if (n < 0)
        return intent_state::failed;
    const size_t header = sizeof INTENT_HEADER - 1;
    if (n == 0 || std::strncmp(text, INTENT_HEADER, header) != 0)
        return intent_state::unreadable;
    const char *p = text + header;
    for (intent_t &i : rec) {
        char name[64] = {};
        int used = 0;
        if (sscanf(p, "%63s %ju %ju\n%n", name, &i.staged_inode, &i.current_inode, &used) != 3 || used == 0 ||
            !is_temp_name(name) || i.staged_inode == 0)
            return intent_state::unreadable;
        if (fstatat(dir_fd, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISREG(st.st_mode))
            return intent_state::unreadable;
        i.staged = name;
        p += used;
    }
    return intent_state::read;
}

// Takes the rotation the record describes forward (its own steps, those not
// done yet) or back (the staged files that were installed go, the current
// files come back). Each step checks where the files are first, so a cut
// during this is repaired the same way by the next job. The folder is then
// synced and the record removed. False, said by `who`, when a step fails;
// the record then stays. `changed` tells whether any file moved.
bool settle_rotation(const generation_t &g, const intent_record &rec, bool forward, const char *who, bool &changed)
{
    const int fd = g.dir_fd;
    bool any_current = false;
    for (const intent_t &i : rec)
        any_current = any_current || i.current_inode != 0;
    const auto step = [&](bool ok, const char *what, const char *name) {
        changed = true;
        if (!ok && errno != ENOENT)
            fail(g, what, name, errno, who);
        return ok || errno == ENOENT;
    };
    for (const job_file_t &f : job_files) {
        const intent_t &i = rec[f.kind];
        const bool current_is_old = i.current_inode != 0 && inode_of(fd, f.current) == i.current_inode;
        const bool previous_is_old = i.current_inode != 0 && inode_of(fd, f.previous) == i.current_inode;
        bool ok = true;
        if (forward) {
            // The rotation's own steps, those it had not done yet.
            if (any_current && !previous_is_old && exists(fd, f.previous))
                ok = step(unlinkat(fd, f.previous, 0) == 0, "remove", f.previous);
            if (ok && current_is_old)
                ok = step(renameat(fd, f.current, fd, f.previous) == 0, "move aside", f.current);
            if (ok && inode_of(fd, i.staged.c_str()) == i.staged_inode)
                ok = step(renameat(fd, i.staged.c_str(), fd, f.current) == 0, "install", f.current);
        } else {
            // The job's installed files go; the current files come back.
            if (inode_of(fd, f.current) == i.staged_inode)
                ok = step(unlinkat(fd, f.current, 0) == 0, "remove", f.current);
            if (ok && previous_is_old)
                ok = step(renameat(fd, f.previous, fd, f.current) == 0, "move back", f.previous);
        }
        if (!ok)
            return false;
    }
    if (fsync(fd) != 0 || unlinkat(fd, ROTATION_RECORD, 0) != 0)
        return fail(g, "complete the rotation in", ROTATION_RECORD, errno, who) == 0;
    return true;
}

// Completes the rotation that a cut job's record describes, or undoes it
// when a staged file is missing: either way the current names end up with
// the files of one whole job, and no file of a completed generation is
// removed (the previous generation goes only as the rotation itself removes
// it). False when the record cannot be read or a step fails; it then stays.
bool recover_rotation(generation_t &g)
{
    intent_record rec;
    const intent_state state = read_intent(g.dir_fd, rec);
    if (state == intent_state::none)
        return true;
    if (state == intent_state::failed)
        return fail(g, "read", ROTATION_RECORD, errno, "open_generation") == 0;
    if (state == intent_state::unreadable) {
        fprintf(stderr, "open_generation: %s/%s cannot be read; removed, the files left as they are\n",
                g.dir.c_str(), ROTATION_RECORD);
        unlinkat(g.dir_fd, ROTATION_RECORD, 0);
        return true;
    }
    bool forward = true;
    for (const job_file_t &f : job_files) {
        const intent_t &i = rec[f.kind];
        forward = forward && (inode_of(g.dir_fd, i.staged.c_str()) == i.staged_inode ||
                              inode_of(g.dir_fd, f.current) == i.staged_inode);
    }
    bool changed = false;
    if (!settle_rotation(g, rec, forward, "open_generation", changed))
        return false;
    if (changed)
        fprintf(stderr, "open_generation: %s: %s the rotation of a job that was cut short\n", g.dir.c_str(),
                forward ? "finished" : "undid");
    return true;
}

// Removes the previous generation to make room, when a current one exists
// beside it (the rotation would remove it anyway); once per job. False when
// there was nothing to remove.
bool drop_previous_for_room(generation_t &g)
{
    bool any_current = false, any_previous = false;
    for (const job_file_t &f : job_files) {
        any_current = any_current || exists(g.dir_fd, f.current);
        any_previous = any_previous || (exists(g.dir_fd, f.previous) && !is_folder(g.dir_fd, f.previous));
    }
    if (g.dropped_previous || !any_current || !any_previous)
        return false;
    g.dropped_previous = true;
    for (const job_file_t &f : job_files)
        if (!is_folder(g.dir_fd, f.previous))
            unlinkat(g.dir_fd, f.previous, 0);
    fprintf(stderr,
            "stage_file: %s: no space left; removed the previous generation (2.*), which the rotation removes "
            "anyway, and tried again\n",
            g.dir.c_str());
    return true;
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
    intent_record intent;
    for (const job_file_t &f : job_files) {
        any_current |= r.had_current[f.kind] = exists(fd, f.current);
        intent[f.kind] = {g.staged[f.kind], inode_of(fd, g.staged[f.kind].c_str()),
                          r.had_current[f.kind] ? inode_of(fd, f.current) : 0};
    }
    // From here on a cut is finished or undone by the next job.
    if (!write_intent(g, intent))
        return fail(g, "write", ROTATION_RECORD, errno);
    // A failure from here on is undone at once; when the undo fails too, the
    // staged files the record names stay for the next job to repair.
    const auto undo = [&](const char *what, const char *name, int err) {
        fail(g, what, name, err);
        bool changed = false;
        if (settle_rotation(g, intent, false, "commit_generation", changed))
            r.moved = {};
        else
            for (std::string &staged : g.staged)
                staged.clear();
        return -1;
    };
    // The previous generation goes as a whole, so that none of its files
    // stays beside the files of another job.
    if (any_current) {
        for (const job_file_t &f : job_files) {
            r.removed[f.kind] = unlinkat(fd, f.previous, 0) == 0;
            if (!r.removed[f.kind] && errno != ENOENT)
                return undo("remove", f.previous, errno);
        }
    }
    // The current generation becomes the previous one.
    for (const job_file_t &f : job_files) {
        if (!r.had_current[f.kind])
            continue;
        if (renameat(fd, f.current, fd, f.previous) != 0)
            return undo("move aside", f.current, errno);
        r.moved[f.kind] = true;
    }
    for (const job_file_t &f : job_files) {
        if (renameat(fd, g.staged[f.kind].c_str(), fd, f.current) != 0)
            return undo("install", f.current, errno);
        g.staged[f.kind].clear();
    }
    // The renames reach the disk before the job counts as saved. A record
    // that outlives a cut after this finds the rotation done.
    if (fsync(fd) != 0)
        return undo("sync", ".", errno);
    unlinkat(fd, ROTATION_RECORD, 0);
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

bool open_generation(generation_t &g, const std::string &dir, double lock_wait_seconds, bool (*give_up)())
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
    // A job never writes without the lock: so the cleanup below, done
    // holding it, never meets the live files of another job, and a rotation
    // record is only ever left by a job that was cut short.
    g.locked = lock_folder(g.dir_fd, lock_wait_seconds, give_up);
    if (!g.locked) {
        if (give_up != nullptr && give_up())
            fprintf(stderr, "open_generation: %s: stopped waiting for another job; nothing saved\n", dir.c_str());
        else
            fprintf(stderr, "open_generation: %s is held by another job for over %.0f s; nothing saved\n",
                    dir.c_str(), lock_wait_seconds);
        return false;
    }
    if (!recover_rotation(g))
        return false;
    remove_stale_temporaries(g.dir_fd);
    return true;
}

bool stage_file(generation_t &g, job_file_kind kind, const std::function<bool(FILE *)> &write)
{
    std::string name = write_temporary(g, write);
    if (name.empty() && (errno == ENOSPC || errno == EDQUOT) && drop_previous_for_room(g))
        name = write_temporary(g, write);
    if (name.empty())
        return false;
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

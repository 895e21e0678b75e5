#include "app/replace_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

bool replace_file(const std::string &dir, const std::string &path, const std::function<bool(FILE *)> &write)
{
    std::string tmpl = dir + "/.partial-XXXXXX";
    std::vector<char> tmp(tmpl.begin(), tmpl.end());
    tmp.push_back('\0');
    const int fd = mkstemp(tmp.data());
    if (fd < 0)
        return false;
    // mkstemp makes the file private; these files are read like any other.
    fchmod(fd, 0644);
    FILE *fp = fdopen(fd, "wb");
    if (fp == nullptr) {
        const int saved = errno;
        close(fd);
        unlink(tmp.data());
        errno = saved;
        return false;
    }
    bool ok = write(fp) && fflush(fp) == 0 && fsync(fd) == 0;
    int saved = errno;
    if (fclose(fp) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    if (ok && rename(tmp.data(), path.c_str()) != 0) {
        ok = false;
        saved = errno;
    }
    if (!ok) {
        unlink(tmp.data());
        errno = saved;
    }
    return ok;
}

void rotate_generations(const std::string &current, const std::string &previous, const char *who)
{
    if (access(current.c_str(), F_OK) != 0) {
        if (who != nullptr)
            printf("[%s]: unexist name: [%s]\n", who, current.c_str());
        return;
    }
    if (access(previous.c_str(), F_OK) == 0) {
        unlink(previous.c_str());
        if (who != nullptr)
            printf(" removed [%s]\n", previous.c_str());
    }
    if (who != nullptr)
        printf(" find [%s]\n", current.c_str());
    if (rename(current.c_str(), previous.c_str()) == 0) {
        if (who != nullptr)
            printf(" rename to [%s]\n", previous.c_str());
    } else {
        unlink(current.c_str());
        if (who != nullptr)
            printf(" removed [%s]\n", current.c_str());
    }
}

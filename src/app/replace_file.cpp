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

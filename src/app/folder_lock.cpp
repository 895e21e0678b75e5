#include "app/folder_lock.h"

#include <sys/file.h>

#include <cerrno>
#include <ctime>

bool lock_folder(int dir_fd, double wait_seconds, bool (*give_up)())
{
    constexpr long STEP_NS = 20'000'000;
    for (double waited = 0;; waited += STEP_NS * 1e-9) {
        if (flock(dir_fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno != EWOULDBLOCK && errno != EINTR)
            return false;
        if (waited >= wait_seconds || (give_up != nullptr && give_up()))
            return false;
        const timespec step{0, STEP_NS};
        nanosleep(&step, nullptr);
    }
}

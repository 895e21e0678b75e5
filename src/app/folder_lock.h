// One job at a time in a folder: an advisory lock on the folder itself.
#pragma once

// Locks the folder open on `dir_fd` (flock, exclusive), waiting at most
// `wait_seconds` for a holder to finish, or until `give_up`, when given,
// returns true. The lock lasts until the descriptor is closed, also when the
// process is killed. False when it was not obtained (or the folder cannot be
// locked).
bool lock_folder(int dir_fd, double wait_seconds, bool (*give_up)() = nullptr);

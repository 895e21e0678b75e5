// Files written whole or not at all.
#pragma once
#include <cstdio>
#include <functional>
#include <string>

// Writes `path` through a temporary file in `dir` (the same folder), renamed
// into place only when `write` succeeded and the data reached the disk, so
// that a full disk or a failed write never leaves a partial file under the
// name. The file is readable by everyone. On failure the temporary file is
// removed and errno tells why, when a call set it.
bool replace_file(const std::string &dir, const std::string &path, const std::function<bool(FILE *)> &write);

// Moves `current` aside to `previous` (an older `previous` is deleted first),
// so that the last two generations remain; when the rename fails the current
// file is deleted, so the new one can still take its name. With `who` set,
// prints what it does: the unexist-name line for a missing current file, or
// the removed / find / rename-to lines.
void rotate_generations(const std::string &current, const std::string &previous, const char *who = nullptr);

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

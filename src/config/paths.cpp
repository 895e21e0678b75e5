#include "config/paths.h"

#include <cstdlib>
#include <list>

namespace {
// std::list keeps element addresses stable as it grows.
std::list<std::string> interned;
}

std::string device_path(const char *path)
{
    const char *root = std::getenv("ANALYZER_ROOT");
    if (root == nullptr || root[0] == '\0')
        return path;
    std::string out(root);
    while (!out.empty() && out.back() == '/')
        out.pop_back();
    return out + path;
}

const char *device_cpath(const char *path)
{
    std::string p = device_path(path);
    for (const std::string &s : interned)
        if (s == p)
            return s.c_str();
    interned.push_back(std::move(p));
    return interned.back().c_str();
}

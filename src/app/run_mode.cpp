#include "app/run_mode.h"

#include <fcntl.h>
#include <limits.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "config/paths.h"
#include "draw/images.h"

namespace fs = std::filesystem;

namespace {

// The font and the index through which the toolkit finds it by name.
constexpr const char *FONT_FILES[] = {"arial.ttf", "fonts.dir", "fonts.alias"};

bool is_set(const char *name)
{
    const char *v = getenv(name);
    return v != nullptr && v[0] != '\0';
}

std::string program_dir()
{
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.parent_path().string();
}

// The run's private folder: removed whole when the process exits (also
// through exit() from the signal handler). A signal that ends the run at
// once removes what the toolkit makes in it, empty folders, with rmdir only.
char private_dir[PATH_MAX] = "";
int private_dir_fd = -1;
constexpr const char *TOOLKIT_DIRS[] = {".elementary/config/standard", ".elementary/config", ".elementary",
                                        ".cache/efreet", ".cache"};

void remove_private_dir()
{
    std::error_code ec;
    if (private_dir[0] != '\0')
        fs::remove_all(private_dir, ec);
}

// The home the toolkit uses: HOME, else the user's entry.
std::string home_dir()
{
    if (is_set("HOME"))
        return getenv("HOME");
    const passwd *pw = getpwuid(getuid());
    return pw != nullptr && pw->pw_dir != nullptr ? pw->pw_dir : "";
}


}  // namespace

std::string artwork_root_of(const std::string &program_dir)
{
    const std::string app = "/usr/local/app";
    if (program_dir.size() >= app.size() && program_dir.compare(program_dir.size() - app.size(), app.size(), app) == 0)
        return program_dir.substr(0, program_dir.size() - app.size());
    std::error_code ec;
    if (fs::is_directory(program_dir + "/root" + IMAGE_DIR, ec))
        return program_dir + "/root";
    return "";
}

void prepare_headless()
{
    setenv("ELM_DISPLAY", "buffer", 1);
    unsetenv("ELM_ENGINE");
    if (!is_set("ANALYZER_ROOT")) {
        const std::string root = artwork_root_of(program_dir());
        if (!root.empty())
            setenv("ANALYZER_ROOT", root.c_str(), 1);
    }
    // The toolkit keeps its configuration and caches in the home and its
    // sockets in the runtime folder; a user without them gets a private
    // folder for the run.
    const bool home_usable = access(home_dir().c_str(), W_OK | X_OK) == 0;
    if (!home_usable || !is_set("XDG_RUNTIME_DIR")) {
        const char *tmp = getenv("TMPDIR");
        std::string dir = std::string(tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp") + "/analyzer-XXXXXX";
        if (dir.size() < sizeof private_dir && mkdtemp(dir.data()) != nullptr) {
            snprintf(private_dir, sizeof private_dir, "%s", dir.c_str());
            private_dir_fd = open(private_dir, O_PATH | O_DIRECTORY | O_CLOEXEC);
            atexit(remove_private_dir);
            if (!home_usable) {
                setenv("HOME", dir.c_str(), 1);
                unsetenv("XDG_CACHE_HOME");
                unsetenv("XDG_CONFIG_HOME");
            }
            if (!is_set("XDG_RUNTIME_DIR"))
                setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
        }
    }
}

void remove_private_dir_now()
{
    if (private_dir_fd < 0)
        return;
    for (const char *toolkit_dir : TOOLKIT_DIRS)
        unlinkat(private_dir_fd, toolkit_dir, AT_REMOVEDIR);
    rmdir(private_dir);
}

run_mode_t headless_mode(const std::string &output)
{
    prepare_headless();
    return {output, true};
}

run_mode_t device_mode()
{
    return {device_path(CAPTURE_DIR), false};
}

void keep_system_modules_out()
{
    const char *v = getenv("ECORE_NO_SYSTEM_MODULES");
    if (v == nullptr)
        setenv("ECORE_NO_SYSTEM_MODULES", "1", 1);
    else if (std::string(v) == "0")
        unsetenv("ECORE_NO_SYSTEM_MODULES");
}

std::string missing_artwork()
{
    for (const char *image : image_path)
        if (access(device_cpath(image), R_OK) != 0)
            return device_path(image);
    for (const char *font : FONT_FILES) {
        const std::string path = device_path(FONT_DIR) + "/" + font;
        if (access(path.c_str(), R_OK) != 0)
            return path;
    }
    return "";
}

void hint_headless()
{
    fputs("analyzer: no usable framebuffer; to render the report off the device run:"
          " analyzer --headless --output DIR [options]\n",
          stderr);
}
